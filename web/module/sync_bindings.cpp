// The sync's rules as the page's archive worker calls them (the database as
// in archive_bindings.cpp): the request's text to send, the server's answer
// applied, what waits, and the conflicts shown and settled. The worker only
// carries the texts to the server and back.
#include <emscripten/bind.h>

#include "archive/archive_error.h"
#include "archive/conflicts.h"
#include "archive/sync.h"
#include "archive/sync_tables.h"
#include "archive_values.h"
#include "archive_words.h"
#include "js_values.h"
#include "sync_words.h"
#include "wasm_executor.h"

namespace {

using emscripten::val;
using namespace qvx;
using namespace qvx::archive;

// Runs `work`, an archive's failure thrown on to JavaScript as an Error
// whose `failure` names its kind.
template <typename Work>
auto Guard(Work work) -> decltype(work()) {
  try {
    return work();
  } catch (const std::exception& error) {
    const auto* archive_error = dynamic_cast<const ArchiveError*>(&error);
    val thrown = val::global("Error").new_(val(std::string(error.what())));
    thrown.set("failure", val(std::string(archive_error ? web::FailureName(archive_error->failure())
                                                        : "Other")));
    thrown.throw_();
  }
}

std::string Request(val db, const std::string& origin, bool cards) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    return SyncRequest(executor, origin, kSyncBatch, cards);
  });
}

val Apply(val db, const std::string& origin, const std::string& request,
          const std::string& answer) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    const SyncApplied applied = ApplySyncAnswer(executor, origin, request, answer);
    val object = val::object();
    object.set("cards", static_cast<double>(applied.cards));
    object.set("entries", static_cast<double>(applied.entries));
    object.set("conflicts", static_cast<double>(applied.conflicts));
    object.set("sent", static_cast<double>(applied.sent));
    return object;
  });
}

// { waiting: entries and cards not yet sent, conflicts, origin: the server
// last synced with, "" for none }.
val Waiting(val db) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    const SyncWaiting waiting = WaitingForSync(executor);
    val object = val::object();
    object.set("waiting", static_cast<double>(waiting.entries + waiting.cards));
    object.set("conflicts", static_cast<double>(waiting.conflicts));
    object.set("origin", SyncValue(executor, kOriginKey).value_or(""));
    return object;
  });
}

// [{ mine, theirs, rows }]: both cards and the rows to show them side by side.
val Conflicts(val db) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    return web::Array(ListConflicts(executor), [](const Conflict& conflict) {
      val object = val::object();
      object.set("mine", web::CardObject(conflict.mine));
      object.set("theirs", web::CardObject(conflict.theirs));
      object.set("rows", web::ConflictRows(conflict));
      return object;
    });
  });
}

val SettleOne(val db, const std::string& mine_id, bool keep_mine, const std::string& installer) {
  return Guard([&] {
    web::WasmExecutor executor(db);
    return web::CardObject(SettleConflict(
        executor, mine_id, keep_mine ? Settle::KeepMine : Settle::TakeTheirs, installer));
  });
}

// Counts cross as JavaScript's numbers.
std::string Status(bool reachable, double waiting, double conflicts) {
  return web::SyncStatusText(reachable, static_cast<std::int64_t>(waiting),
                             static_cast<std::int64_t>(conflicts));
}

}  // namespace

EMSCRIPTEN_BINDINGS(quorvex_sync) {
  emscripten::function("syncRequest", &Request);
  emscripten::function("syncApply", &Apply);
  emscripten::function("syncWaiting", &Waiting);
  emscripten::function("conflicts", &Conflicts);
  emscripten::function("settle", &SettleOne);
  emscripten::function("syncTexts", &qvx::web::SyncTexts);
  emscripten::function("syncStatus", &Status);
}
