// The words of the page's login and sync: the form's captions, the sync's
// state, and a conflict's two cards line by line. The page shows them as
// they are, as text.
#pragma once

#include <emscripten/val.h>

#include <cstdint>
#include <string>

#include "archive/conflicts.h"

namespace qvx::web {

// { loginTitle, loginName, loginPassword, loginSubmit, logout, online,
// offline, ... }.
emscripten::val SyncTexts();

// "в сети", "нет связи с сервером", or "ждут отправки: N" while records
// wait; a conflict waiting is said after it.
std::string SyncStatusText(bool reachable, std::int64_t waiting, std::int64_t conflicts);

// The conflict as rows [what, mine, theirs] for both cards side by side:
// number, name, address, phone, note, when and by whom changed, deleted,
// and the settings in which they differ.
emscripten::val ConflictRows(const archive::Conflict& conflict);

}  // namespace qvx::web
