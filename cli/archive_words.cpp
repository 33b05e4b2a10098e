#include "cli/archive_words.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

#include "config_file/cp1251.h"

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

nlohmann::ordered_json CardJson(const archive::Card& card) {
  return {{"id", card.id},
          {"number", card.number},
          {"name", card.name},
          {"address", card.address},
          {"phone", card.phone},
          {"note", card.note},
          {"createdAt", card.created_at},
          {"createdBy", card.created_by},
          {"changedAt", card.changed_at},
          {"changedBy", card.changed_by},
          {"version", card.version},
          {"deleted", card.deleted},
          {"settings", Cp1251ToUtf8(card.settings)}};
}

nlohmann::ordered_json EntryJson(const archive::Entry& entry) {
  nlohmann::ordered_json json = {{"id", entry.id},
                                 {"at", entry.at},
                                 {"installer", entry.installer},
                                 {"port", entry.port},
                                 {"command", entry.command},
                                 {"outcome", entry.outcome},
                                 {"cause", entry.cause},
                                 {"outcomeText", entry.outcome_text},
                                 {"differing", nullptr},
                                 {"settings", Cp1251ToUtf8(entry.settings)}};
  if (entry.differing) json["differing"] = *entry.differing;
  return json;
}

std::string InstallerName() {
  for (const char* variable : {"USER", "LOGNAME"})
    if (const char* name = std::getenv(variable); name && *name) return name;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_name) return user->pw_name;
  return "";
}

}  // namespace qvx::cli
