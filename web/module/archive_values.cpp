#include "archive_values.h"

#include "config_file/settings_line.h"
#include "js_values.h"

namespace qvx::web {

using emscripten::val;
using namespace qvx::archive;

namespace {

// A .qvx file of a kept line, as "Сохранить" writes one.
val FileOf(const std::string& line) {
  return line.empty() ? val::null() : Bytes(line + "\r\n");
}

}  // namespace

// A settings file's bytes as the archive keeps them: its first line.
std::string LineOf(const val& bytes) {
  return std::string(FirstLine(FromBytes(bytes)));
}

val CardObject(const Card& card) {
  val object = val::object();
  object.set("id", card.id);
  object.set("number", card.number);
  object.set("name", card.name);
  object.set("address", card.address);
  object.set("phone", card.phone);
  object.set("note", card.note);
  object.set("settings", FileOf(card.settings));
  object.set("createdAt", card.created_at);
  object.set("createdBy", card.created_by);
  object.set("changedAt", card.changed_at);
  object.set("changedBy", card.changed_by);
  object.set("version", static_cast<double>(card.version));
  object.set("deleted", card.deleted);
  return object;
}

Card CardFrom(const val& object) {
  Card card;
  card.id = StringOf(object, "id");
  card.number = StringOf(object, "number");
  card.name = StringOf(object, "name");
  card.address = StringOf(object, "address");
  card.phone = StringOf(object, "phone");
  card.note = StringOf(object, "note");
  if (!object["settings"].isNull() && !object["settings"].isUndefined())
    card.settings = LineOf(object["settings"]);
  card.created_at = StringOf(object, "createdAt");
  card.created_by = StringOf(object, "createdBy");
  card.changed_at = StringOf(object, "changedAt");
  card.changed_by = StringOf(object, "changedBy");
  if (object["version"].isNumber()) card.version = object["version"].as<double>();
  card.deleted = object["deleted"].isTrue();
  return card;
}

val EntryObject(const Entry& entry) {
  val object = val::object();
  object.set("id", entry.id);
  object.set("objectId", entry.object_id);
  object.set("at", entry.at);
  object.set("installer", entry.installer);
  object.set("port", entry.port);
  object.set("command", entry.command);
  object.set("outcome", entry.outcome);
  object.set("cause", entry.cause);
  object.set("outcomeText", entry.outcome_text);
  object.set("settings", FileOf(entry.settings));
  object.set("differing",
             entry.differing ? val(static_cast<double>(*entry.differing)) : val::null());
  return object;
}

}  // namespace qvx::web
