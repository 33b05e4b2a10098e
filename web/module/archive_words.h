// The words of the page's archive of objects: the dialog's captions, the
// storage's state, the lines of the list and the journal, and the import's
// summary. The page shows them as they are.
#pragma once

#include <emscripten/val.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "archive/archive_error.h"

namespace qvx::web {

// "Full", "Refused", ...: the kind the page tells apart (storage full).
std::string_view FailureName(archive::Failure failure);

// Why a file taken in is no settings file.
std::string NotSettingsFile();

// { title, search, ..., persisted, notPersisted, unavailable, ... }.
emscripten::val ArchiveTexts();

// "Импорт: новых объектов 2, обновлено 1, без изменений 0", the refused
// files' causes on lines below.
std::string ImportSummary(int added, int changed, int unchanged, int entries_merged,
                          const emscripten::val& refusals);

// The line under a list cut at its limit: "Ещё 9800 объектов не показаны:
// уточните поиск"; "" when `more` is 0.
std::string MoreObjects(std::int64_t more);

// One line of the journal: local time, command, port, outcome, differing.
std::string EntryLine(const emscripten::val& entry);

// The name "Сохранить" proposes for an object: "17 Иванов.qvx", without
// characters a file name may not hold.
std::string ObjectFileName(const std::string& number, const std::string& name);

// The question before a card is deleted: "Удалить объект 17 «Иванов»? ...".
std::string DeleteQuestion(const std::string& number, const std::string& name);

}  // namespace qvx::web
