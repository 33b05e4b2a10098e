#include "cli/port_workers.h"

#include <QThread>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace qvx::cli {
namespace {

DeviceResult FailedOn(const std::string& port, const std::string& why) {
  DeviceResult result;
  result.port = port;
  result.outcome = DeviceOutcome::Failed;
  result.cause = "внутренняя ошибка: " + why;
  result.failure = result.cause + "\n";
  return result;
}

// The threads, waited for however the caller leaves.
class Workers {
 public:
  ~Workers() {
    for (const auto& worker : threads_) worker->wait();
  }
  void Add(QThread* worker) { threads_.emplace_back(worker); }

 private:
  std::vector<std::unique_ptr<QThread>> threads_;
};

}  // namespace

void RunOnEveryPort(const std::vector<std::string>& ports,
                    const std::function<DeviceResult(const std::string&)>& work,
                    const std::function<void(DeviceResult)>& finished) {
  std::mutex mutex;
  std::condition_variable finished_one;
  std::deque<DeviceResult> done;  // outlives the threads that fill it
  const auto deliver = [&](DeviceResult result) {
    {
      const std::lock_guard lock(mutex);
      done.push_back(std::move(result));
    }
    finished_one.notify_one();
  };
  Workers workers;
  for (const std::string& port : ports) {
    // A QThread, not a bare thread: it has the dispatcher the real port needs.
    QThread* worker = QThread::create([&, port] {
      DeviceResult result;
      try {
        result = work(port);
      } catch (const std::exception& error) {
        result = FailedOn(port, error.what());
      } catch (...) {
        result = FailedOn(port, "неизвестное исключение");
      }
      deliver(std::move(result));
    });
    workers.Add(worker);
    worker->start();
    if (!worker->isRunning() && !worker->isFinished())
      deliver(FailedOn(port, "не удалось запустить поток"));
  }
  for (std::size_t received = 0; received < ports.size(); ++received) {
    std::unique_lock lock(mutex);
    finished_one.wait(lock, [&] { return !done.empty(); });
    DeviceResult result = std::move(done.front());
    done.pop_front();
    lock.unlock();
    finished(std::move(result));
  }
}

}  // namespace qvx::cli
