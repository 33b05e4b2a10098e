// The login limit, on both databases, with the API's clock moved by hand.
#include <gtest/gtest.h>

#include "server/audit.h"
#include "server/login_limit.h"
#include "server/tests/server_test_fixture.h"

namespace qvx::server {
namespace {

using LoginLimitTest = ServerTest;

std::string RetryAfter(const Response& response) {
  for (const auto& [header, value] : response.headers)
    if (header == "Retry-After") return value;
  return "";
}

TEST(LoginLimit, TheWaitDoublesFromAMinuteUpToAQuarterOfAnHour) {
  const std::pair<std::int64_t, std::int64_t> cases[] = {{0, 0},   {4, 0},   {5, 60},  {6, 120},
                                                         {7, 240}, {8, 480}, {9, 900}, {40, 900}};
  for (const auto& [failures, seconds] : cases)
    EXPECT_EQ(LockMs(failures), seconds * 1000) << failures;
}

TEST_P(LoginLimitTest, FiveFailuresInAMinuteLockTheNameEvenForTheRightPassword) {
  AddUser("Петров", Role::Installer);
  Api api = MakeApi();
  Client client{&api};
  for (int i = 0; i < 5; ++i) {
    ASSERT_EQ(client.Login("Петров", "не тот").status, 401) << i;
    now_ms_ += 1000;
  }
  Response locked = client.Login("Петров", "пароль-123");
  ASSERT_EQ(locked.status, 429);
  EXPECT_EQ(RetryAfter(locked), "59");
  EXPECT_EQ(nlohmann::json::parse(locked.body)["error"],
            "слишком много попыток входа: подождите 59 с");
  // From another address too: the name is locked.
  client.peer = "198.51.100.7";
  EXPECT_EQ(client.Login("Петров", "пароль-123").status, 429);

  now_ms_ += 59'000;
  ASSERT_EQ(client.Login("Петров", "не тот").status, 401);
  locked = client.Login("Петров", "пароль-123");
  EXPECT_EQ(locked.status, 429);
  EXPECT_EQ(RetryAfter(locked), "120") << "doubled by the further failure";
  now_ms_ += 120'000;
  EXPECT_EQ(client.Login("Петров", "пароль-123").status, 200);
  // The success cleared the name: four failures more do not lock it.
  client.peer = "203.0.113.9";
  for (int i = 0; i < 4; ++i) ASSERT_EQ(client.Login("Петров", "не тот").status, 401);
  EXPECT_EQ(client.Login("Петров", "пароль-123").status, 200);
}

TEST_P(LoginLimitTest, FailuresSpreadOverMoreThanAMinuteDoNotLock) {
  AddUser("Петров", Role::Installer);
  Api api = MakeApi();
  Client client{&api};
  for (int i = 0; i < 8; ++i) {
    ASSERT_EQ(client.Login("Петров", "не тот").status, 401) << i;
    now_ms_ += 20'000;
  }
}

TEST_P(LoginLimitTest, OneAddressTryingManyNamesIsLockedForEveryName) {
  AddUser("Петров", Role::Installer);
  Api api = MakeApi();
  Client client{&api};
  for (const char* name : {"а", "б", "в", "г", "д"}) ASSERT_EQ(client.Login(name, "x").status, 401);
  EXPECT_EQ(client.Login("Петров", "пароль-123").status, 429);
  Client other{&api};
  other.peer = "198.51.100.7";
  EXPECT_EQ(other.Login("Петров", "пароль-123").status, 200) << "the name itself is not locked";

  Lease lease = database_->Acquire();
  const std::vector<AuditRecord> audit = ReadAudit(*lease, 3);
  ASSERT_EQ(audit.size(), 3u);
  EXPECT_EQ(audit[1].action, audit_action::kLockout);
  EXPECT_EQ(audit[1].detail, "адрес 192.0.2.10, на 60 с");
}

TEST_P(LoginLimitTest, BehindATrustedProxyTheForwardedAddressCounts) {
  Api api = MakeApi(true);
  Client client{&api};
  client.peer = "127.0.0.1";  // nginx
  for (int i = 0; i < 5; ++i) {
    Request request = client.PostRequest("/api/login", R"({"name":"x","password":"y"})");
    // The client's own claim comes first; the proxy appends what it saw.
    request.headers["x-forwarded-for"] = "10.0.0." + std::to_string(i) + ", 192.0.2.44";
    ASSERT_EQ(api.Handle(request).status, 401);
  }
  Request request = client.PostRequest("/api/login", R"({"name":"z","password":"y"})");
  request.headers["x-forwarded-for"] = "192.0.2.44";
  EXPECT_EQ(api.Handle(request).status, 429);
  request.headers["x-forwarded-for"] = "192.0.2.45";
  EXPECT_EQ(api.Handle(request).status, 401) << "the proxy itself is not locked";
}

INSTANTIATE_TEST_SUITE_P(Both, LoginLimitTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres), BackendName);

}  // namespace
}  // namespace qvx::server
