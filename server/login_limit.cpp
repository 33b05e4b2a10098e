#include "server/login_limit.h"

#include <algorithm>

#include "server/rows.h"

namespace qvx::server {
namespace {

constexpr std::int64_t kWindowMs = 60'000;
constexpr std::int64_t kFirstLockMs = 60'000;
constexpr std::int64_t kLongestLockMs = 15 * 60'000;
constexpr std::int64_t kForgetMs = 30 * 60'000;

const char* KindText(LimitKey kind) {
  return kind == LimitKey::Name ? "name" : "address";
}

}  // namespace

std::int64_t LockMs(std::int64_t failures) {
  if (failures < kFailuresBeforeLock) return 0;
  std::int64_t lock = kFirstLockMs;
  for (std::int64_t i = kFailuresBeforeLock; i < failures && lock < kLongestLockMs; ++i) lock *= 2;
  return std::min(lock, kLongestLockMs);
}

std::optional<std::int64_t> LoginWait(archive::Executor& executor, LimitKey kind,
                                      const std::string& key, std::int64_t now_ms) {
  const auto rows =
      executor.Run({"SELECT failures, last_at FROM login_failures WHERE kind = ? AND key = ?",
                    {std::string(KindText(kind)), key}});
  if (rows.empty()) return std::nullopt;
  const std::int64_t until = IntegerAt(rows[0], 1) + LockMs(IntegerAt(rows[0], 0));
  if (until <= now_ms) return std::nullopt;
  return (until - now_ms + 999) / 1000;
}

std::int64_t CountFailure(archive::Executor& executor, LimitKey kind, const std::string& key,
                          std::int64_t now_ms) {
  // One statement, so that two failures at once both count on either database.
  const std::string window = std::to_string(kWindowMs), forget = std::to_string(kForgetMs),
                    limit = std::to_string(kFailuresBeforeLock);
  const std::string restart = "(login_failures.failures < " + limit +
                              " AND excluded.last_at - login_failures.window_start > " + window +
                              ") OR excluded.last_at - login_failures.last_at > " + forget;
  return OnlyInteger(
      executor.Run({"INSERT INTO login_failures (kind, key, failures, window_start, last_at)"
                    " VALUES (?, ?, 1, ?, ?) ON CONFLICT (kind, key) DO UPDATE SET"
                    " failures = CASE WHEN " +
                        restart + " THEN 1 ELSE login_failures.failures + 1 END," +
                        " window_start = CASE WHEN " + restart +
                        " THEN excluded.window_start ELSE login_failures.window_start END,"
                        " last_at = excluded.last_at RETURNING failures",
                    {std::string(KindText(kind)), key, now_ms, now_ms}}));
}

void ForgetOldFailures(archive::Executor& executor, std::int64_t now_ms) {
  executor.Run({"DELETE FROM login_failures WHERE last_at < ?", {now_ms - kForgetMs}});
}

void ClearFailures(archive::Executor& executor, LimitKey kind, const std::string& key) {
  executor.Run({"DELETE FROM login_failures WHERE kind = ? AND key = ?",
                {std::string(KindText(kind)), key}});
}

}  // namespace qvx::server
