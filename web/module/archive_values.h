// The archive's records as the page's plain objects: a card and a journal
// entry, their settings as the .qvx file's bytes (Uint8Array), and back.
#pragma once

#include <emscripten/val.h>

#include <string>

#include "archive/records.h"

namespace qvx::web {

// A settings file's bytes as the archive keeps them: its first line.
std::string LineOf(const emscripten::val& bytes);

// { id, number, name, address, phone, note, settings, createdAt, createdBy,
// changedAt, changedBy, version, deleted }; settings null for none.
emscripten::val CardObject(const archive::Card& card);

// The card of such an object; what it lacks stays empty (the rules refuse it).
archive::Card CardFrom(const emscripten::val& object);

// { id, objectId, at, installer, port, command, outcome, cause,
// outcomeText, settings, differing }.
emscripten::val EntryObject(const archive::Entry& entry);

}  // namespace qvx::web
