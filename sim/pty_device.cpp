#include "sim/pty_device.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace qvx::sim {

namespace {

[[noreturn]] void Fail(const char* what) {
  throw std::system_error(errno, std::generic_category(), what);
}

// How often a closed line is looked at again for a new opener.
constexpr int kIdlePollMs = 10;

int MillisecondsUntil(Clock::time_point due) {
  if (due == Clock::time_point::max()) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// Sets the line raw (no echo, no line editing, no CR/LF translation) for
// whoever opens it; the settings stay with the pseudo-terminal.
void MakeRaw(const std::string& path) {
  const int slave = open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (slave < 0) Fail("open pseudo-terminal");
  termios line{};
  if (tcgetattr(slave, &line) == 0) {
    cfmakeraw(&line);
    cfsetispeed(&line, B57600);
    cfsetospeed(&line, B57600);
    tcsetattr(slave, TCSANOW, &line);
  }
  close(slave);
}

}  // namespace

PtyDevice::PtyDevice(MemorySettings settings, SimOptions options, LogSink sink)
    : sink_(std::move(sink)),
      core_(std::move(settings), options, [this](const LogEntry& entry) { Record(entry); }) {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) Fail("posix_openpt");
  if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
    close(master_);
    Fail("unlockpt");
  }
  const char* name = ptsname(master_);
  if (!name) {
    close(master_);
    Fail("ptsname");
  }
  path_ = name;
  try {
    MakeRaw(path_);
  } catch (...) {
    close(master_);
    throw;
  }
  fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
  if (pipe2(wake_, O_CLOEXEC | O_NONBLOCK) != 0) {
    close(master_);
    Fail("pipe");
  }
  thread_ = std::thread([this] { Serve(); });
}

PtyDevice::~PtyDevice() {
  Stop();
}

void PtyDevice::Record(const LogEntry& entry) {
  if (entry.kind == LogEntry::Kind::In) received_.push_back({entry.at, entry.byte});
  if (entry.kind == LogEntry::Kind::Note) notes_.push_back(entry.text);
  if (sink_) sink_(entry);
}

void PtyDevice::Serve() {
  bool dirty = false;  // the opener may have left unread bytes on the line
  for (;;) {
    Clock::time_point next;
    {
      std::lock_guard lock(mutex_);
      if (stop_) return;
      if (hangup_requested_) break;
      next = core_.NextDue();
    }
    pollfd fds[2] = {{master_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (poll(fds, 2, MillisecondsUntil(next)) < 0 && errno != EINTR) break;
    if (fds[1].revents) {
      char drain[16];
      while (read(wake_[0], drain, sizeof drain) > 0) {
      }
      continue;
    }
    if (fds[0].revents & POLLIN) {
      char bytes[4096];
      const ssize_t count = read(master_, bytes, sizeof bytes);
      if (count > 0) {
        std::lock_guard lock(mutex_);
        core_.Receive(std::string_view(bytes, static_cast<std::size_t>(count)), Clock::now());
        dirty = true;
        changed_.notify_all();
      }
    } else if (fds[0].revents & (POLLHUP | POLLERR)) {
      // Nobody has the port open: start the next opener on a clean line.
      {
        std::lock_guard lock(mutex_);
        core_.DropPending();
      }
      if (dirty) LineWentDown();
      dirty = false;
      pollfd wake = {wake_[0], POLLIN, 0};
      poll(&wake, 1, kIdlePollMs);
      continue;
    }
    std::vector<Emission> due;
    bool hang_up = false;
    {
      std::lock_guard lock(mutex_);
      due = core_.TakeDue(Clock::now());
      hang_up = core_.HungUp();
    }
    for (const Emission& emission : due) Send(emission.bytes);
    if (!due.empty()) dirty = true;
    if (hang_up) break;
  }
  std::lock_guard lock(mutex_);
  CloseMaster();
  hung_up_ = true;
  changed_.notify_all();
}

void PtyDevice::LineWentDown() {
  const int slave = open(path_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (slave < 0) return;
  tcflush(slave, TCIFLUSH);
  close(slave);
}

void PtyDevice::Send(const std::string& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    pollfd line = {master_, POLLOUT, 0};
    poll(&line, 1, 100);
    {
      std::lock_guard lock(mutex_);
      if (stop_ || hangup_requested_) return;
    }
    if (line.revents & POLLHUP) return;  // closed meanwhile: the bytes are lost, as on a wire
    const ssize_t count = write(master_, bytes.data() + sent, bytes.size() - sent);
    if (count > 0) {
      sent += static_cast<std::size_t>(count);
    } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
      return;
    }
  }
}

void PtyDevice::CloseMaster() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

void PtyDevice::Wake() {
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = write(wake_[1], &byte, 1);
}

std::vector<TimedByte> PtyDevice::Received() const {
  std::lock_guard lock(mutex_);
  return received_;
}

std::string PtyDevice::ReceivedText() const {
  std::lock_guard lock(mutex_);
  std::string text;
  for (const TimedByte& byte : received_) text += static_cast<char>(byte.byte);
  return text;
}

void PtyDevice::ClearReceived() {
  std::lock_guard lock(mutex_);
  received_.clear();
}

bool PtyDevice::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return received_.size() >= count; });
}

std::vector<std::string> PtyDevice::Notes() const {
  std::lock_guard lock(mutex_);
  return notes_;
}

MemorySettings PtyDevice::Settings() const {
  std::lock_guard lock(mutex_);
  return core_.Settings();
}

void PtyDevice::SetSettings(const MemorySettings& settings) {
  std::lock_guard lock(mutex_);
  core_.SetSettings(settings);
}

void PtyDevice::SetOptions(const SimOptions& options) {
  std::lock_guard lock(mutex_);
  core_.SetOptions(options);
}

int PtyDevice::RequestsAnswered() const {
  std::lock_guard lock(mutex_);
  return core_.RequestsAnswered();
}

int PtyDevice::FramesStored() const {
  std::lock_guard lock(mutex_);
  return core_.FramesStored();
}

int PtyDevice::FramesRefused() const {
  std::lock_guard lock(mutex_);
  return core_.FramesRefused();
}

bool PtyDevice::WaitForFrames(int count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout,
                           [&] { return core_.FramesStored() + core_.FramesRefused() >= count; });
}

void PtyDevice::HangUp() {
  {
    std::lock_guard lock(mutex_);
    hangup_requested_ = true;
  }
  Wake();
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [&] { return hung_up_ || stop_; });
}

bool PtyDevice::HungUp() const {
  std::lock_guard lock(mutex_);
  return hung_up_;
}

void PtyDevice::Stop() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  Wake();
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  CloseMaster();
  for (int& end : wake_) {
    if (end >= 0) close(end);
    end = -1;
  }
}

}  // namespace qvx::sim
