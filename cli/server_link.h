// The company's server (quorvex-server, docs/server-api.md) as the CLI
// speaks to it: one session logged in at the start and out at the end, its
// cookie and key held in memory only, and every refusal in the server's
// own words.
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

namespace httplib {
class Client;
}

namespace qvx::cli {

// A failure to reach the server or its refusal. what() names the server:
// "сервер https://host:8470: неверное имя или пароль".
class ServerError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Where the server is: "http://HOST[:PORT]" or "https://…", a trailing "/"
// allowed. Returns "" or the usage problem in words.
std::string ServerUrlProblem(const std::string& url);

struct ServerLogin {
  std::string url;   // passed ServerUrlProblem
  std::string user;  // the account's name
  std::string password;
  std::string ca_file;  // a certificate to trust besides the system's; "" for none
};

class ServerLink {
 public:
  // Connects and logs in. Throws ServerError: no connection, a certificate
  // not trusted, a wrong password (the server's words), ...
  static std::unique_ptr<ServerLink> LogIn(ServerLogin login);
  // Logs out; a failure to do so is not reported (the session ends by time).
  ~ServerLink();
  ServerLink(const ServerLink&) = delete;
  ServerLink& operator=(const ServerLink&) = delete;

  // GET of `target` (path and query, already encoded); the JSON of a 2xx
  // answer. Throws ServerError with the server's {"error"} for any other.
  nlohmann::json Get(const std::string& target);
  // POST of `body` (JSON text) to `path` with the session's checks; as Get.
  nlohmann::json Post(const std::string& path, const std::string& body);

  // "http://host:8470" as the server sees its own origin; the sync's key too.
  const std::string& Origin() const { return origin_; }
  // The account's name as the server knows it.
  const std::string& UserName() const { return user_; }
  // "сервер URL: " + words: how every failure names the server.
  std::string Named(const std::string& words) const;

 private:
  ServerLink(std::string url, std::string origin, std::string host);
  nlohmann::json Send(bool post, const std::string& target, const std::string& body);

  std::string url_, origin_, host_;
  std::unique_ptr<httplib::Client> client_;
  std::string cookie_, csrf_, user_;
};

// "a b/c" → "a%20b%2Fc": a text as one part of a path or a query's value.
std::string UrlEncoded(const std::string& text);

}  // namespace qvx::cli
