#include "server/tests/server_test_fixture.h"

#include "archive/sqlite_archive.h"
#include "config_file/settings_line.h"
#include "server/secrets.h"
#include "settings/memory_settings.h"
#include "tests/support/postgres_server.h"

namespace qvx::server {

std::string BackendName(const ::testing::TestParamInfo<Backend>& info) {
  return info.param == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

void ServerTest::SetUp() {
  ASSERT_TRUE(StartSecrets());
  if (GetParam() == Backend::Sqlite) {
    folder_ = std::make_unique<ScratchFolder>("server");
    target_ = folder_->Path("server.db");
  } else {
    test::PostgresServer& postgres = test::PostgresServer::Shared();
    if (!postgres.SkipReason().empty()) GTEST_SKIP() << postgres.SkipReason();
    target_ = postgres.NewDatabase();
    ASSERT_FALSE(target_.empty()) << postgres.Failure();
  }
  database_ = std::make_unique<Database>(target_, 4);
}

void ServerTest::AddUser(const std::string& name, Role role, const std::string& password) {
  Lease lease = database_->Acquire();
  AddAccount(*lease, {name, role}, HashPassword(password, PasswordCost::Least()));
}

Api ServerTest::MakeApi(bool trust_proxy) {
  ApiOptions options;
  options.trust_proxy = trust_proxy;
  options.cost = PasswordCost::Least();
  options.now_ms = [this] { return now_ms_; };
  return Api(*database_, options);
}

Request Client::PostRequest(const std::string& path, const std::string& body) const {
  Request request;
  request.method = "POST";
  request.path = path;
  request.body = body;
  request.peer = peer;
  request.headers = {{"host", host}, {"origin", "http://" + host}};
  if (!cookie.empty()) request.headers["cookie"] = cookie;
  if (!csrf.empty()) request.headers["x-quorvex-token"] = csrf;
  return request;
}

Response Client::Login(const std::string& name, const std::string& password) {
  const Response response = api->Handle(
      PostRequest("/api/login", nlohmann::json{{"name", name}, {"password", password}}.dump()));
  for (const auto& [header, value] : response.headers)
    if (header == "Set-Cookie") cookie = value.substr(0, value.find(';'));
  if (response.status == 200) csrf = BodyOf(response)["csrf"];
  return response;
}

Response Client::Get(const std::string& path, std::map<std::string, std::string> query) {
  Request request;
  request.method = "GET";
  request.path = path;
  request.query = std::move(query);
  request.peer = peer;
  request.headers = {{"host", host}};
  if (!cookie.empty()) request.headers["cookie"] = cookie;
  return api->Handle(request);
}

Response Client::Post(const std::string& path, const nlohmann::json& body) {
  return api->Handle(PostRequest(path, body.dump()));
}

Response Client::Raw(const Request& request) {
  return api->Handle(request);
}

nlohmann::json BodyOf(const Response& response) {
  return nlohmann::json::parse(response.body, nullptr, false);
}

std::string DefaultSettings() {
  MemorySettings settings;
  return BuildSettingsLine(settings).line;
}

std::string OtherSettings() {
  MemorySettings settings;
  settings.SetText("Edit16", "+7 916 123-45-67");
  return BuildSettingsLine(settings).line;
}

archive::Card TestCard(const std::string& number, const std::string& name) {
  archive::Card card;
  card.id = archive::NewId();
  card.number = number;
  card.name = name;
  card.settings = DefaultSettings();
  card.created_at = card.changed_at = archive::NowText();
  card.created_by = card.changed_by = "Петров";
  return card;
}

archive::Entry TestEntry(const std::string& object_id, const std::string& outcome) {
  archive::Entry entry;
  entry.id = archive::NewId();
  entry.object_id = object_id;
  entry.at = archive::NowText();
  entry.installer = "Петров";
  entry.port = "ttyUSB0";
  entry.command = "Записать";
  entry.outcome = outcome;
  entry.outcome_text = "Данные успешно отправлены";
  entry.settings = OtherSettings();
  return entry;
}

}  // namespace qvx::server
