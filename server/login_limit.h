// The limit on login attempts, per name and per address: 5 failures within
// a minute lock the key for a minute, each further failure doubles the
// wait, up to 15 minutes; 30 quiet minutes forget the failures, and a
// success clears a name's. Times are milliseconds since 1970, given by the
// caller, so that the rule is tested without waiting.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "archive/executor.h"

namespace qvx::server {

inline constexpr std::int64_t kFailuresBeforeLock = 5;

enum class LimitKey { Name, Address };

// Seconds the key must still wait (at least 1), or nullopt when it may try.
std::optional<std::int64_t> LoginWait(archive::Executor& executor, LimitKey kind,
                                      const std::string& key, std::int64_t now_ms);

// Counts a failure for the key; returns the failures counted, so that the
// caller knows when this one locks it (kFailuresBeforeLock or more).
std::int64_t CountFailure(archive::Executor& executor, LimitKey kind, const std::string& key,
                          std::int64_t now_ms);

// Forgets the key's failures.
void ClearFailures(archive::Executor& executor, LimitKey kind, const std::string& key);

// Forgets every key whose last failure is long past, so that the table
// holds only the keys that still count.
void ForgetOldFailures(archive::Executor& executor, std::int64_t now_ms);

// The wait after `failures` failures, in milliseconds (0 below the limit).
std::int64_t LockMs(std::int64_t failures);

}  // namespace qvx::server
