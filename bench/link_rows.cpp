#include "bench/link_rows.h"

#include <algorithm>
#include <chrono>
#include <sstream>
#include <stdexcept>

#include "device/console_session.h"
#include "device/qt_serial_port.h"
#include "device/reply.h"
#include "settings/memory_settings.h"
#include "sim/pty_device.h"

namespace qvx::bench {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

double Ms(Clock::duration span) {
  return std::chrono::duration<double, std::milli>(span).count();
}

// The read command's moments, as the console session sees them.
class TimedSession : public device::ConsoleSession {
 public:
  using ConsoleSession::ConsoleSession;

  Clock::time_point window_started, reply_complete, timer_handled, message_shown;
  std::string evaluated;  // ReceiveBuffer as the timer handler found it

  // Asked for every collection; the session itself keeps no timer.
  void StartReceptionTimer(int due_in_ms) override {
    window_started = Clock::now();
    ConsoleSession::StartReceptionTimer(due_in_ms);
  }
  void ProcessEvents() override {
    if (reply_complete == Clock::time_point() &&
        Link().state.ReceiveBuffer.find(":#") != std::string::npos)
      reply_complete = Clock::now();
    ConsoleSession::ProcessEvents();
  }
  // The read loop tells the time after its turn's pause: the first such
  // pause past the window's end is where the evaluation begins.
  void Pause(int milliseconds) override {
    ConsoleSession::Pause(milliseconds);
    const Clock::time_point now = Clock::now();
    if (window_started != Clock::time_point() && timer_handled == Clock::time_point() &&
        now >= window_started + std::chrono::milliseconds(device::kReceptionWindowMs)) {
      timer_handled = now;
      evaluated = Link().state.ReceiveBuffer;
    }
  }
  void ShowMessage(const std::string& text, const std::string& title,
                   device::MessageKind kind) override {
    message_shown = Clock::now();
    ConsoleSession::ShowMessage(text, title, kind);
  }
};

// The real port, noting when each write began and returned.
class TimedPort : public device::QtSerialPort {
 public:
  Clock::time_point request_sent;  // the write of "A5A6" returned

  std::size_t Write(std::string_view bytes) override {
    const Clock::time_point start = Clock::now();
    const std::size_t written = QtSerialPort::Write(bytes);
    writes_.push_back({start, Clock::now()});
    if (bytes == "A5A6") request_sent = writes_.back().second;
    return written;
  }

  // The shortest time from a write's return to the next write, in ms.
  double SmallestPause() const {
    double smallest = 1e9;
    for (std::size_t i = 1; i < writes_.size(); ++i)
      smallest = std::min(smallest, Ms(writes_[i].first - writes_[i - 1].second));
    return smallest;
  }

 private:
  std::vector<std::pair<Clock::time_point, Clock::time_point>> writes_;
};

// The median time of evaluating and applying `received` with nothing around it.
double EvaluationAlone(const std::string& received) {
  MemorySettings settings;
  std::vector<double> times;
  for (int i = 0; i < 201; ++i) {
    const Clock::time_point start = Clock::now();
    device::ApplyReply(settings, device::EvaluateReceiveBuffer(received));
    times.push_back(Ms(Clock::now() - start));
  }
  return Median(times);
}

}  // namespace

std::vector<Row> WritePacingRows(int runs) {
  std::vector<double> spans, gaps, smallest_gaps, smallest_pauses;
  std::size_t pauses = 0;
  for (int run = 0; run < runs; ++run) {
    sim::PtyDevice device;
    TimedPort port;
    MemorySettings settings;
    std::ostringstream out, err;
    device::ConsoleSession session(port, settings, out, err);
    if (session.Write(device.Path()).outcome != device::Outcome::Sent ||
        !device.WaitForFrames(1, 5s))
      throw std::runtime_error("the simulated device did not store the frame: " + err.str());
    const std::vector<sim::TimedByte> bytes = device.Received();
    spans.push_back(Ms(bytes.back().at - bytes.front().at));
    std::vector<double> run_gaps;
    for (std::size_t i = 1; i < bytes.size(); ++i)
      run_gaps.push_back(Ms(bytes[i].at - bytes[i - 1].at));
    smallest_gaps.push_back(*std::min_element(run_gaps.begin(), run_gaps.end()));
    gaps.insert(gaps.end(), run_gaps.begin(), run_gaps.end());
    smallest_pauses.push_back(port.SmallestPause());
    pauses = run_gaps.size();
  }
  const double span = Median(spans), gap = Median(gaps);
  const double least_gap = *std::min_element(smallest_gaps.begin(), smallest_gaps.end());
  const double least_pause = *std::min_element(smallest_pauses.begin(), smallest_pauses.end());
  const double all_pauses = static_cast<double>(pauses);
  return {
      {"write: first to last byte at the device", Milliseconds(span),
       std::to_string(pauses) + " × 1 ms", span / all_pauses, "1.10"},
      {"write: median gap at the device", Milliseconds(gap), "1 ms", gap, ""},
      {"write: smallest gap at the device", Milliseconds(least_gap), "1 ms", least_gap, ""},
      {"write: smallest pause at the port", Milliseconds(least_pause), "1 ms", least_pause, "1.00",
       true},
  };
}

std::vector<Row> ReadRows(int runs) {
  std::vector<double> replies, messages, evaluations, alone;
  sim::SimOptions immediate;
  immediate.reply_delay = 0ms;
  for (int run = 0; run < runs; ++run) {
    sim::PtyDevice device({}, immediate);
    TimedPort port;
    MemorySettings settings;
    std::ostringstream out, err;
    TimedSession session(port, settings, out, err);
    if (session.Read(device.Path()).outcome != device::Outcome::ReadSuccess)
      throw std::runtime_error("the read from the simulated device failed: " + err.str());
    replies.push_back(Ms(session.reply_complete - port.request_sent));
    const auto window_end =
        session.window_started + std::chrono::milliseconds(device::kReceptionWindowMs);
    messages.push_back(Ms(session.message_shown - window_end));
    evaluations.push_back(Ms(session.message_shown - session.timer_handled));
    alone.push_back(EvaluationAlone(session.evaluated));
  }
  const double reply = Median(replies), message = Median(messages);
  const double evaluation = Median(evaluations), by_itself = Median(alone);
  const double read_time = 50, loop_turn = 150;
  return {
      {"read: \"A5A6\" sent to reply complete at the link", Milliseconds(reply),
       "one read of the port, 50 ms", reply / read_time, ""},
      {"read: end of the 2000 ms window to the message", Milliseconds(message),
       "one turn of the read loop, 150 ms", message / loop_turn, "1.00"},
      {"read: evaluation, timer handler to the message", Milliseconds(evaluation),
       "evaluate and apply alone " + Milliseconds(by_itself), evaluation / by_itself, ""},
  };
}

}  // namespace qvx::bench
