// The server's tests run against both databases: a fresh SQLite file and a
// fresh database of the test process's own PostgreSQL cluster.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "archive/records.h"
#include "server/api.h"
#include "server/database.h"
#include "tests/support/scratch_folder.h"

namespace qvx::server {

enum class Backend { Sqlite, Postgres };

std::string BackendName(const ::testing::TestParamInfo<Backend>& info);

class ServerTest : public ::testing::TestWithParam<Backend> {
 protected:
  void SetUp() override;

  // A database target of the backend: a file path, or a PostgreSQL URL.
  std::string target_;
  std::unique_ptr<Database> database_;
  std::unique_ptr<ScratchFolder> folder_;
  std::int64_t now_ms_ = 1'800'000'000'000;  // the API's clock, moved by the tests

  // Adds an account with `password` at the least cost.
  void AddUser(const std::string& name, Role role, const std::string& password = "пароль-123");
  // An API over the database with the test's clock.
  Api MakeApi(bool trust_proxy = false);
};

// A logged-in client of an Api: its cookie and key, and requests made as
// the page makes them (its origin, its token).
struct Client {
  explicit Client(Api* api) : api(api) {}
  Api* api;
  std::string cookie;  // "qvx_session=..."
  std::string csrf;
  std::string host = "quorvex.example:8470";
  std::string peer = "192.0.2.10";

  // Logs in; the login's answer.
  Response Login(const std::string& name, const std::string& password);
  Response Get(const std::string& path, std::map<std::string, std::string> query = {});
  Response Post(const std::string& path, const nlohmann::json& body);
  // A POST exactly as given, for the refusals.
  Response Raw(const Request& request);
  Request PostRequest(const std::string& path, const std::string& body) const;
};

// The body of a JSON answer.
nlohmann::json BodyOf(const Response& response);

// A card / entry that the archive's rules take: a fresh id, now, the
// default settings.
archive::Card TestCard(const std::string& number, const std::string& name = "Иванов");
archive::Entry TestEntry(const std::string& object_id, const std::string& outcome = "sent");

// The default settings line, and one with a subscriber phone changed.
std::string DefaultSettings();
std::string OtherSettings();

}  // namespace qvx::server
