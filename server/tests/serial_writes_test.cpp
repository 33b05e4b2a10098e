#include "server/serial_writes.h"

#include <gtest/gtest.h>

#include <future>

#include "archive/archive_error.h"

namespace qvx::server {
namespace {

// Records statements; fails the ones named in `failing`.
class Recorder : public archive::Executor {
 public:
  std::vector<archive::Row> Run(const archive::Statement& statement) override {
    if (statement.sql == failing) throw archive::ArchiveError(archive::Failure::Other, "нет");
    return {};
  }
  std::string failing;
};

archive::Failure FailureOf(archive::Executor& executor, const std::string& sql) {
  try {
    executor.Run({sql, {}});
  } catch (const archive::ArchiveError& error) {
    return error.failure();
  }
  return archive::Failure::Other;
}

// The result of `run`, run on a thread of its own: a thread may not try a
// mutex it holds, and each connection serves one thread at a time.
template <typename Run>
auto Elsewhere(Run run) {
  return std::async(std::launch::async, run).get();
}

TEST(SerialWrites, OneWriterAtATimeUntilItsTransactionEndsHoweverItEnds) {
  std::timed_mutex writers;
  auto first_inner = std::make_unique<Recorder>();
  Recorder* first_recorder = first_inner.get();
  SerialWrites first(std::move(first_inner), writers, std::chrono::milliseconds(0));
  SerialWrites second(std::make_unique<Recorder>(), writers, std::chrono::milliseconds(0));

  first.Run({"BEGIN IMMEDIATE", {}});
  EXPECT_EQ(Elsewhere([&] { return FailureOf(second, "BEGIN IMMEDIATE"); }),
            archive::Failure::Busy);
  Elsewhere([&] { return second.Run({"SELECT 1", {}}); });  // reading needs no turn
  first.Run({"COMMIT", {}});
  Elsewhere([&] {
    second.Run({"BEGIN IMMEDIATE", {}});
    return second.Run({"ROLLBACK", {}});
  });

  // A failed COMMIT keeps the turn until the ROLLBACK that follows it.
  first.Run({"BEGIN IMMEDIATE", {}});
  first_recorder->failing = "COMMIT";
  EXPECT_EQ(FailureOf(first, "COMMIT"), archive::Failure::Other);
  EXPECT_EQ(Elsewhere([&] { return FailureOf(second, "BEGIN IMMEDIATE"); }),
            archive::Failure::Busy);
  first_recorder->failing = "ROLLBACK";
  EXPECT_EQ(FailureOf(first, "ROLLBACK"), archive::Failure::Other);
  Elsewhere([&] {
    second.Run({"BEGIN IMMEDIATE", {}});
    return second.Run({"COMMIT", {}});
  });

  // A BEGIN the database refuses holds nothing.
  first_recorder->failing = "BEGIN IMMEDIATE";
  EXPECT_EQ(FailureOf(first, "BEGIN IMMEDIATE"), archive::Failure::Other);
  Elsewhere([&] {
    second.Run({"BEGIN IMMEDIATE", {}});
    return second.Run({"COMMIT", {}});
  });
}

}  // namespace
}  // namespace qvx::server
