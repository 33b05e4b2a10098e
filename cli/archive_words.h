// How quorvex-cli shows the archive: times in local time, a card and a
// journal entry in lines, and the installer's name.
#pragma once

#include <string>

#include "archive/records.h"

namespace qvx::cli {

// A stored time ("2026-12-10T12:45:00.123Z") in local time: "10.12.2026 15:45:00".
std::string LocalTime(const std::string& stored);

// The list's line of a card: "17  Иванов  ул. Ленина, 5  10.12.2026 15:45:00".
std::string ObjectLine(const archive::Card& card);

// An entry's line: "10.12.2026 15:45:00  ivan  /dev/ttyUSB0  Записать  отправлено  различий: 3".
std::string EntryLine(const archive::Entry& entry);

// Who the entries name as installer: the login name, else "".
std::string InstallerName();

}  // namespace qvx::cli
