// A card and a journal entry as JSON: the shape the CLI prints, the server
// answers and a sync carries. The settings line travels as UTF-8 text and is
// stored back in code page 1251.
#pragma once

#include <nlohmann/json.hpp>

#include "archive/records.h"

namespace qvx::archive {

// {id, number, name, address, phone, note, createdAt, createdBy, changedAt,
// changedBy, version, deleted, settings}.
nlohmann::ordered_json CardJson(const Card& card);

// {id, objectId, at, installer, port, command, outcome, cause, outcomeText,
// differing, settings}; objectId "" for "Без объекта", differing null for none.
nlohmann::ordered_json EntryJson(const Entry& entry);

// The record of such JSON, checked by CardRefusal / EntryRefusal. Throws
// ArchiveError (Refused) naming what is wrong: a missing or mistyped key,
// a settings text code page 1251 cannot hold, or the record's refusal.
Card CardFromJson(const nlohmann::json& json);
Entry EntryFromJson(const nlohmann::json& json);

}  // namespace qvx::archive
