// Why the archive refused or failed, as a type with its words in Russian.
#pragma once

#include <stdexcept>
#include <string>

namespace qvx::archive {

enum class Failure {
  Busy,        // another program holds the file locked
  Damaged,     // not a database, or a damaged one, or a row the rules refuse
  NotArchive,  // an SQLite database of another program
  Newer,       // written by a newer version of this program
  ReadOnly,    // the file or its folder may not be written
  Full,        // the disk (or the browser's storage) is full
  Missing,     // no such file where one must exist
  Refused,     // the rules refuse what was asked (a number taken, a field too long)
  Other,       // anything else the executor reports
};

// Thrown by the rules and by the executors. what() is the cause in words,
// without the file's name, which the caller adds.
class ArchiveError : public std::runtime_error {
 public:
  ArchiveError(Failure failure, const std::string& words)
      : std::runtime_error(words), failure_(failure) {}
  Failure failure() const { return failure_; }

 private:
  Failure failure_;
};

}  // namespace qvx::archive
