// quorvex-cli report SOURCE -o FILE.html|FILE.pdf [--mask-password]: the
// settings sheet to print and leave with the customer.
#include <ctime>
#include <filesystem>
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_session.h"
#include "cli/interrupt.h"
#include "cli/settings_source.h"
#include "cli/sheet_pdf.h"
#include "config_file/file_io.h"
#include "device/settings_sheet.h"

namespace qvx::cli {
namespace {

bool EndsWithNoCase(std::string_view name, std::string_view tail) {
  if (name.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i) {
    const char c = name[name.size() - tail.size() + i];
    if (std::tolower(static_cast<unsigned char>(c)) != tail[i]) return false;
  }
  return true;
}

// The local time as `format` gives it.
std::string Now(const char* format) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  std::strftime(text, sizeof text, format, &local);
  return text;
}

}  // namespace

int RunReport(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"-o", true}, {"--mask-password"}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 1, parsed); !problem.empty())
    return UsageError("report", problem);
  if (parsed.positional.empty()) return UsageError("report", "не указан источник настроек");
  const std::string output = parsed.Value("-o");
  if (output.empty())
    return UsageError("report", "не указан файл листа (-o FILE.html или FILE.pdf)");
  const bool pdf = EndsWithNoCase(output, ".pdf");
  if (!pdf && !EndsWithNoCase(output, ".html") && !EndsWithNoCase(output, ".htm"))
    return UsageError("report", output + ": лист пишется только в .html или .pdf");

  const auto qt = StartQt(pdf);
  const auto source = LoadSource(parsed.positional[0], "report", std::cerr);
  if (!source) return 1;
  SheetFacts facts;
  const std::string& named = parsed.positional[0];
  // The customer reads the file's name; the folders it sat in are the installer's.
  facts.source = IsPortSource(named) || named == "defaults"
                     ? source->description
                     : "файл " + std::filesystem::path(named).filename().string();
  if (IsPortSource(named)) facts.read_at = Now("%d.%m.%Y %H:%M");
  facts.date = Now("%d.%m.%Y");
  facts.version = QUORVEX_VERSION;
  facts.mask_password = parsed.Has("--mask-password");
  const std::string html = SettingsSheetHtml(source->settings, facts);
  const SaveInProgress saving;  // a second Ctrl-C waits: no temporary file left
  if (!WriteFileAtomically(
          output,
          pdf ? SheetPdf(html, "Лист настроек Quorvex", "quorvex-cli " QUORVEX_VERSION) : html))
    return Failure("report", output + ": Ошибка сохранения файла");
  std::cout << "Лист настроек сохранён: " << output << "\n";
  return 0;
}

}  // namespace qvx::cli
