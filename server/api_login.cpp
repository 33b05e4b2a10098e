// Logging in and out, and the session's own answer.
#include <algorithm>

#include "server/api.h"
#include "server/audit.h"
#include "server/json_answers.h"
#include "server/login_limit.h"

namespace qvx::server {
namespace {

std::string Cookie(const std::string& value, std::int64_t max_age, bool secure) {
  return "qvx_session=" + value +
         "; Path=/; HttpOnly; SameSite=Strict; Max-Age=" + std::to_string(max_age) +
         (secure ? "; Secure" : "");
}

Response SessionAnswer(const Account& account, const std::string& token) {
  return JsonAnswer(
      200, {{"name", account.name}, {"role", CodeOf(account.role)}, {"csrf", CsrfOf(token)}});
}

}  // namespace

Response Api::Login(const Request& request) {
  const nlohmann::json body = nlohmann::json::parse(request.body, nullptr, false);
  if (!body.is_object() || !body.contains("name") || !body["name"].is_string() ||
      !body.contains("password") || !body["password"].is_string())
    return BadRequest("нужны имя и пароль");
  const std::string name = body["name"].get<std::string>();
  const std::string password = body["password"].get<std::string>();
  const std::string address = ClientAddress(request);
  // A name no account can have is not kept as a key: it could be anything.
  const bool plain_name = NameRefusal(name).empty();
  std::optional<std::pair<Account, std::string>> found;
  {
    Lease lease = database_.Acquire();
    const std::int64_t now = Now();
    std::optional<std::int64_t> wait = LoginWait(*lease, LimitKey::Address, address, now);
    if (plain_name) {
      const std::optional<std::int64_t> name_wait = LoginWait(*lease, LimitKey::Name, name, now);
      if (name_wait) wait = std::max(wait.value_or(0), *name_wait);
    }
    if (wait) {
      Response refused = ErrorAnswer(
          429, "слишком много попыток входа: подождите " + std::to_string(*wait) + " с");
      refused.headers.emplace_back("Retry-After", std::to_string(*wait));
      return refused;
    }
    if (plain_name) found = FindAccount(*lease, name);
  }
  // Checked outside the lease: the hash takes its time on purpose, and the
  // same time whether the name exists or not.
  const bool matches = PasswordMatches(password, found ? found->second : decoy_hash_);
  Lease lease = database_.Acquire();
  const std::int64_t now = Now();
  // Each login sweeps what has run out, so neither table only ever grows.
  EndExpiredSessions(*lease, now);
  ForgetOldFailures(*lease, now);
  if (found && matches) {
    const std::string token = NewToken();
    archive::Transaction transaction(*lease);
    ClearFailures(*lease, LimitKey::Name, name);
    AddSession(*lease, TokenHash(token), found->first.name, now + kSessionSeconds * 1000);
    Audit(*lease, {"", found->first.name, audit_action::kLogin, "", "адрес " + address});
    transaction.Commit();
    Response response = SessionAnswer(found->first, token);
    response.headers.emplace_back("Set-Cookie",
                                  Cookie(token, kSessionSeconds, SecureCookie(request)));
    return response;
  }
  archive::Transaction transaction(*lease);
  std::int64_t failures = CountFailure(*lease, LimitKey::Address, address, now);
  if (plain_name) failures = std::max(failures, CountFailure(*lease, LimitKey::Name, name, now));
  const std::string who = plain_name ? name : "";
  Audit(*lease, {"", who, audit_action::kLoginFailed, "", "адрес " + address});
  if (failures >= kFailuresBeforeLock)
    Audit(*lease, {"", who, audit_action::kLockout, "",
                   "адрес " + address + ", на " + std::to_string(LockMs(failures) / 1000) + " с"});
  transaction.Commit();
  return ErrorAnswer(401, "неверное имя или пароль");
}

Response Api::Logout(const Request& request, const Session& session) {
  Lease lease = database_.Acquire();
  EndSession(*lease, TokenHash(session.token));
  Audit(*lease, {"", session.account.name, audit_action::kLogout, "", ""});
  Response response = NoContent();
  response.headers.emplace_back("Set-Cookie", Cookie("", 0, SecureCookie(request)));
  return response;
}

Response Api::SessionInfo(const Session& session) const {
  return SessionAnswer(session.account, session.token);
}

}  // namespace qvx::server
