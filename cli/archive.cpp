// quorvex-cli archive list|show|import|export: the archive of objects, one
// SQLite file that the page opens too, or (but for export) the company's
// server's, through --server URL.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "archive/archive_error.h"
#include "archive/conflicts.h"
#include "archive/import.h"
#include "archive/objects.h"
#include "archive/records_json.h"
#include "archive/sqlite_archive.h"
#include "archive/sync.h"
#include "cli/archive_words.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/server_archive.h"
#include "cli/server_login.h"
#include "cli/settings_file.h"
#include "config_file/file_commands.h"
#include "config_file/settings_line.h"
#include "settings/memory_settings.h"

namespace qvx::cli {
namespace {
namespace fs = std::filesystem;

constexpr std::string_view kCommand = "archive";

int ArchiveFailure(const std::string& file, const archive::ArchiveError& error) {
  return Failure(kCommand, file + ": " + error.what());
}

// A file of another archive starts with SQLite's own header.
bool IsDatabaseFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char header[16] = {};
  in.read(header, sizeof header);
  return in.gcount() == sizeof header &&
         std::string_view(header, 16) == std::string_view("SQLite format 3\0", 16);
}

bool HasQvxExtension(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".qvx";
}

// The files a PATH names: itself, or the .qvx files of a folder by name.
std::vector<std::string> FilesOf(const std::string& path) {
  std::error_code error;
  if (!fs::is_directory(path, error)) return {path};
  std::vector<std::string> files;
  for (const fs::directory_entry& entry : fs::directory_iterator(path, error))
    if (HasQvxExtension(entry.path()) && !entry.is_directory(error))
      files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

void PrintList(const std::vector<archive::Card>& cards, bool json) {
  if (json) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const archive::Card& card : cards) {
      nlohmann::ordered_json each = archive::CardJson(card);
      each.erase("settings");
      list.push_back(std::move(each));
    }
    std::cout << list.dump(2) << "\n";
  } else {
    for (const archive::Card& card : cards) std::cout << ObjectLine(card) << "\n";
  }
}

// Logs in with the options; the usage error or the failure printed otherwise.
std::unique_ptr<ServerLink> LogIn(const ParsedArgs& parsed, int& status) {
  std::string failure;
  bool usage = false;
  std::unique_ptr<ServerLink> link = LogInBy(parsed, failure, usage);
  if (!link) status = usage ? UsageError(kCommand, failure) : Failure(kCommand, failure);
  return link;
}

int List(const ParsedArgs& parsed) {
  if (parsed.Has("--server")) {
    if (!parsed.positional.empty()) return UsageError(kCommand, "с --server файл архива не нужен");
    int status = 0;
    const std::unique_ptr<ServerLink> link = LogIn(parsed, status);
    if (!link) return status;
    try {
      const ServerList list = ListOnServer(*link, parsed.Value("--search"));
      PrintList(list.cards, parsed.Has("--json"));
      if (list.more > 0)
        std::cerr << Prefix(kCommand) << "показаны первые " << list.cards.size() << ", ещё "
                  << list.more << ": уточните поиск (--search)\n";
      return 0;
    } catch (const ServerError& error) {
      return Failure(kCommand, error.what());
    }
  }
  if (parsed.positional.size() != 1) return UsageError(kCommand, "не указан файл архива");
  const std::string& file = parsed.positional[0];
  try {
    archive::SqliteArchive db(file, archive::OpenMode::ReadOnly);
    PrintList(archive::CheckArchive(db) ? archive::ListObjects(db, parsed.Value("--search"))
                                        : std::vector<archive::Card>{},
              parsed.Has("--json"));
    return 0;
  } catch (const archive::ArchiveError& error) {
    return ArchiveFailure(file, error);
  }
}

// The card of NUMBER in FILE opened read-only; prints the failure.
std::optional<archive::Card> CardIn(archive::SqliteArchive& db, const std::string& file,
                                    const std::string& number) {
  std::optional<archive::Card> card;
  if (archive::CheckArchive(db)) card = archive::FindObject(db, number);
  if (!card) Failure(kCommand, file + ": нет объекта с номером " + number);
  return card;
}

void PrintObject(const archive::Card& card, const std::vector<archive::Entry>& journal,
                 bool as_json) {
  if (as_json) {
    nlohmann::ordered_json json = archive::CardJson(card);
    json["journal"] = nlohmann::ordered_json::array();
    for (const archive::Entry& entry : journal)
      json["journal"].push_back(archive::EntryJson(entry));
    std::cout << json.dump(2) << "\n";
    return;
  }
  std::cout << "Объект: " << card.number << (card.deleted ? " (удалён)" : "") << "\n"
            << "Название: " << card.name << "\n"
            << "Адрес: " << card.address << "\n"
            << "Телефон: " << card.phone << "\n"
            << "Примечание: " << card.note << "\n"
            << "Создан: " << LocalTime(card.created_at) << "  " << card.created_by << "\n"
            << "Изменён: " << LocalTime(card.changed_at) << "  " << card.changed_by << "\n"
            << "Журнал (" << journal.size() << "):\n";
  for (const archive::Entry& entry : journal) std::cout << "  " << EntryLine(entry) << "\n";
}

int Show(const ParsedArgs& parsed) {
  if (parsed.Has("--server")) {
    if (parsed.positional.size() != 1) return UsageError(kCommand, "нужен номер объекта");
    int status = 0;
    const std::unique_ptr<ServerLink> link = LogIn(parsed, status);
    if (!link) return status;
    try {
      const auto [card, journal] = ObjectOnServer(*link, parsed.positional[0]);
      PrintObject(card, journal, parsed.Has("--json"));
      return 0;
    } catch (const ServerError& error) {
      return Failure(kCommand, error.what());
    }
  }
  if (parsed.positional.size() != 2)
    return UsageError(kCommand, "нужны файл архива и номер объекта");
  const std::string& file = parsed.positional[0];
  try {
    archive::SqliteArchive db(file, archive::OpenMode::ReadOnly);
    const std::optional<archive::Card> card = CardIn(db, file, parsed.positional[1]);
    if (!card) return 1;
    PrintObject(*card, archive::JournalOf(db, card->id), parsed.Has("--json"));
    return 0;
  } catch (const archive::ArchiveError& error) {
    return ArchiveFailure(file, error);
  }
}

// One .qvx file into the archive; false (said on stderr) when it is refused.
bool ImportQvx(archive::Executor& db, const std::string& path, const std::string& installer,
               int counts[3]) {
  MemorySettings settings;
  if (const std::string refusal = OpenSettingsFile(path, settings); !refusal.empty()) {
    Failure(kCommand, refusal);
    return false;
  }
  // The line as a save would write it: a file in UTF-8 is kept in code page 1251.
  const BuiltSettingsLine line = BuildSettingsLine(settings);
  if (line.line.empty()) {
    Failure(kCommand, path + ": " + line.refusal);
    return false;
  }
  try {
    const archive::ImportResult result =
        archive::ImportSettingsFile(db, path, line.line, installer);
    static constexpr std::string_view kWords[] = {"новый объект", "настройки объекта обновлены",
                                                  "уже в архиве"};
    const int kind = static_cast<int>(result.imported);
    std::cout << path << ": " << kWords[kind] << " " << result.number << "\n";
    ++counts[kind];
    return true;
  } catch (const archive::ArchiveError& error) {
    if (error.failure() != archive::Failure::Refused) throw;
    Failure(kCommand, path + ": " + error.what());
    return false;
  }
}

// Another archive into this one. The other's failures name it; this one's
// end the import.
bool MergeFile(archive::Executor& db, const std::string& path) {
  archive::ArchiveContents contents;
  try {
    archive::SqliteArchive other(path, archive::OpenMode::ReadOnly);
    contents = archive::ReadArchive(other);
  } catch (const archive::ArchiveError& error) {
    Failure(kCommand, path + ": " + error.what());
    return false;
  }
  const archive::MergeCounts counts = archive::MergeContents(db, std::move(contents));
  std::cout << path << ": объектов добавлено " << counts.cards_added << ", обновлено "
            << counts.cards_updated << ", записей журнала добавлено " << counts.entries_added
            << "\n";
  for (const std::string& renumbered : counts.renumbered)
    std::cout << "    номер занят, объект записан под другим: " << renumbered << "\n";
  return true;
}

// The files the PATHs name; nothing, with the failure printed, when one is missing.
std::optional<std::vector<std::string>> SourcesOf(const std::vector<std::string>& paths) {
  std::vector<std::string> sources;
  for (const std::string& path : paths) {
    std::error_code error;
    if (!fs::exists(path, error)) {
      Failure(kCommand, path + ": нет такого файла или папки");
      return std::nullopt;
    }
    for (std::string& source : FilesOf(path)) sources.push_back(std::move(source));
  }
  return sources;
}

// Every source into `db` by the archive's rules, its line said for each,
// then the counts; `file` (the archive itself) skipped. False when any
// source was refused.
bool ImportSources(archive::Executor& db, const std::vector<std::string>& sources,
                   const std::string& file, const std::string& installer) {
  int counts[3] = {0, 0, 0};
  bool all = true;
  // One transaction: a thousand files in one write of the file; each file
  // is a part of its own, so a refused one leaves the others.
  archive::Transaction transaction(db);
  for (const std::string& source : sources) {
    std::error_code error;
    if (!file.empty() && fs::equivalent(source, file, error)) continue;
    const bool done =
        IsDatabaseFile(source) ? MergeFile(db, source) : ImportQvx(db, source, installer, counts);
    all = all && done;
  }
  transaction.Commit();
  std::cout << "Новых объектов: " << counts[0] << ", обновлено: " << counts[1]
            << ", без изменений: " << counts[2] << "\n";
  return all;
}

// The import into the server's archive: what the server holds is taken
// first, so that numbers, names and versions follow the same rules as in
// a file, then what the import made is sent.
int ImportToServer(const ParsedArgs& parsed) {
  const std::optional<std::vector<std::string>> sources = SourcesOf(parsed.positional);
  if (!sources) return 1;
  int status = 0;
  const std::unique_ptr<ServerLink> link = LogIn(parsed, status);
  if (!link) return status;
  std::unique_ptr<ServerArchive> server;
  try {
    server = std::make_unique<ServerArchive>(*link);
    server->PullAll();
    const bool all = ImportSources(server->Db(), *sources, "", link->UserName());
    std::vector<std::string> renumbered;
    const std::int64_t sent = server->Push(&renumbered);
    for (const std::string& line : renumbered)
      std::cout << "    номер занят на сервере, объект записан под другим: " << line << "\n";
    std::cout << "На сервер отправлено карточек и записей журнала: " << sent << "\n";
    bool kept = true;
    for (const archive::Conflict& conflict : archive::ListConflicts(server->Db())) {
      Failure(kCommand,
              link->Named("объект " + conflict.mine.number +
                          " изменён на сервере во время импорта, карточка не отправлена"));
      kept = false;
    }
    return all && kept ? 0 : 1;
  } catch (const ServerError& error) {
    Failure(kCommand, error.what());
  } catch (const archive::ArchiveError& error) {
    Failure(kCommand, link->Named(error.what()));
  }
  // The lines above said what the import made; say what of it the server lacks.
  if (server) {
    const archive::SyncWaiting left = archive::WaitingForSync(server->Db());
    if (left.cards + left.entries > 0)
      Failure(kCommand, link->Named("не отправлено карточек: " + std::to_string(left.cards) +
                                    ", записей журнала: " + std::to_string(left.entries)));
  }
  return 1;
}

int Import(const ParsedArgs& parsed) {
  if (parsed.Has("--server")) {
    if (parsed.positional.empty()) return UsageError(kCommand, "нужен хотя бы один файл или папка");
    return ImportToServer(parsed);
  }
  if (parsed.positional.size() < 2)
    return UsageError(kCommand, "нужны файл архива и хотя бы один файл или папка");
  const std::string& file = parsed.positional[0];
  const std::optional<std::vector<std::string>> sources =
      SourcesOf({parsed.positional.begin() + 1, parsed.positional.end()});
  if (!sources) return 1;
  try {
    archive::SqliteArchive db(file, archive::OpenMode::Create);
    return ImportSources(db, *sources, file, InstallerName()) ? 0 : 1;
  } catch (const archive::ArchiveError& error) {
    return ArchiveFailure(file, error);
  }
}

int Export(const ParsedArgs& parsed) {
  if (parsed.positional.size() != 2)
    return UsageError(kCommand, "нужны файл архива и номер объекта");
  if (!parsed.Has("-o")) return UsageError(kCommand, "не указан файл настроек (-o FILE)");
  const std::string& file = parsed.positional[0];
  const std::string output = parsed.Value("-o");
  try {
    archive::SqliteArchive db(file, archive::OpenMode::ReadOnly);
    const std::optional<archive::Card> card = CardIn(db, file, parsed.positional[1]);
    if (!card) return 1;
    MemorySettings settings;
    if (!ApplySettingsLine(settings, card->settings))
      return Failure(kCommand, file + ": настройки объекта не читаются");
    if (const std::string refusal = SaveSettingsFile(settings, output); !refusal.empty())
      return Failure(kCommand, refusal);
    std::cout << "Настройки сохранены: " << SavedName(output) << "\n";
    return 0;
  } catch (const archive::ArchiveError& error) {
    return ArchiveFailure(file, error);
  }
}

}  // namespace

int RunArchive(const Args& args) {
  if (args.empty()) return UsageError(kCommand, "не указано действие (list, show, import, export)");
  const std::string& action = args[0];
  const Args rest(args.begin() + 1, args.end());
  ParsedArgs parsed;
  auto parse = [&](std::span<const OptionSpec> options, std::size_t max_positional) {
    return ParseArgs(rest, options, max_positional, parsed);
  };
  const auto checked = [&](std::span<const OptionSpec> options, std::size_t max_positional) {
    std::string problem = parse(options, max_positional);
    return problem.empty() ? ServerOptionsProblem(parsed) : problem;
  };
  if (action == "list") {
    static constexpr OptionSpec kOptions[] = {
        {"--search", true}, {"--json"}, kServerOption, kUserOption, kCaFileOption};
    if (const std::string problem = checked(kOptions, 1); !problem.empty())
      return UsageError(kCommand, problem);
    return List(parsed);
  }
  if (action == "show") {
    static constexpr OptionSpec kOptions[] = {
        {"--json"}, kServerOption, kUserOption, kCaFileOption};
    if (const std::string problem = checked(kOptions, 2); !problem.empty())
      return UsageError(kCommand, problem);
    return Show(parsed);
  }
  if (action == "import") {
    static constexpr OptionSpec kOptions[] = {kServerOption, kUserOption, kCaFileOption};
    if (const std::string problem = checked(kOptions, SIZE_MAX); !problem.empty())
      return UsageError(kCommand, problem);
    return Import(parsed);
  }
  if (action == "export") {
    static constexpr OptionSpec kOptions[] = {{"-o", true}};
    if (const std::string problem = parse(kOptions, 2); !problem.empty())
      return UsageError(kCommand, problem);
    return Export(parsed);
  }
  return UsageError(kCommand, "неизвестное действие \"" + action + "\"");
}

}  // namespace qvx::cli
