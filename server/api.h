// The server's HTTP interface (docs/server-api.md) as a function from a
// Request to a Response, over the database: sessions, the checks of origin,
// token and role, the login limit, reading, sync and administration.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "server/accounts.h"
#include "server/database.h"
#include "server/http_types.h"
#include "server/secrets.h"

namespace qvx::server {

inline constexpr std::int64_t kSessionSeconds = 12 * 60 * 60;

struct ApiOptions {
  // Behind a reverse proxy: the client's address from X-Forwarded-For and
  // the scheme from X-Forwarded-Proto, which the proxy sets.
  bool trust_proxy = false;
  PasswordCost cost = PasswordCost::Interactive();
  // Milliseconds since 1970; the system clock when empty.
  std::function<std::int64_t()> now_ms;
  // A line for the server's log; never given a password, token or settings.
  std::function<void(const std::string&)> log;
};

class Api {
 public:
  Api(Database& database, ApiOptions options);

  // The answer to a request under /api/; 404 for any other path there.
  Response Handle(const Request& request);

 private:
  struct Session {
    Account account;
    std::string token;
  };

  Response Route(const Request& request);
  Response Login(const Request& request);
  Response Logout(const Request& request, const Session& session);
  Response SessionInfo(const Session& session) const;
  Response Objects(const Request& request);
  Response Object(const std::string& number);
  Response SyncCall(const Request& request, const Session& session);
  Response Users();
  Response AuditLog(const Request& request);

  std::optional<Session> SessionOf(const Request& request);
  bool SecureCookie(const Request& request) const;
  std::string ClientAddress(const Request& request) const;
  std::string OwnOrigin(const Request& request) const;
  std::int64_t Now() const;

  Database& database_;
  ApiOptions options_;
  std::string decoy_hash_;  // checked for an unknown name: the same time as a wrong password
};

}  // namespace qvx::server
