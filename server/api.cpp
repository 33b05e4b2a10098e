#include "server/api.h"

#include <chrono>

#include "archive/archive_error.h"
#include "server/json_answers.h"
#include "server/sync.h"

namespace qvx::server {
namespace {

constexpr std::string_view kCookieName = "qvx_session";

std::string Lowercase(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t") + 1 - first);
}

// The value of the session cookie in a Cookie header, or "".
std::string SessionToken(const std::string& cookies) {
  std::size_t start = 0;
  while (start < cookies.size()) {
    std::size_t end = cookies.find(';', start);
    if (end == std::string::npos) end = cookies.size();
    const std::string pair = Trimmed(cookies.substr(start, end - start));
    const std::size_t equals = pair.find('=');
    if (equals != std::string::npos && pair.substr(0, equals) == kCookieName)
      return pair.substr(equals + 1);
    start = end + 1;
  }
  return "";
}

bool IsToken(const std::string& token) {
  if (token.size() != 64) return false;
  for (const char c : token)
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  return true;
}

}  // namespace

Api::Api(Database& database, ApiOptions options)
    : database_(database), options_(std::move(options)) {
  decoy_hash_ = HashPassword(NewToken(), options_.cost);
}

std::int64_t Api::Now() const {
  if (options_.now_ms) return options_.now_ms();
  using namespace std::chrono;
  return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string Api::ClientAddress(const Request& request) const {
  if (options_.trust_proxy) {
    // The proxy appends the address it saw; anything before it is the
    // client's own claim.
    const std::string forwarded = request.Header("x-forwarded-for");
    const std::size_t comma = forwarded.rfind(',');
    const std::string last =
        Trimmed(comma == std::string::npos ? forwarded : forwarded.substr(comma + 1));
    if (!last.empty()) return last;
  }
  return request.peer;
}

bool Api::SecureCookie(const Request& request) const {
  return request.tls ||
         (options_.trust_proxy && Lowercase(request.Header("x-forwarded-proto")) == "https");
}

std::string Api::OwnOrigin(const Request& request) const {
  return std::string(SecureCookie(request) ? "https" : "http") + "://" +
         Lowercase(request.Header("host"));
}

std::optional<Api::Session> Api::SessionOf(const Request& request) {
  const std::string token = SessionToken(request.Header("cookie"));
  if (!IsToken(token)) return std::nullopt;
  Lease lease = database_.Acquire();
  const std::optional<Account> account = SessionAccount(*lease, TokenHash(token), Now());
  if (!account) return std::nullopt;
  return Session{*account, token};
}

Response Api::Handle(const Request& request) {
  try {
    return Route(request);
  } catch (const RoleRefusal& refusal) {
    return ErrorAnswer(403, std::string("недостаточно прав: ") + refusal.what());
  } catch (const archive::ArchiveError& error) {
    if (error.failure() == archive::Failure::Refused) return BadRequest(error.what());
    if (options_.log)
      options_.log(request.method + " " + LoggedPath(request.path) + ": " + error.what());
    if (error.failure() == archive::Failure::Busy)
      return ErrorAnswer(503, "сервер занят: повторите запрос");
    return ErrorAnswer(500, "ошибка сервера");
  } catch (const std::exception& error) {
    if (options_.log)
      options_.log(request.method + " " + LoggedPath(request.path) + ": " + error.what());
    return ErrorAnswer(500, "ошибка сервера");
  }
}

Response Api::Route(const Request& request) {
  const std::string& path = request.path;
  const bool get = request.method == "GET";
  const bool post = request.method == "POST";
  const bool known = path == "/api/login" || path == "/api/logout" || path == "/api/session" ||
                     path == "/api/sync" || path == "/api/users" || path == "/api/audit" ||
                     path == "/api/objects" || path.rfind("/api/objects/", 0) == 0;
  if (!known) return ErrorAnswer(404, "нет такого адреса");
  const bool wants_post = path == "/api/login" || path == "/api/logout" || path == "/api/sync";
  if ((wants_post && !post) || (!wants_post && !get))
    return ErrorAnswer(405, "метод не поддерживается");
  // A change must come from the page this server serves: another site's
  // form or script carries its own origin, or none.
  if (post && Lowercase(request.Header("origin")) != OwnOrigin(request)) return ForeignOrigin();
  if (path == "/api/login") return Login(request);
  const std::optional<Session> session = SessionOf(request);
  if (!session) return NoSession();
  if (post && !SameSecret(request.Header("x-quorvex-token"), CsrfOf(session->token)))
    return WrongToken();
  if (path == "/api/logout") return Logout(request, *session);
  if (path == "/api/session") return SessionInfo(*session);
  if (path == "/api/sync") return SyncCall(request, *session);
  if (path == "/api/objects") return Objects(request);
  if (path.rfind("/api/objects/", 0) == 0) return Object(path.substr(13));
  if (session->account.role != Role::Admin) return BeyondRole();
  if (path == "/api/users") return Users();
  return AuditLog(request);
}

}  // namespace qvx::server
