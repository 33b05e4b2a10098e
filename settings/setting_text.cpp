#include "settings/setting_text.h"

#include <cstdio>

namespace qvx {

std::string SettingPlace(const SettingInfo& setting) {
  if (setting.group == 0) return std::string(setting.name);
  return SettingReference(setting);
}

namespace {

std::string OneLine(std::string_view text) {
  std::string line(text);
  for (char& c : line)
    if (c == '\n') c = ' ';
  return line;
}

std::string WithZoneColumn(std::string caption, const SettingInfo& setting) {
  if (setting.group >= 1 && setting.group <= 4)
    for (const ZoneColumn& column : ZoneColumns())
      if (column.group == setting.group) caption += " / " + std::string(column.heading);
  return caption;
}

}  // namespace

std::string SettingCaption(const SettingInfo& setting) {
  if (setting.kind == SettingKind::Text) return TextFieldName(setting);
  std::string caption = OneLine(setting.caption);
  while (!caption.empty() && (caption.back() == ' ' || caption.back() == ':')) caption.pop_back();
  return WithZoneColumn(std::move(caption), setting);
}

std::string CaptionOnOneLine(const SettingInfo& setting) {
  return WithZoneColumn(OneLine(setting.caption), setting);
}

std::string EscapeControlBytes(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      escaped += c;
      continue;
    }
    char code[5];
    std::snprintf(code, sizeof code, "\\x%02X", byte);
    escaped += code;
  }
  return escaped;
}

std::string OptionText(const Settings& settings, const SettingInfo& setting) {
  switch (setting.kind) {
    case SettingKind::Text:
      return settings.Text(setting.name);
    case SettingKind::Slider:
      return std::to_string(settings.SliderPosition(setting.name));
    case SettingKind::List: {
      const int index = settings.ListIndex(setting.name);
      return index == kNoSelection ? "не выбрано" : std::string(setting.options[index]);
    }
    case SettingKind::Radio:
      return std::string(
          setting.buttons[RadioButtonFor(setting, settings.RadioNumber(setting.name))].caption);
  }
  return {};
}

std::string ValueWithText(const Settings& settings, const SettingInfo& setting) {
  const std::string text = EscapeControlBytes(OptionText(settings, setting));
  switch (setting.kind) {
    case SettingKind::Text:
      return "\"" + text + "\"";
    case SettingKind::Slider:
      return text;
    case SettingKind::List:
      if (settings.ListIndex(setting.name) == kNoSelection) return "(" + text + ")";
      return std::to_string(settings.ListIndex(setting.name)) + " \"" + text + "\"";
    case SettingKind::Radio:
      return std::to_string(settings.RadioNumber(setting.name)) + " \"" + text + "\"";
  }
  return {};
}

bool SameValue(const Settings& a, const Settings& b, const SettingInfo& setting) {
  if (setting.kind == SettingKind::Text) return a.Text(setting.name) == b.Text(setting.name);
  return ReadValue(a, setting) == ReadValue(b, setting);
}

}  // namespace qvx
