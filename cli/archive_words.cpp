#include "cli/archive_words.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace qvx::cli {
namespace {

// A field in a line: a line end would split the entry in two.
std::string OnOneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\t') c = ' ';
  return text;
}

}  // namespace

std::string LocalTime(const std::string& stored) {
  return archive::LocalTimeText(stored);
}

std::string ObjectLine(const archive::Card& card) {
  return OnOneLine(card.number) + "  " + OnOneLine(card.name) + "  " + OnOneLine(card.address) +
         "  " + LocalTime(card.changed_at);
}

std::string EntryLine(const archive::Entry& entry) {
  std::string line = LocalTime(entry.at) + "  " + OnOneLine(entry.installer);
  if (!entry.port.empty()) line += "  " + OnOneLine(entry.port);
  line += "  " + OnOneLine(entry.command);
  if (!entry.outcome_text.empty()) line += "  " + OnOneLine(entry.outcome_text);
  if (entry.differing) line += "  различий: " + std::to_string(*entry.differing);
  return line;
}

std::string InstallerName() {
  for (const char* variable : {"USER", "LOGNAME"})
    if (const char* name = std::getenv(variable); name && *name) return name;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_name) return user->pw_name;
  return "";
}

}  // namespace qvx::cli
