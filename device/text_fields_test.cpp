#include "device/text_fields.h"

#include <gtest/gtest.h>

#include <string>

namespace qvx::device {
namespace {

TextFields Defaults() {
  TextFields texts;
  for (int i = 0; i < kPhoneFields; ++i) texts[i] = "+380501234567";
  texts[kPasswordField] = "7391";
  texts[10] = "000";
  texts[11] = "111";
  texts[12] = "222";
  texts[13] = "333";
  texts[kPortField] = "20198";
  return texts;
}

TEST(Normalise, PhonesKeepOneLeadingPlusAndTheDigits) {
  const struct {
    const char* typed;
    const char* normalised;
  } cases[] = {
      {"+38 (050) 123-45-67", "+380501234567"},
      {"050+123", "050123"},
      {"++380", "+380"},
      {"+", "+"},
      {"", ""},
      {" +380", "380"},  // the plus counts only as the very first character
  };
  for (const auto& c : cases) EXPECT_EQ(NormalisePhone(c.typed), c.normalised) << c.typed;
}

TEST(Normalise, AddressPartsArePaddedToThreeDigits) {
  const std::pair<const char*, const char*> cases[] = {
      {"7", "007"}, {"12", "012"}, {"255", "255"}, {"", ""}, {"1234", "1234"}};
  for (const auto& [typed, padded] : cases) EXPECT_EQ(PadAddressPart(typed), padded) << typed;
}

TEST(CheckTextFields, DefaultsPassUnchangedAndAllWhite) {
  const TextCheck check = CheckTextFields(Defaults());
  EXPECT_TRUE(check.passed);
  EXPECT_EQ(check.texts, Defaults());
  for (FieldMark mark : check.marks) EXPECT_EQ(mark, FieldMark::White);
}

TEST(CheckTextFields, PhoneLengthBounds) {
  const struct {
    const char* phone;
    bool passes;
  } cases[] = {
      {"+", true},
      {"1234567890123", true},    // 13 digits
      {"+123456789012", true},    // 13 with the plus
      {"12345678901234", false},  // 14 digits
      {"+12345678901234", false},
      {"", false},
      {"abc", false},
  };
  for (const auto& c : cases) {
    TextFields texts = Defaults();
    texts[4] = c.phone;
    const TextCheck check = CheckTextFields(texts);
    EXPECT_EQ(check.passed, c.passes) << c.phone;
    EXPECT_EQ(check.marks[4], c.passes ? FieldMark::White : FieldMark::Red) << c.phone;
  }
}

TEST(CheckTextFields, FailedPhonesMarkAllNineAndStopBeforeThePassword) {
  TextFields texts = Defaults();
  texts[0] = "";
  texts[8] = "12 34";
  texts[kPasswordField] = "x";
  const TextCheck check = CheckTextFields(texts);
  EXPECT_FALSE(check.passed);
  EXPECT_EQ(check.message, "Неверный формат");
  EXPECT_EQ(check.title, "Ошибка ");
  EXPECT_EQ(check.tab, TabSwitch::BeforeMessage);
  EXPECT_EQ(check.marks[0], FieldMark::Red);
  EXPECT_EQ(check.marks[1], FieldMark::White);
  EXPECT_EQ(check.texts[8], "1234");
  EXPECT_EQ(check.marks[kPasswordField], FieldMark::Unchanged);
  EXPECT_EQ(check.texts[kPasswordField], "x");
}

// The password is checked before the address, the port after it; each
// refusal has its own message, title and moment of switching tabs.
TEST(CheckTextFields, PasswordOfFourDigitsAndPortOfOneToFive) {
  const struct {
    int field;
    const char* typed;
    bool passes;
    const char* kept;  // the field's text after the check
    const char* message;
    TabSwitch tab;
    bool marks_after_message;
  } cases[] = {
      {kPasswordField, "7a3b9c1", true, "7391", "", TabSwitch::None, false},
      {kPasswordField, "739", false, "739", "Проверьте  пароль", TabSwitch::AfterMessage, false},
      {kPasswordField, "73911", false, "73911", "Проверьте  пароль", TabSwitch::AfterMessage,
       false},
      {kPortField, "2019 ", true, "2019", "", TabSwitch::None, false},
      {kPortField, "0", true, "0", "", TabSwitch::None, false},
      {kPortField, "", false, "", "Проверьте  порт", TabSwitch::None, true},
      {kPortField, "123456", false, "123456", "Проверьте  порт", TabSwitch::None, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field == kPortField ? "port " : "password ") + c.typed);
    TextFields texts = Defaults();
    texts[c.field] = c.typed;
    texts[10] = "7";
    const TextCheck check = CheckTextFields(texts);
    EXPECT_EQ(check.passed, c.passes);
    EXPECT_EQ(check.texts[c.field], c.kept);
    // A refused password stops before the address is padded.
    const bool address_reached = c.passes || c.field == kPortField;
    EXPECT_EQ(check.texts[10], address_reached ? "007" : "7");
    if (c.passes) continue;
    EXPECT_EQ(check.message, c.message);
    EXPECT_EQ(check.title, "Ошибка");
    EXPECT_EQ(check.tab, c.tab);
    EXPECT_EQ(check.marks_after_message, c.marks_after_message);
    EXPECT_EQ(check.marks[c.field], FieldMark::Red);
  }
}

TEST(CheckTextFields, AddressPartsPaddedOrMarkedAndThePortNotChecked) {
  TextFields texts = Defaults();
  texts[10] = "7";
  texts[11] = "12";
  texts[12] = "255";
  texts[13] = "";
  texts[kPortField] = "";
  const TextCheck check = CheckTextFields(texts);
  EXPECT_FALSE(check.passed);
  EXPECT_EQ(check.message, "Неверный формат");
  EXPECT_EQ(check.tab, TabSwitch::BeforeMessage);
  EXPECT_EQ((std::array{check.texts[10], check.texts[11], check.texts[12], check.texts[13]}),
            (std::array<std::string, 4>{"007", "012", "255", ""}));
  EXPECT_EQ(check.marks[12], FieldMark::White);
  EXPECT_EQ(check.marks[13], FieldMark::Red);
  EXPECT_EQ(check.marks[kPortField], FieldMark::Unchanged);
}

}  // namespace
}  // namespace qvx::device
