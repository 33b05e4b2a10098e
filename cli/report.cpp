// quorvex-cli report SOURCE -o FILE.html|FILE.pdf [--mask-password]: the
// settings sheet to print and leave with the customer.
#include <ctime>
#include <filesystem>
#include <iostream>

#include "archive/archive_error.h"
#include "archive/objects.h"
#include "archive/sqlite_archive.h"
#include "cli/archive_journal.h"
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

// The object's line and address for the sheet from the archive `file`,
// read only; false once the failure is said.
bool FillObject(const std::string& file, const std::string& number, SheetFacts& facts) {
  try {
    archive::SqliteArchive db(file, archive::OpenMode::ReadOnly);
    std::optional<archive::Card> card;
    if (archive::CheckArchive(db)) card = archive::FindObject(db, number);
    if (!card || card->deleted) {
      Failure("report", file + ": нет объекта с номером " + number);
      return false;
    }
    facts.object = card->number + (card->name.empty() ? "" : " " + card->name);
    facts.object_address = card->address;
    return true;
  } catch (const archive::ArchiveError& error) {
    Failure("report", file + ": " + error.what());
    return false;
  }
}

}  // namespace

int RunReport(const Args& args) {
  static constexpr OptionSpec kOptions[] = {
      {"-o", true}, {"--mask-password"}, kArchiveOption, kObjectOption, {"--installer", true}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 1, parsed); !problem.empty())
    return UsageError("report", problem);
  if (const std::string problem = ArchiveOptionsProblem(parsed); !problem.empty())
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
  facts.installer = parsed.Value("--installer");
  if (parsed.Has("--archive") &&
      !FillObject(parsed.Value("--archive"), parsed.Value("--object"), facts))
    return 1;
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
