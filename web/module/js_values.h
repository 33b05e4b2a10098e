// How values cross into JavaScript and back, once for every binding: texts
// as strings (UTF-8 here), bytes as Uint8Array (never as strings: files and
// frames are code page 1251), a message as { text, title }.
#pragma once

#include <emscripten/val.h>

#include <string>
#include <string_view>
#include <vector>

#include "page_model.h"

namespace qvx::web {

emscripten::val Text(std::string_view text);

// A Uint8Array of its own holding `bytes`.
emscripten::val Bytes(std::string_view bytes);

// The bytes of a Uint8Array (or of any array of numbers 0..255).
std::string FromBytes(const emscripten::val& bytes);

// { text, title } of `message`, with its note where it has one, for
// showMessage() in the page.
emscripten::val MessageObject(const Message& message);
emscripten::val MessageObject(std::string_view text, std::string_view title);

// A JavaScript array of `convert(item)` for each of `items`.
template <typename Items, typename Convert>
emscripten::val Array(const Items& items, Convert convert) {
  emscripten::val array = emscripten::val::array();
  for (const auto& item : items) array.call<void>("push", convert(item));
  return array;
}

// `object[key]` when it is a string, else "".
std::string StringOf(const emscripten::val& object, const char* key);

// A JavaScript array of strings.
emscripten::val Strings(const std::vector<std::string>& items);

}  // namespace qvx::web
