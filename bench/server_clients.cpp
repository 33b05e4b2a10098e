#include "bench/server_clients.h"

#include <httplib.h>

#include <nlohmann/json.hpp>
#include <stdexcept>

#include "archive/records_json.h"

namespace qvx::bench {
namespace {

[[noreturn]] void Refused(const std::string& what, const httplib::Result& result) {
  if (!result)
    throw std::runtime_error(what + ": no answer (" + httplib::to_string(result.error()) + ")");
  throw std::runtime_error(what + ": " + std::to_string(result->status) + " " + result->body);
}

struct Paged {
  std::int64_t cursor = 0;
  bool more = false;
};

// The cursor and "more" of a sync's answer. The server writes the cursor
// first and "more" last; reading only those keeps the clients, on the
// server's own processor, from parsing megabytes of cards they drop.
Paged PagedOf(const std::string& body) {
  static constexpr std::string_view kCursor = R"({"cursor":)";
  static constexpr std::string_view kMore = R"(,"more":true})";
  static constexpr std::string_view kLast = R"(,"more":false})";
  const bool more = body.ends_with(kMore);
  if (body.starts_with(kCursor) && (more || body.ends_with(kLast)))
    return {std::stoll(body.substr(kCursor.size(), 20)), more};
  const nlohmann::json answer = nlohmann::json::parse(body);
  return {answer.at("cursor").get<std::int64_t>(), answer.at("more").get<bool>()};
}

}  // namespace

ServerSession::ServerSession(int port, const std::string& name, const std::string& password,
                             bool keep_alive)
    : client_(std::make_unique<httplib::Client>("127.0.0.1", port)),
      origin_("http://127.0.0.1:" + std::to_string(port)) {
  client_->set_keep_alive(keep_alive);
  // A sync under twenty at once may wait long for the database: its time
  // is what is measured, not a failure.
  client_->set_read_timeout(600, 0);
  client_->set_write_timeout(600, 0);
  const nlohmann::json login = {{"name", name}, {"password", password}};
  const httplib::Result result =
      client_->Post("/api/login", {{"Origin", origin_}}, login.dump(), "application/json");
  if (!result || result->status != 200) Refused("login of " + name, result);
  const std::string cookie = result->get_header_value("Set-Cookie");
  cookie_ = cookie.substr(0, cookie.find(';'));
  csrf_ = nlohmann::json::parse(result->body).at("csrf").get<std::string>();
}

ServerSession::~ServerSession() = default;

void ServerSession::Ping() {
  const httplib::Result result = client_->Get("/api/session", {{"Cookie", cookie_}});
  if (!result || result->status != 200) Refused("GET /api/session", result);
}

std::int64_t ServerSession::Search(const std::string& text) {
  const httplib::Result result =
      client_->Get("/api/objects", {{"search", text}}, {{"Cookie", cookie_}});
  if (!result || result->status != 200) Refused("search \"" + text + "\"", result);
  const nlohmann::json answer = nlohmann::json::parse(result->body);
  return static_cast<std::int64_t>(answer.at("objects").size()) +
         answer.at("more").get<std::int64_t>();
}

archive::Card ServerSession::Card(const std::string& number) {
  const httplib::Result result = client_->Get("/api/objects/" + number, {{"Cookie", cookie_}});
  if (!result || result->status != 200) Refused("object " + number, result);
  return archive::CardFromJson(nlohmann::json::parse(result->body).at("card"));
}

std::string ServerSession::Post(const std::string& path, const std::string& body, SyncDone& done) {
  for (;;) {
    ++done.requests;
    const httplib::Result result =
        client_->Post(path, {{"Cookie", cookie_}, {"Origin", origin_}, {"X-Quorvex-Token", csrf_}},
                      body, "application/json");
    if (result && result->status == 503) {
      ++done.busy;
      continue;
    }
    if (!result || result->status != 200)
      Refused("POST " + path + " (request " + std::to_string(done.requests) + ")", result);
    return result->body;
  }
}

std::string SyncUpload(std::int64_t cursor, const std::vector<archive::Entry>& entries) {
  nlohmann::ordered_json uploaded = nlohmann::ordered_json::array();
  for (const archive::Entry& entry : entries) uploaded.push_back(archive::EntryJson(entry));
  return nlohmann::ordered_json{
      {"cursor", cursor}, {"cards", nlohmann::ordered_json::array()}, {"entries", uploaded}}
      .dump();
}

SyncDone ServerSession::Sync(const std::string& upload) {
  SyncDone done;
  std::string request = upload;
  for (;;) {
    const Paged paged = PagedOf(Post("/api/sync", request, done));
    done.cursor = paged.cursor;
    if (!paged.more) return done;
    request = R"({"cursor":)" + std::to_string(done.cursor) + R"(,"cards":[],"entries":[]})";
  }
}

}  // namespace qvx::bench
