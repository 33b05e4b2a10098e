// The exchange with the device in numbers and bytes: every host (the window,
// the command-line tool, the page, the simulator) takes them from here.
#pragma once

#include <cstddef>
#include <string_view>

namespace qvx::device {

// The line: 57600 baud, no parity, 8 data bits, 1 stop bit, no flow control.
inline constexpr std::string_view kLineDefinition = "baud=57600 parity=N data=8 stop=1";

inline constexpr std::string_view kReadRequest = "A5A6";   // one write, no terminator
inline constexpr std::string_view kWriteCommand = "A3A4";  // opens a write frame
inline constexpr std::string_view kFrameEnd = "##";        // closes it
inline constexpr std::string_view kNotReadySignal = "A0A0";
inline constexpr std::string_view kReplyEnd = ":#";

// From the request written to the evaluation of what arrived.
inline constexpr int kReceptionWindowMs = 2000;
// After a frame the device records for about this long (its three long
// beeps); a read-back waits it out.
inline constexpr int kRecordingMs = 3000;
// After every write, at least: the device takes a frame byte by byte.
inline constexpr int kPauseAfterWriteMs = 1;
// A write that has not left the computer by then has failed.
inline constexpr int kWriteBoundPerByteMs = 100;
// A page's write passes the browser's own pipe and a drain of the port
// first: it has failed only when its byte has not left by then (the device
// stopped taking bytes and the line is full).
inline constexpr int kWriteDrainTimeoutMs = 1000;
// The read loop: at most this many bytes a read, one read this often.
inline constexpr std::size_t kReadChunk = 1000;
inline constexpr int kPauseBetweenReadsMs = 100;
// A read returns what arrived within this long, if not enough sooner.
inline constexpr int kReadTimeoutMs = 50;
// A wait (the recording) looks for a stop this often.
inline constexpr int kWaitSliceMs = 50;

}  // namespace qvx::device
