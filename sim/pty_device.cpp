#include "sim/pty_device.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace qvx::sim {

namespace {

int MillisecondsUntil(Clock::time_point due) {
  if (due == Clock::time_point::max()) return -1;
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(due - Clock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 60'000));
}

// Raw line (no echo, no line editing, no CR/LF translation) for whoever
// opens it; the settings stay with the pseudo-terminal.
void MakeRaw(int slave) {
  termios line{};
  if (tcgetattr(slave, &line) != 0) return;
  cfmakeraw(&line);
  cfsetispeed(&line, B57600);
  cfsetospeed(&line, B57600);
  tcsetattr(slave, TCSANOW, &line);
}

[[noreturn]] void Fail(int error, const char* what) {
  throw std::system_error(error, std::generic_category(), what);
}

}  // namespace

PtyDevice::PtyDevice(MemorySettings settings, SimOptions options, LogSink sink)
    : sink_(std::move(sink)),
      core_(std::move(settings), options, [this](const LogEntry& entry) { Record(entry); }) {
  // Every descriptor is owned as soon as it is had, so a throw closes them all.
  master_.Reset(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!master_.Valid() || grantpt(master_.Get()) != 0 || unlockpt(master_.Get()) != 0)
    Fail(errno, "pseudo-terminal");
  char name[128];
  if (const int error = ptsname_r(master_.Get(), name, sizeof name); error != 0)
    Fail(error, "pseudo-terminal");
  path_ = name;
  slave_.Reset(open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
  if (!slave_.Valid()) Fail(errno, "open pseudo-terminal");
  MakeRaw(slave_.Get());
  fcntl(master_.Get(), F_SETFL, fcntl(master_.Get(), F_GETFL) | O_NONBLOCK);
  // Opens, writes and closes of the port; without them every opener shares one line.
  watch_.Reset(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  if (watch_.Valid() && inotify_add_watch(watch_.Get(), name, IN_OPEN | IN_CLOSE | IN_MODIFY) < 0)
    watch_.Reset();
  int wake[2];
  if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) Fail(errno, "pipe");
  wake_read_.Reset(wake[0]);
  wake_write_.Reset(wake[1]);
  thread_ = std::thread([this] { Serve(); });
}

PtyDevice::~PtyDevice() {
  Stop();
}

void PtyDevice::Record(const LogEntry& entry) {
  if (entry.kind == LogEntry::Kind::In) {
    for (const char byte : entry.bytes)
      received_.push_back({entry.at, static_cast<unsigned char>(byte)});
    received_count_ += entry.bytes.size();
    while (received_.size() > kKeptReceived) received_.pop_front();
  }
  if (entry.kind == LogEntry::Kind::Note) notes_.push_back(entry.text);
  if (sink_) unlogged_.push_back(entry);
}

void PtyDevice::FlushLog() {
  std::vector<LogEntry> entries;
  {
    std::lock_guard lock(mutex_);
    entries.swap(unlogged_);
  }
  for (const LogEntry& entry : entries) sink_(entry);
}

void PtyDevice::Serve() {
  // Due bytes go out a piece at a time, between checks for a stop, a close
  // and new bytes, so nothing the device sends can hold the line up.
  constexpr std::size_t kPiece = 4096;
  for (;;) {
    Clock::time_point next;
    {
      std::lock_guard lock(mutex_);
      if (stop_) {
        changed_.notify_all();  // a HangUp() waiting for the line stops waiting
        return;
      }
      if (hangup_requested_) break;
      next = core_.NextDue();
    }
    int timeout = MillisecondsUntil(next);
    if (!outgoing_.empty()) timeout = 100;  // the line is full: try again soon
    const short out = outgoing_.empty() ? 0 : POLLOUT;
    pollfd fds[3] = {{wake_read_.Get(), POLLIN, 0},
                     {watch_.Get(), POLLIN, 0},
                     {master_.Get(), short(POLLIN | out), 0}};
    if (poll(fds, 3, timeout) < 0 && errno != EINTR) break;
    if (fds[0].revents) {
      char drain[16];
      while (read(wake_read_.Get(), drain, sizeof drain) > 0) {
      }
      continue;
    }
    // Opens and closes first: a reply must not reach an opener who came later.
    if (fds[1].revents & POLLIN) TakePortEvents();
    if (fds[2].revents & POLLIN) ReadLine();
    bool hang_up = false;
    bool stall = false;
    {
      std::lock_guard lock(mutex_);
      if (outgoing_.empty())
        for (const Emission& emission : core_.TakeDue(Clock::now(), kPiece))
          outgoing_ += emission.bytes;
      hang_up = core_.HungUp();
      stall = core_.Stalled();
    }
    FlushLog();
    SendSome();
    // The opener's side of the terminal is suspended, as a line whose
    // receiver stopped taking bytes: its writes wait and its drain never ends.
    if (stall && !output_stopped_ && tcflow(slave_.Get(), TCOOFF) == 0) {
      output_stopped_ = true;
      std::lock_guard lock(mutex_);
      Record({LogEntry::Kind::Note, Clock::now(), {}, "writes to the port suspended"});
      changed_.notify_all();
    }
    FlushLog();
    if (hang_up) break;
  }
  FlushLog();
  std::lock_guard lock(mutex_);
  master_.Reset();
  slave_.Reset();
  hung_up_ = true;
  changed_.notify_all();
}

bool PtyDevice::ReadLine() {
  char bytes[4096];
  const ssize_t count = read(master_.Get(), bytes, sizeof bytes);
  if (count <= 0) return false;
  if (line_closed_) {
    // Bytes after a close come from its sender, late, unless the next opener
    // wrote them; its write shows at once among the port's events.
    pollfd events = {watch_.Get(), POLLIN, 0};
    if (poll(&events, 1, 5) > 0) TakePortEvents();
  }
  std::lock_guard lock(mutex_);
  core_.Receive(std::string_view(bytes, static_cast<std::size_t>(count)), Clock::now());
  if (line_closed_) core_.DropPending();  // what the closed line asked for goes unanswered
  changed_.notify_all();
  return true;
}

void PtyDevice::TakePortEvents() {
  alignas(inotify_event) char events[4096];
  ssize_t size;
  while ((size = read(watch_.Get(), events, sizeof events)) > 0) {
    for (ssize_t at = 0; at < size;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_MODIFY) {
        if (opened_since_close_) line_closed_ = false;
        continue;
      }
      std::lock_guard lock(mutex_);
      if (event->mask & IN_OPEN) {
        Record({LogEntry::Kind::Note, Clock::now(), {}, "port opened"});
        opened_since_close_ = true;
      } else if (event->mask & IN_CLOSE) {
        // A real line loses what its reader left unread; so does this one.
        Record({LogEntry::Kind::Note, Clock::now(), {}, "port closed"});
        core_.DropPending();
        outgoing_.clear();
        tcflush(slave_.Get(), TCIFLUSH);
        line_closed_ = true;
        opened_since_close_ = false;
      }
    }
  }
  changed_.notify_all();
  FlushLog();
}

void PtyDevice::SendSome() {
  if (outgoing_.empty()) return;
  const ssize_t count = write(master_.Get(), outgoing_.data(), outgoing_.size());
  if (count > 0) outgoing_.erase(0, static_cast<std::size_t>(count));
  // EAGAIN: the line is full; another error: the line is gone, drop the rest.
  else if (count < 0 && errno != EAGAIN && errno != EINTR)
    outgoing_.clear();
}

void PtyDevice::CloseAll() {
  for (UniqueFd* fd : {&master_, &slave_, &watch_, &wake_read_, &wake_write_}) fd->Reset();
}

void PtyDevice::Wake() {
  if (!wake_write_.Valid()) return;  // stopped: no one to wake
  const char byte = 1;
  [[maybe_unused]] const ssize_t ignored = write(wake_write_.Get(), &byte, 1);
}

std::vector<TimedByte> PtyDevice::Received() const {
  std::lock_guard lock(mutex_);
  return {received_.begin(), received_.end()};
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
  received_count_ = 0;
}

bool PtyDevice::WaitForReceived(std::size_t count, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] { return received_count_ >= count; });
}

std::vector<std::string> PtyDevice::Notes() const {
  std::lock_guard lock(mutex_);
  return notes_;
}

bool PtyDevice::WaitForNote(const std::string& note, int count,
                            std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, timeout,
                           [&] { return std::count(notes_.begin(), notes_.end(), note) >= count; });
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
  std::unique_lock lock(mutex_);
  hangup_requested_ = true;
  Wake();
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
    Wake();
  }
  changed_.notify_all();  // a HangUp() waiting for the serving thread stops waiting
  if (thread_.joinable()) thread_.join();
  std::lock_guard lock(mutex_);
  CloseAll();
}

}  // namespace qvx::sim
