#include "device/text_fields.h"

#include <gtest/gtest.h>

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
  EXPECT_EQ(PadAddressPart("7"), "007");
  EXPECT_EQ(PadAddressPart("12"), "012");
  EXPECT_EQ(PadAddressPart("255"), "255");
  EXPECT_EQ(PadAddressPart(""), "");
  EXPECT_EQ(PadAddressPart("1234"), "1234");
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

TEST(CheckTextFields, PasswordNeedsExactlyFourDigits) {
  for (const char* password : {"7a3b9c1", "739", "73911"}) {
    TextFields texts = Defaults();
    texts[kPasswordField] = password;
    texts[10] = "7";
    const TextCheck check = CheckTextFields(texts);
    const bool passes = std::string(password) == "7a3b9c1";
    EXPECT_EQ(check.passed, passes) << password;
    if (passes) continue;
    EXPECT_EQ(check.message, "Проверьте  пароль");
    EXPECT_EQ(check.title, "Ошибка");
    EXPECT_EQ(check.tab, TabSwitch::AfterMessage);
    EXPECT_EQ(check.marks[kPasswordField], FieldMark::Red);
    EXPECT_EQ(check.texts[10], "7");  // the address stage was not reached
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

TEST(CheckTextFields, PortOfOneToFiveDigitsAndNoTabSwitch) {
  const struct {
    const char* port;
    bool passes;
    const char* normalised;
  } cases[] = {
      {"2019 ", true, "2019"}, {"0", true, "0"}, {"", false, ""}, {"123456", false, "123456"}};
  for (const auto& c : cases) {
    TextFields texts = Defaults();
    texts[kPortField] = c.port;
    const TextCheck check = CheckTextFields(texts);
    EXPECT_EQ(check.passed, c.passes) << c.port;
    EXPECT_EQ(check.texts[kPortField], c.normalised);
    if (c.passes) continue;
    EXPECT_EQ(check.message, "Проверьте  порт");
    EXPECT_EQ(check.title, "Ошибка");
    EXPECT_EQ(check.tab, TabSwitch::None);
    EXPECT_TRUE(check.marks_after_message);
    EXPECT_EQ(check.marks[kPortField], FieldMark::Red);
  }
}

}  // namespace
}  // namespace qvx::device
