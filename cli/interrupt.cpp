#include "cli/interrupt.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace qvx::cli {
namespace {

struct State {
  std::atomic<bool> interrupted{false};
  std::mutex mutex;
  std::condition_variable changed;
  int saves = 0;
};

// Never destroyed: the watching thread may still use it while the program exits.
State& Shared() {
  static State* state = new State;
  return *state;
}

// The signals arrive here, in an ordinary thread, rather than in a handler
// that could run in the middle of a worker's write.
void Watch(sigset_t signals) {
  State& state = Shared();
  int signal = 0;
  if (sigwait(&signals, &signal) != 0) return;
  {
    const std::lock_guard lock(state.mutex);
    state.interrupted = true;
  }
  state.changed.notify_all();
  if (sigwait(&signals, &signal) != 0) return;
  std::unique_lock lock(state.mutex);
  state.changed.wait(lock, [&] { return state.saves == 0; });
  std::_Exit(kInterruptedStatus);
}

}  // namespace

void CatchInterrupts() {
  ::signal(SIGPIPE, SIG_IGN);
  sigset_t signals;
  sigemptyset(&signals);
  int caught = 0;
  for (const int signal : {SIGINT, SIGTERM}) {
    // A signal ignored by whoever started us (a background job of a script)
    // stays ignored.
    struct sigaction current {};
    if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN) continue;
    sigaddset(&signals, signal);
    ++caught;
  }
  if (caught == 0) return;
  // Every thread started later inherits the mask, so only Watch sees them.
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  Shared();
  std::thread(Watch, signals).detach();
}

bool Interrupted() {
  return Shared().interrupted.load();
}

SaveInProgress::SaveInProgress() {
  const std::lock_guard lock(Shared().mutex);
  ++Shared().saves;
}

SaveInProgress::~SaveInProgress() {
  State& state = Shared();
  {
    const std::lock_guard lock(state.mutex);
    --state.saves;
  }
  state.changed.notify_all();
}

}  // namespace qvx::cli
