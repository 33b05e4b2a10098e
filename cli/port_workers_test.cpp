#include "cli/port_workers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <atomic>
#include <future>
#include <map>
#include <stdexcept>

namespace qvx::cli {
namespace {

class PortWorkersTest : public ::testing::Test {
 protected:
  int argc_ = 1;
  char name_[16] = "port_workers";
  char* argv_[2] = {name_, nullptr};
  QCoreApplication application_{argc_, argv_};
};

// A worker that throws fails its own port, with the cause, and no other.
TEST_F(PortWorkersTest, AThrowingWorkerFailsOnlyItsPort) {
  const struct {
    std::string port;
    DeviceOutcome outcome;
    std::string cause;
  } expected[] = {
      {"good", DeviceOutcome::Sent, ""},
      {"throws", DeviceOutcome::Failed, "внутренняя ошибка: no memory for the frame"},
      {"throws anything", DeviceOutcome::Failed, "внутренняя ошибка: неизвестное исключение"},
  };
  std::vector<std::string> ports;
  for (const auto& e : expected) ports.push_back(e.port);
  std::map<std::string, DeviceResult> results;
  RunOnEveryPort(
      ports,
      [](const std::string& port) -> DeviceResult {
        if (port == "throws") throw std::runtime_error("no memory for the frame");
        if (port == "throws anything") throw 42;
        DeviceResult result;
        result.port = port;
        result.outcome = DeviceOutcome::Sent;
        return result;
      },
      [&](DeviceResult result) { results[result.port] = std::move(result); });
  ASSERT_EQ(results.size(), std::size(expected));
  for (const auto& e : expected) {
    EXPECT_EQ(results[e.port].outcome, e.outcome) << e.port;
    EXPECT_EQ(results[e.port].cause, e.cause) << e.port;
  }
}

// When the caller's handling of a result throws, the other workers are
// still waited for before the exception goes on: none is destroyed running.
TEST_F(PortWorkersTest, ACallerThatThrowsStillWaitsForEveryWorker) {
  std::promise<void> release;
  const std::shared_future<void> released = release.get_future().share();
  std::atomic<int> ended = 0;
  const auto work = [&](const std::string& port) {
    if (port != "first") released.wait();  // still running when the caller throws
    ++ended;
    DeviceResult result;
    result.port = port;
    return result;
  };
  EXPECT_THROW(RunOnEveryPort({"first", "second", "third"}, work,
                              [&](DeviceResult) {
                                release.set_value();
                                throw std::runtime_error("the terminal is gone");
                              }),
               std::runtime_error);
  EXPECT_EQ(ended.load(), 3);
}

}  // namespace
}  // namespace qvx::cli
