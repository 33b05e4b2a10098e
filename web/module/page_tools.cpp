#include "page_tools.h"

#include <ctime>

#include "config_file/settings_line.h"
#include "device/settings_sheet.h"
#include "settings/russian_numbers.h"
#include "settings/setting_text.h"
#include "settings/settings_diff.h"

namespace qvx::web {
namespace {

std::string Formatted(std::time_t when, const char* format) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

std::string Shown(const Settings& settings, const SettingInfo& setting) {
  return EscapeControlBytes(OptionText(settings, setting));
}

}  // namespace

FileSettings SettingsOfFile(std::string_view file_bytes) {
  PageModel reader;
  FileSettings file;
  file.refusal = reader.Open(file_bytes);
  file.settings = reader.Settings();
  return file;
}

std::string SheetOfFile(std::string_view file_bytes, const std::string& file_name,
                        bool mask_password, bool edited, const SheetFacts& known) {
  const FileSettings file = SettingsOfFile(file_bytes);
  if (file.refusal) return {};
  SheetFacts facts;
  facts.object = known.object;
  facts.object_address = known.object_address;
  facts.installer = known.installer;
  facts.source = file_name.empty() ? "настройки страницы"
                 : edited ? "файл " + file_name + " с несохранёнными изменениями"
                          : "файл " + file_name;
  facts.date = Formatted(std::time(nullptr), "%d.%m.%Y");
  facts.version = QUORVEX_VERSION;
  facts.mask_password = mask_password;
  return SettingsSheetHtml(file.settings, facts);
}

Comparison Compare(const MemorySettings& page, const MemorySettings& other,
                   std::string other_side) {
  Comparison comparison;
  comparison.page_side = "На странице";
  comparison.other_side = std::move(other_side);
  for (const SettingInfo* setting : DifferingSettings(page, other))
    comparison.rows.push_back({std::string(setting->tab), SettingCaption(*setting),
                               Shown(page, *setting), Shown(other, *setting)});
  comparison.summary =
      comparison.rows.empty()
          ? "Различий нет: все настройки совпадают (" + comparison.other_side + ")"
          : CountOf(static_cast<int>(comparison.rows.size()), "настройка отличается",
                    "настройки отличаются", "настроек отличаются");
  return comparison;
}

std::string FileSide(const std::string& file_name) {
  return "Файл " + file_name;
}

std::string DeviceSide(const std::string& port) {
  return "Устройство на порту " + port;
}

std::string DefaultsSide() {
  return "По умолчанию";
}

std::string HistorySide(const std::string& command_word, const std::string& port, double epoch_ms) {
  return command_word + ", " + port + ", " + LocalTimeText(epoch_ms);
}

std::string FileBytes(const Settings& settings) {
  const BuiltSettingsLine built = BuildSettingsLine(settings);
  return built.line.empty() ? std::string() : built.line + "\r\n";
}

std::string LocalTimeText(double epoch_ms) {
  return Formatted(static_cast<std::time_t>(epoch_ms / 1000), "%d.%m.%Y %H:%M:%S");
}

}  // namespace qvx::web
