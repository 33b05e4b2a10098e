// The interface's sessions, checks and roles, on both databases, without
// sockets.
#include <gtest/gtest.h>

#include "archive/records_json.h"
#include "server/audit.h"
#include "server/tests/server_test_fixture.h"

namespace qvx::server {
namespace {

using ApiTest = ServerTest;

std::string HeaderOf(const Response& response, const std::string& name) {
  for (const auto& [header, value] : response.headers)
    if (header == name) return value;
  return "";
}

nlohmann::json SyncBody(const std::vector<archive::Card>& cards,
                        const std::vector<archive::Entry>& entries, std::int64_t base = 0) {
  nlohmann::ordered_json body = {{"cursor", 0},
                                 {"cards", nlohmann::ordered_json::array()},
                                 {"entries", nlohmann::ordered_json::array()}};
  for (const archive::Card& card : cards)
    body["cards"].push_back({{"card", archive::CardJson(card)}, {"base", base}});
  for (const archive::Entry& entry : entries) body["entries"].push_back(archive::EntryJson(entry));
  return nlohmann::json::parse(body.dump());
}

TEST_P(ApiTest, LoginGivesAStrictHttpOnlyCookieAndTheSessionItsKey) {
  AddUser("Петров", Role::Senior);
  Api api = MakeApi();
  Client client{&api};
  const Response login = client.Login("Петров", "пароль-123");
  ASSERT_EQ(login.status, 200) << login.body;
  const std::string cookie = HeaderOf(login, "Set-Cookie");
  EXPECT_NE(cookie.find("; Path=/; HttpOnly; SameSite=Strict; Max-Age=43200"), std::string::npos);
  EXPECT_EQ(cookie.find("Secure"), std::string::npos) << "no TLS here";
  EXPECT_EQ(BodyOf(login)["role"], "senior");
  const Response session = client.Get("/api/session");
  ASSERT_EQ(session.status, 200);
  EXPECT_EQ(BodyOf(session)["name"], "Петров");
  EXPECT_EQ(BodyOf(session)["csrf"], client.csrf);

  // The database keeps a hash of the token, never the token.
  const std::string token = client.cookie.substr(client.cookie.find('=') + 1);
  Lease lease = database_->Acquire();
  const auto rows = lease->Run({"SELECT token_hash FROM sessions", {}});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NE(std::get<std::string>(rows[0][0]), token);
}

TEST_P(ApiTest, SecureCookieUnderTlsAndBehindATrustedHttpsProxyOnly) {
  AddUser("Петров", Role::Installer);
  Api direct = MakeApi();
  Client tls{&direct};
  Request request = tls.PostRequest("/api/login", R"({"name":"Петров","password":"пароль-123"})");
  request.tls = true;
  request.headers["origin"] = "https://" + tls.host;
  EXPECT_NE(HeaderOf(direct.Handle(request), "Set-Cookie").find("; Secure"), std::string::npos);

  // A client's own X-Forwarded-Proto means nothing without --trust-proxy.
  request = tls.PostRequest("/api/login", R"({"name":"Петров","password":"пароль-123"})");
  request.headers["x-forwarded-proto"] = "https";
  request.headers["origin"] = "https://" + tls.host;
  EXPECT_EQ(direct.Handle(request).status, 403);

  Api proxied = MakeApi(true);
  EXPECT_NE(HeaderOf(proxied.Handle(request), "Set-Cookie").find("; Secure"), std::string::npos);
}

TEST_P(ApiTest, UnknownNameAndWrongPasswordGetTheSameAnswer) {
  AddUser("Петров", Role::Installer);
  Api api = MakeApi();
  Client client{&api};
  const Response unknown = client.Login("Сидоров", "пароль-123");
  const Response wrong = client.Login("Петров", "пароль-124");
  EXPECT_EQ(unknown.status, 401);
  EXPECT_EQ(unknown.status, wrong.status);
  EXPECT_EQ(unknown.body, wrong.body);
  EXPECT_EQ(unknown.headers, wrong.headers);
  EXPECT_TRUE(client.cookie.empty());
}

TEST_P(ApiTest, RequestsWithoutSessionFromAnotherOriginOrWithAWrongKeyAreRefused) {
  AddUser("Петров", Role::Admin);
  Api api = MakeApi();
  Client client{&api};
  ASSERT_EQ(client.Login("Петров", "пароль-123").status, 200);
  const std::string sync = SyncBody({}, {}).dump();
  struct Case {
    std::string name;
    void (*change)(Request&);
    int status;
    std::string error;
  };
  const Case cases[] = {
      {"as the page sends it", [](Request&) {}, 200, ""},
      {"no cookie", [](Request& r) { r.headers.erase("cookie"); }, 401, "войдите в систему"},
      {"a made-up session",
       [](Request& r) { r.headers["cookie"] = "qvx_session=" + std::string(64, 'a'); }, 401,
       "войдите в систему"},
      {"another origin", [](Request& r) { r.headers["origin"] = "http://evil.example"; }, 403,
       "запрос отклонён: чужой источник"},
      {"no origin", [](Request& r) { r.headers.erase("origin"); }, 403,
       "запрос отклонён: чужой источник"},
      {"https origin to http",
       [](Request& r) { r.headers["origin"] = "https://" + r.headers["host"]; }, 403,
       "запрос отклонён: чужой источник"},
      {"no key", [](Request& r) { r.headers.erase("x-quorvex-token"); }, 403,
       "запрос отклонён: неверный ключ сеанса"},
      {"a wrong key", [](Request& r) { r.headers["x-quorvex-token"] += "0"; }, 403,
       "запрос отклонён: неверный ключ сеанса"},
      {"another session's key",
       [](Request& r) { r.headers["x-quorvex-token"] = std::string(64, '0'); }, 403,
       "запрос отклонён: неверный ключ сеанса"},
  };
  for (const Case& c : cases) {
    Request request = client.PostRequest("/api/sync", sync);
    c.change(request);
    const Response response = api.Handle(request);
    EXPECT_EQ(response.status, c.status) << c.name << ": " << response.body;
    if (!c.error.empty()) {
      EXPECT_EQ(BodyOf(response)["error"], c.error) << c.name;
    }
  }
  // Reading needs a session too, but no origin.
  Client stranger{&api};
  EXPECT_EQ(stranger.Get("/api/objects").status, 401);
  EXPECT_EQ(stranger.Get("/api/session").status, 401);
  EXPECT_EQ(client.Get("/api/objects").status, 200);
}

TEST_P(ApiTest, LogoutEndsTheSessionAndClearsTheCookie) {
  AddUser("Петров", Role::Installer);
  Api api = MakeApi();
  Client client{&api};
  ASSERT_EQ(client.Login("Петров", "пароль-123").status, 200);
  Client copy = client;
  const Response out = client.Post("/api/logout", nlohmann::json::object());
  EXPECT_EQ(out.status, 204);
  EXPECT_NE(HeaderOf(out, "Set-Cookie").find("qvx_session=; "), std::string::npos);
  EXPECT_NE(HeaderOf(out, "Set-Cookie").find("Max-Age=0"), std::string::npos);
  EXPECT_EQ(copy.Get("/api/session").status, 401) << "the old cookie opens nothing";
}

TEST_P(ApiTest, SessionsEndAfterTwelveHoursAndWithANewPasswordOrARemovedAccount) {
  AddUser("Петров", Role::Installer);
  AddUser("Сидоров", Role::Installer);
  Api api = MakeApi();
  Client petrov{&api}, sidorov{&api};
  ASSERT_EQ(petrov.Login("Петров", "пароль-123").status, 200);
  ASSERT_EQ(sidorov.Login("Сидоров", "пароль-123").status, 200);
  now_ms_ += kSessionSeconds * 1000 - 1;
  EXPECT_EQ(petrov.Get("/api/session").status, 200);
  now_ms_ += 1;
  EXPECT_EQ(petrov.Get("/api/session").status, 401);

  ASSERT_EQ(petrov.Login("Петров", "пароль-123").status, 200);
  ASSERT_EQ(sidorov.Login("Сидоров", "пароль-123").status, 200);
  {
    Lease lease = database_->Acquire();
    ASSERT_TRUE(
        SetPasswordHash(*lease, "Петров", HashPassword("новый-пароль", PasswordCost::Least())));
    ASSERT_TRUE(RemoveAccount(*lease, "Сидоров"));
  }
  EXPECT_EQ(petrov.Get("/api/session").status, 401);
  EXPECT_EQ(sidorov.Get("/api/session").status, 401);
  EXPECT_EQ(petrov.Login("Петров", "пароль-123").status, 401);
  EXPECT_EQ(petrov.Login("Петров", "новый-пароль").status, 200);
  EXPECT_EQ(sidorov.Login("Сидоров", "пароль-123").status, 401);
}

TEST_P(ApiTest, EachRoleReachesOnlyItsCalls) {
  AddUser("монтажник", Role::Installer);
  AddUser("старший", Role::Senior);
  AddUser("админ", Role::Admin);
  Api api = MakeApi();
  struct Case {
    std::string user;
    std::string path;
    int status;
  };
  const Case cases[] = {
      {"монтажник", "/api/users", 403},   {"монтажник", "/api/audit", 403},
      {"старший", "/api/users", 403},     {"старший", "/api/audit", 403},
      {"админ", "/api/users", 200},       {"админ", "/api/audit", 200},
      {"монтажник", "/api/objects", 200},
  };
  for (const Case& c : cases) {
    Client client{&api};
    ASSERT_EQ(client.Login(c.user, "пароль-123").status, 200);
    const Response response = client.Get(c.path);
    EXPECT_EQ(response.status, c.status) << c.user << " " << c.path;
    if (c.status == 403) {
      EXPECT_EQ(BodyOf(response)["error"], "недостаточно прав");
    }
  }
  Client admin{&api};
  ASSERT_EQ(admin.Login("админ", "пароль-123").status, 200);
  const nlohmann::json users = BodyOf(admin.Get("/api/users"));
  ASSERT_EQ(users.size(), 3u);
  EXPECT_EQ(users[0], (nlohmann::json{{"name", "админ"}, {"role", "admin"}}));
}

TEST_P(ApiTest, AnInstallerCreatesAndJournalsButChangesACardOnlyThroughTheJournal) {
  AddUser("монтажник", Role::Installer);
  AddUser("старший", Role::Senior);
  Api api = MakeApi();
  Client installer{&api}, senior{&api};
  ASSERT_EQ(installer.Login("монтажник", "пароль-123").status, 200);
  ASSERT_EQ(senior.Login("старший", "пароль-123").status, 200);
  archive::Card card = TestCard("17");
  ASSERT_EQ(installer.Post("/api/sync", SyncBody({card}, {})).status, 200);

  const auto next = [](archive::Card c) {
    c.version += 1;
    c.changed_at = archive::NowText();
    return c;
  };
  // A new name, a deletion, new settings nothing journaled: beyond the role.
  archive::Card renamed = next(card);
  renamed.name = "Сидоров";
  archive::Card deleted = next(card);
  deleted.deleted = true;
  archive::Card unjournaled = next(card);
  unjournaled.settings = OtherSettings();
  for (const archive::Card& change : {renamed, deleted, unjournaled}) {
    const Response refused = installer.Post("/api/sync", SyncBody({change}, {}, card.version));
    EXPECT_EQ(refused.status, 403) << refused.body;
  }
  // A new version with nothing of the identity or settings changed is no change of them.
  const archive::Card touched = next(card);
  ASSERT_EQ(installer.Post("/api/sync", SyncBody({touched}, {}, card.version)).status, 200);
  card = touched;
  // The settings a write journaled under the object: taken, with the entry.
  archive::Card written = next(card);
  written.settings = OtherSettings();
  const archive::Entry entry = TestEntry(card.id);
  const Response taken = installer.Post("/api/sync", SyncBody({written}, {entry}, card.version));
  ASSERT_EQ(taken.status, 200) << taken.body;
  EXPECT_TRUE(BodyOf(taken)["conflicts"].empty());

  // The senior renames and deletes.
  archive::Card by_senior = next(written);
  by_senior.name = "Сидоров";
  by_senior.deleted = true;
  const Response changed = senior.Post("/api/sync", SyncBody({by_senior}, {}, written.version));
  ASSERT_EQ(changed.status, 200) << changed.body;
  const nlohmann::json one = BodyOf(installer.Get("/api/objects/17"));
  EXPECT_EQ(one["card"]["name"], "Сидоров");
  EXPECT_EQ(one["card"]["deleted"], true);
  EXPECT_EQ(one["journal"].size(), 1u);
}

TEST_P(ApiTest, TheAuditKeepsEveryChangeButNoPasswordTokenOrSettings) {
  AddUser("админ", Role::Admin);
  Api api = MakeApi();
  Client admin{&api}, intruder{&api};
  ASSERT_EQ(intruder.Login("админ", "секрет-неверный").status, 401);
  ASSERT_EQ(admin.Login("админ", "пароль-123").status, 200);
  archive::Card card = TestCard("42", "ООО «Ромашка»");
  card.settings = OtherSettings();
  ASSERT_EQ(admin.Post("/api/sync", SyncBody({card}, {TestEntry(card.id), TestEntry("")})).status,
            200);
  archive::Card deleted = card;
  deleted.version = 2;
  deleted.deleted = true;
  ASSERT_EQ(admin.Post("/api/sync", SyncBody({deleted}, {}, 1)).status, 200);

  const Response audit = admin.Get("/api/audit", {{"limit", "50"}});
  ASSERT_EQ(audit.status, 200);
  const nlohmann::json records = BodyOf(audit);
  std::vector<std::string> actions;
  for (const nlohmann::json& record : records) actions.push_back(record["action"]);
  const std::vector<std::string> expected = {audit_action::kCardDeleted, audit_action::kCardCreated,
                                             audit_action::kEntries, audit_action::kLogin,
                                             audit_action::kLoginFailed};
  EXPECT_EQ(actions, expected);
  EXPECT_EQ(records[0]["object"], "42");
  EXPECT_EQ(records[0]["user"], "админ");
  EXPECT_EQ(records[2]["detail"], "2");
  EXPECT_EQ(records[4]["user"], "админ");
  EXPECT_EQ(records[4]["detail"], "адрес 192.0.2.10");
  const std::string everything = audit.body;
  const std::string token = admin.cookie.substr(admin.cookie.find('=') + 1);
  for (const std::string& secret : {std::string("пароль-123"), std::string("секрет-неверный"),
                                    token, admin.csrf, std::string("916")})
    EXPECT_EQ(everything.find(secret), std::string::npos) << secret;
  EXPECT_EQ(BodyOf(admin.Get("/api/audit", {{"limit", "1"}})).size(), 1u);
  EXPECT_EQ(admin.Get("/api/audit", {{"limit", "-1"}}).status, 400);
  EXPECT_EQ(admin.Get("/api/audit", {{"limit", "1; DROP TABLE audit"}}).status, 400);
}

TEST_P(ApiTest, SqlMetacharactersInEveryTextFieldAreKeptAsText) {
  const std::string nasty = "'; DROP TABLE objects; -- \" \\ % _ \\' ''";
  AddUser(nasty, Role::Admin);
  Api api = MakeApi();
  Client client{&api};
  ASSERT_EQ(client.Login(nasty, nasty).status, 401);
  ASSERT_EQ(client.Login(nasty, "пароль-123").status, 200);
  archive::Card card = TestCard(nasty, nasty);
  card.address = nasty;
  card.phone = nasty;
  card.note = nasty;
  card.created_by = card.changed_by = nasty;
  archive::Entry entry = TestEntry(card.id);
  entry.installer = entry.port = entry.command = entry.outcome_text = nasty;
  const Response sync = client.Post("/api/sync", SyncBody({card}, {entry}));
  ASSERT_EQ(sync.status, 200) << sync.body;

  const nlohmann::json one = BodyOf(client.Get("/api/objects/" + nasty));
  EXPECT_EQ(archive::CardFromJson(one["card"]), card);
  ASSERT_EQ(one["journal"].size(), 1u);
  EXPECT_EQ(archive::EntryFromJson(one["journal"][0]), entry);

  // The search's own wildcards match only themselves.
  archive::Card plain = TestCard("18", "Плохой");
  ASSERT_EQ(client.Post("/api/sync", SyncBody({plain}, {})).status, 200);
  struct Case {
    std::string search;
    std::size_t found;
  };
  const Case cases[] = {{"%", 1},  {"_", 1},        {"\\", 1},  {"'", 1},
                        {"\"", 1}, {"%'; DROP", 0}, {nasty, 1}, {"", 2}};
  for (const Case& c : cases) {
    const Response found = client.Get("/api/objects", {{"search", c.search}});
    ASSERT_EQ(found.status, 200) << c.search;
    EXPECT_EQ(BodyOf(found)["objects"].size(), c.found) << c.search;
  }
  EXPECT_EQ(client.Get("/api/objects", {{"search", std::string("a\0b", 3)}}).status, 400);
  EXPECT_EQ(client.Get("/api/objects", {{"search", "\xff"}}).status, 400);
  EXPECT_EQ(BodyOf(client.Get("/api/users"))[0]["name"], nasty);
  EXPECT_EQ(BodyOf(client.Get("/api/audit"))[0]["object"], "18");
}

TEST_P(ApiTest, ObjectsListWithoutSettingsNewestFirstAndOneObjectWithItsJournal) {
  AddUser("старший", Role::Senior);
  Api api = MakeApi();
  Client client{&api};
  ASSERT_EQ(client.Login("старший", "пароль-123").status, 200);
  archive::Card first = TestCard("1", "Первый");
  archive::Card second = TestCard("2", "Второй");
  second.changed_at = "2099-01-01T00:00:00.000Z";
  archive::Card gone = TestCard("3", "Третий");
  gone.deleted = true;
  archive::Entry older = TestEntry(first.id), newer = TestEntry(first.id);
  older.at = "2026-01-01T00:00:00.000Z";
  newer.at = "2026-02-01T00:00:00.000Z";
  ASSERT_EQ(client.Post("/api/sync", SyncBody({first, second, gone}, {newer, older})).status, 200);

  const nlohmann::json list = BodyOf(client.Get("/api/objects"));
  ASSERT_EQ(list["objects"].size(), 2u);
  EXPECT_EQ(list["objects"][0]["number"], "2");
  EXPECT_FALSE(list["objects"][0].contains("settings"));
  EXPECT_EQ(list["more"], 0);
  const nlohmann::json deleted = BodyOf(client.Get("/api/objects", {{"deleted", "1"}}));
  ASSERT_EQ(deleted["objects"].size(), 1u);
  EXPECT_EQ(deleted["objects"][0]["number"], "3");
  EXPECT_EQ(BodyOf(client.Get("/api/objects", {{"search", "916 123"}}))["objects"].size(), 0u);

  const nlohmann::json one = BodyOf(client.Get("/api/objects/1"));
  ASSERT_EQ(one["journal"].size(), 2u);
  EXPECT_EQ(one["journal"][0]["id"], older.id);
  const Response missing = client.Get("/api/objects/99");
  EXPECT_EQ(missing.status, 404);
  EXPECT_EQ(BodyOf(missing)["error"], "нет объекта с номером 99");
}

TEST_P(ApiTest, MalformedRequestsAreRefusedWholeWithTheirCause) {
  AddUser("старший", Role::Senior);
  Api api = MakeApi();
  Client client{&api};
  ASSERT_EQ(client.Login("старший", "пароль-123").status, 200);
  archive::Card bad = TestCard("5");
  nlohmann::json body = SyncBody({TestCard("4")}, {TestEntry("")});
  nlohmann::json bad_card = nlohmann::json::parse(archive::CardJson(bad).dump());
  bad_card["settings"] = "не настройки";
  body["cards"].push_back({{"card", bad_card}, {"base", 0}});
  const Response refused = client.Post("/api/sync", body);
  EXPECT_EQ(refused.status, 400);
  EXPECT_EQ(BodyOf(refused)["error"], "неверный запрос: настройки объекта не читаются");
  EXPECT_EQ(BodyOf(client.Get("/api/objects"))["objects"].size(), 0u) << "nothing half-written";

  for (const std::string& text :
       {std::string("{"), std::string("[]"), std::string("{\"cursor\":-1}"),
        std::string(R"({"cursor":0,"cards":{},"entries":[]})")})
    EXPECT_EQ(client.Raw(client.PostRequest("/api/sync", text)).status, 400) << text;
  EXPECT_EQ(client.Get("/api/sync").status, 405);
  EXPECT_EQ(client.Get("/api/nothing").status, 404);
}

INSTANTIATE_TEST_SUITE_P(Both, ApiTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         BackendName);

}  // namespace
}  // namespace qvx::server
