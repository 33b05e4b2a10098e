// The archive's operations as the page's archive worker calls them: each
// takes the database (see wasm_executor.h) and records as plain objects,
// settings as Uint8Array; a refusal or failure is thrown as an Error whose
// `failure` names archive::Failure and whose message is the cause in words.
#include <emscripten/bind.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <string_view>

#include "archive/archive_error.h"
#include "archive/import.h"
#include "archive/objects.h"
#include "archive/records.h"
#include "archive/search.h"
#include "archive_values.h"
#include "archive_words.h"
#include "config_file/file_commands.h"
#include "config_file/settings_line.h"
#include "device/causes.h"
#include "device/command_steps.h"
#include "js_values.h"
#include "settings/memory_settings.h"
#include "wasm_executor.h"

namespace {

using emscripten::val;
using namespace qvx;
using namespace qvx::archive;
using web::CardFrom;
using web::CardObject;
using web::EntryObject;
using web::LineOf;

[[noreturn]] void ThrowArchive(std::string_view failure, const std::string& words) {
  val error = val::global("Error").new_(val(words));
  error.set("failure", val(std::string(failure)));
  error.throw_();
}

// Runs `work`, an archive's failure thrown on to JavaScript with its kind.
template <typename Work>
auto Guard(Work work) -> decltype(work()) {
  try {
    return work();
  } catch (const ArchiveError& error) {
    ThrowArchive(web::FailureName(error.failure()), error.what());
  } catch (const std::exception& error) {
    ThrowArchive("Other", error.what());
  }
}

// The page's command codes in the journal's words; a batch's line as it is.
std::string CommandOf(const std::string& command) {
  if (command == "write") return std::string(kWriteCommand);
  if (command == "writeVerify") return std::string(kWriteVerifyCommand);
  if (command == "read") return std::string(kReadCommand);
  if (command == "compare") return std::string(kCompareCommand);
  return command;
}

void Prepare(val db) {
  Guard([&] {
    web::WasmExecutor executor(db);
    PrepareArchive(executor);
  });
}

val List(val db, const std::string& text) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    return web::Array(ListObjects(executor, text), CardObject);
  });
}

val Find(val db, const std::string& number) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    const std::optional<Card> card = FindObject(executor, number);
    return card ? CardObject(*card) : val::null();
  });
}

val Journal(val db, const std::string& object_id) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    return web::Array(JournalOf(executor, object_id), EntryObject);
  });
}

// The deleted cards ("Удалённые"), newest change first.
val Deleted(val db) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    val cards = val::array();
    for (const Row& row : executor.Run(DeletedObjects()))
      cards.call<void>("push", CardObject(CardOf(row)));
    return cards;
  });
}

val Create(val db, val card, const std::string& installer) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    return CardObject(CreateObject(executor, CardFrom(card), installer));
  });
}

val Change(val db, val card, const std::string& installer) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    return CardObject(ChangeObject(executor, CardFrom(card), installer));
  });
}

// `command` is the page's: { port, command, outcome, cause, outcomeText,
// settings (the .qvx file's bytes) }.
val Record(val db, const std::string& object_id, val command, const std::string& installer) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    Entry entry;
    entry.installer = installer;
    entry.port = web::StringOf(command, "port");
    entry.command = CommandOf(web::StringOf(command, "command"));
    entry.outcome = web::StringOf(command, "outcome");
    entry.cause = web::StringOf(command, "cause");
    entry.outcome_text = web::StringOf(command, "outcomeText");
    if (!command["settings"].isNull() && !command["settings"].isUndefined())
      entry.settings = LineOf(command["settings"]);
    return EntryObject(JournalCommand(executor, object_id, entry));
  });
}

// Messages of an open are not shown: its refusal is the import's cause.
class NoMessages : public CommandMessages {
 public:
  void Show(const std::string& text, const std::string&) override { last = text; }
  bool AskYesNo(const std::string&, const std::string&) override { return false; }
  std::string last;
};

val ImportFile(val db, const std::string& file_name, val bytes, const std::string& installer) {
  return Guard([&] {
    MemorySettings settings;
    NoMessages messages;
    if (OpenSettingsBytes(settings, web::FromBytes(bytes), messages) != CommandOutcome::Done)
      throw ArchiveError(Failure::Refused, web::NotSettingsFile());
    // The line as a save would write it: a file in UTF-8 is kept in code page 1251.
    const BuiltSettingsLine line = BuildSettingsLine(settings);
    if (line.line.empty()) throw ArchiveError(Failure::Refused, line.refusal);
    web::WasmExecutor executor(db);
    const ImportResult result = ImportSettingsFile(executor, file_name, line.line, installer);
    val object = val::object();
    static constexpr const char* kKinds[] = {"added", "changed", "unchanged"};
    object.set("imported", val(kKinds[static_cast<int>(result.imported)]));
    object.set("number", result.number);
    return object;
  });
}

val Merge(val into, val from) {
  return Guard([&] {
    web::WasmExecutor target(into);
    web::WasmExecutor source(from);
    const MergeCounts counts = MergeArchive(target, source);
    val object = val::object();
    object.set("cardsAdded", static_cast<double>(counts.cards_added));
    object.set("cardsUpdated", static_cast<double>(counts.cards_updated));
    object.set("entriesAdded", static_cast<double>(counts.entries_added));
    object.set("renumbered", web::Strings(counts.renumbered));
    return object;
  });
}

// Two FNV-1a hashes of `text` as 32 hexadecimal digits: the id of a
// history entry carried over, the same however often it is carried.
std::string IdOfText(const std::string& text) {
  std::string id;
  for (const std::uint64_t seed : {0xcbf29ce484222325ULL, 0x84222325cbf29ce4ULL}) {
    std::uint64_t hash = seed;
    for (const unsigned char c : text) hash = (hash ^ c) * 0x100000001b3ULL;
    static constexpr char kHex[] = "0123456789abcdef";
    for (int digit = 0; digit < 16; ++digit, hash >>= 4) id += kHex[hash & 0xf];
  }
  return id;
}

// Milliseconds since 1970 as the archive stores a time.
std::string TimeTextOf(double epoch_ms) {
  const auto when = static_cast<std::time_t>(epoch_ms / 1000);
  std::tm utc{};
  gmtime_r(&when, &utc);
  char text[64];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                static_cast<int>(std::fmod(epoch_ms, 1000.0)));
  return text;
}

// The page's former history ({ time, port, command, outcome, cause,
// outcomeText, settings }) into "Без объекта", each entry kept once however
// often it is carried over. Returns the number added.
int CarryOver(val db, val history, const std::string& installer) {
  return Guard([&] {
    ArchiveContents contents;
    const int count = history["length"].as<int>();
    for (int index = 0; index < count; ++index) {
      const val kept = history[index];
      Entry entry;
      entry.at = TimeTextOf(kept["time"].as<double>());
      entry.installer = installer;
      entry.port = web::StringOf(kept, "port");
      entry.command = CommandOf(web::StringOf(kept, "command"));
      entry.outcome = web::StringOf(kept, "outcome");
      // An outcome no longer known keeps its words only, not the entry out.
      if (!device::OutcomeOfCode(entry.outcome)) entry.outcome.clear();
      entry.cause = web::StringOf(kept, "cause");
      if (!device::CauseOfCode(entry.cause)) entry.cause.clear();
      entry.outcome_text = web::StringOf(kept, "outcomeText");
      if (!kept["settings"].isNull() && !kept["settings"].isUndefined())
        entry.settings = LineOf(kept["settings"]);
      entry.id = IdOfText(entry.at + '\n' + entry.port + '\n' + entry.command + '\n' +
                          entry.outcome + '\n' + entry.settings);
      if (!EntryRefusal(entry).empty()) continue;  // nothing the archive could keep
      contents.entries.push_back(std::move(entry));
    }
    web::WasmExecutor executor(db);
    return static_cast<int>(MergeContents(executor, std::move(contents)).entries_added);
  });
}

}  // namespace

EMSCRIPTEN_BINDINGS(quorvex_archive) {
  emscripten::function("prepare", &Prepare);
  emscripten::function("list", &List);
  emscripten::function("find", &Find);
  emscripten::function("deleted", &Deleted);
  emscripten::function("journal", &Journal);
  emscripten::function("create", &Create);
  emscripten::function("change", &Change);
  emscripten::function("record", &Record);
  emscripten::function("importFile", &ImportFile);
  emscripten::function("merge", &Merge);
  emscripten::function("carryOver", &CarryOver);
  emscripten::function("texts", &qvx::web::ArchiveTexts);
  emscripten::function("importSummary", &qvx::web::ImportSummary);
  emscripten::function("entryLine", &qvx::web::EntryLine);
  emscripten::function("objectFileName", &qvx::web::ObjectFileName);
  emscripten::function("deleteQuestion", &qvx::web::DeleteQuestion);
}
