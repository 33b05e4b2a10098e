// How the simulated device behaves besides answering and storing: the
// faults a real line or device can show, chosen per run.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace qvx::sim {

// Which reply field breaks its own rule, as a worn memory cell would.
enum class FaultyField {
  None,
  Code,  // the first code field has five digits
  Port,  // the port field has six digits
};

struct SimOptions {
  bool not_ready = false;  // answer a read request with "A0A0" (SIM card not ready)
  bool silent = false;     // answer nothing; writes are still stored
  bool noise = false;      // line ends, letters and blanks around and inside the reply
  std::chrono::milliseconds reply_delay{50};  // from the request to the first reply byte
  std::chrono::milliseconds trickle{0};       // > 0: reply byte by byte, this pause between
  std::size_t hangup_after = 0;               // > 0: close the line after this many bytes in
  bool answer_twice = false;                  // send every reply twice, back to back
  std::chrono::milliseconds late{0};          // > 0: replaces reply_delay (answer too late)
  std::size_t flood = 0;                      // noise bytes sent ahead of every reply
  std::uint32_t seed = 1;                     // makes the noise repeatable
  bool store_nothing = false;                 // take a write frame, beep, and keep the old settings
  bool store_wrong_digit = false;  // store a write frame with its first list one entry off
  bool garbage = false;            // answer with noise only, as long as the reply, and no reply
  bool half_reply = false;         // send the first half of the reply only, so no ":#" ends it
  FaultyField faulty_field = FaultyField::None;
  std::size_t stall_after = 0;  // > 0: stop taking bytes after this many in; the line fills up
};

}  // namespace qvx::sim
