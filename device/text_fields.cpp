#include "device/text_fields.h"

#include "settings/catalogue.h"

namespace qvx::device {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr std::string_view kWrongFormat = "Неверный формат";
constexpr std::string_view kErrorTitleSpaced = "Ошибка ";
constexpr std::string_view kErrorTitle = "Ошибка";

void Fail(TextCheck& check, std::string_view message, std::string_view title, TabSwitch tab) {
  check.passed = false;
  check.message = message;
  check.title = title;
  check.tab = tab;
}

}  // namespace

std::string TextFieldControl(int i) {
  return std::string(TextFieldSettings().at(i)->name);
}

std::string NormalisePhone(std::string_view text) {
  std::string result;
  if (!text.empty() && text.front() == '+') {
    result = "+";
    text.remove_prefix(1);
  }
  return result + KeepDigits(text);
}

std::string KeepDigits(std::string_view text) {
  std::string digits;
  for (char c : text)
    if (IsDigit(c)) digits += c;
  return digits;
}

std::string PadAddressPart(std::string_view digits) {
  if (digits.empty() || digits.size() > kMaxAddressDigits) return std::string(digits);
  return std::string(kMaxAddressDigits - digits.size(), '0') + std::string(digits);
}

TextCheck CheckTextFields(const TextFields& texts) {
  TextCheck check;
  check.texts = texts;

  bool phones_ok = true;
  for (int i = 0; i < kPhoneFields; ++i) {
    check.texts[i] = NormalisePhone(texts[i]);
    const bool ok = !check.texts[i].empty() && check.texts[i].size() <= kMaxPhoneLength;
    check.marks[i] = ok ? FieldMark::White : FieldMark::Red;
    phones_ok = phones_ok && ok;
  }
  if (!phones_ok) {
    Fail(check, kWrongFormat, kErrorTitleSpaced, TabSwitch::BeforeMessage);
    return check;
  }

  check.texts[kPasswordField] = KeepDigits(texts[kPasswordField]);
  const bool password_ok = check.texts[kPasswordField].size() == kPasswordLength;
  check.marks[kPasswordField] = password_ok ? FieldMark::White : FieldMark::Red;
  if (!password_ok) {
    Fail(check, "Проверьте  пароль", kErrorTitle, TabSwitch::AfterMessage);
    return check;
  }

  bool address_ok = true;
  for (int i = kFirstAddressField; i < kFirstAddressField + kAddressFields; ++i) {
    const std::string digits = KeepDigits(texts[i]);
    const bool ok = !digits.empty() && digits.size() <= kMaxAddressDigits;
    check.texts[i] = ok ? PadAddressPart(digits) : digits;
    check.marks[i] = ok ? FieldMark::White : FieldMark::Red;
    address_ok = address_ok && ok;
  }
  if (!address_ok) {
    Fail(check, kWrongFormat, kErrorTitleSpaced, TabSwitch::BeforeMessage);
    return check;
  }

  check.texts[kPortField] = KeepDigits(texts[kPortField]);
  const std::size_t port_length = check.texts[kPortField].size();
  const bool port_ok = port_length >= 1 && port_length <= kMaxPortDigits;
  check.marks[kPortField] = port_ok ? FieldMark::White : FieldMark::Red;
  if (!port_ok) {
    Fail(check, "Проверьте  порт", kErrorTitle, TabSwitch::None);
    check.marks_after_message = true;
  }
  return check;
}

}  // namespace qvx::device
