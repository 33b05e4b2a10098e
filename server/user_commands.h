// "quorvex-server user ...": the accounts, managed on the server's machine.
#pragma once

#include <istream>
#include <ostream>

#include "server/database.h"
#include "server/options.h"
#include "server/secrets.h"

namespace qvx::server {

// Runs `command` on `database`: its result on `out`, a password (add,
// password) read as one line of `in`. Returns the exit code; a refusal
// ("учётная запись «X» уже есть", a short password) is thrown as
// std::runtime_error for the caller to name the database with.
int RunUserCommand(const UserCommand& command, Database& database, std::istream& in,
                   std::ostream& out, const PasswordCost& cost);

// The shortest password taken, in characters.
inline constexpr std::size_t kShortestPassword = 8;

}  // namespace qvx::server
