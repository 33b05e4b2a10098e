// A message of the core as the page's scripts take it.
#pragma once

#include <emscripten/val.h>

#include "page_model.h"

namespace qvx::web {

// { text, title } of `message`, for showMessage() in the page.
inline emscripten::val MessageObject(const Message& message) {
  emscripten::val object = emscripten::val::object();
  object.set("text", message.text);
  object.set("title", message.title);
  return object;
}

}  // namespace qvx::web
