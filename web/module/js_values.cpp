#include "js_values.h"

#include <emscripten/bind.h>

namespace qvx::web {

using emscripten::val;

val Text(std::string_view text) {
  return val(std::string(text));
}

val Bytes(std::string_view bytes) {
  // A view into the module's memory, copied before the memory can move.
  return val(emscripten::typed_memory_view(bytes.size(),
                                           reinterpret_cast<const unsigned char*>(bytes.data())))
      .call<val>("slice");
}

std::string FromBytes(const val& bytes) {
  const std::vector<unsigned char> data =
      emscripten::convertJSArrayToNumberVector<unsigned char>(bytes);
  return std::string(data.begin(), data.end());
}

val MessageObject(const Message& message) {
  val object = val::object();
  object.set("text", message.text);
  object.set("title", message.title);
  if (!message.note.empty()) object.set("note", message.note);
  return object;
}

val MessageObject(std::string_view text, std::string_view title) {
  return MessageObject(Message{std::string(text), std::string(title)});
}

std::string StringOf(const val& object, const char* key) {
  const val value = object[key];
  return value.isString() ? value.as<std::string>() : std::string();
}

val Strings(const std::vector<std::string>& items) {
  return Array(items, [](const std::string& item) { return val(item); });
}

}  // namespace qvx::web
