// Ctrl-C and SIGTERM as a request to stop rather than a kill: a device
// exchange under way must end between two bytes, release its port and say
// how far it got. A closed standard output does not stop anything either.
#pragma once

namespace qvx::cli {

// The exit status of a program stopped by a signal it caught.
inline constexpr int kInterruptedStatus = 130;

// Call first in main, before any thread starts. From then on the first
// SIGINT or SIGTERM (one not ignored already when the program started, as
// in a script's background job) only makes Interrupted() true; the second ends the
// program at once with kInterruptedStatus (after a save under way, see
// SaveInProgress). SIGPIPE is ignored: a write to a closed pipe fails, and
// the command reports it when it has done its work.
void CatchInterrupts();

// True once the first SIGINT or SIGTERM arrived.
bool Interrupted();

// While one lives, a second signal waits for it to end before it ends the
// program, so that a save leaves the old file or the new one and never its
// temporary file.
class SaveInProgress {
 public:
  SaveInProgress();
  ~SaveInProgress();
  SaveInProgress(const SaveInProgress&) = delete;
  SaveInProgress& operator=(const SaveInProgress&) = delete;
};

}  // namespace qvx::cli
