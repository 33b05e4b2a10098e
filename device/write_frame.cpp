#include "device/write_frame.h"

#include "settings/catalogue.h"

namespace qvx::device {

std::string FormatWriteFrame(const SettingsDigits& digits, const TextFields& texts) {
  std::string frame = "A3A4";
  for (int group = 1; group <= kDigitGroups; ++group) frame += DigitGroupText(digits, group);
  for (int i = 0; i < kPhoneFields; ++i) frame += "#ABN" + std::to_string(i + 1) + texts[i];
  frame += "#T1" + texts[kPasswordField];
  frame += "#T2";
  for (int i = kFirstAddressField; i < kFirstAddressField + 4; ++i) frame += texts[i];
  frame += "#T3" + texts[kPortField];
  frame += "##";
  return frame;
}

TextFields ReadTextFields(const Settings& settings) {
  TextFields texts;
  for (int i = 0; i < kTextFieldCount; ++i) texts[i] = settings.Text(TextFieldControl(i));
  return texts;
}

void WriteTextFields(Settings& settings, const TextFields& texts) {
  for (int i = 0; i < kTextFieldCount; ++i) settings.SetText(TextFieldControl(i), texts[i]);
}

WriteFrame BuildWriteFrame(const Settings& settings) {
  const DigitsReading reading = ReadSettingsDigits(settings, ListNumbering::Device);
  if (reading.unselected != nullptr)
    return {{}, UnselectedListMessage(*reading.unselected), "Ошибка"};
  return {FormatWriteFrame(reading.digits, ReadTextFields(settings)), {}, {}};
}

}  // namespace qvx::device
