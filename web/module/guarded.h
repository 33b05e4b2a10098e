// A method of the module's classes as JavaScript calls it: an exception of
// the core (a name that is no setting of its kind, memory run out on a huge
// input) becomes a JavaScript Error the caller can catch, and the module
// stays usable. Register kGuarded<&Class::Method> in place of the method.
#pragma once

#include <emscripten/val.h>

#include <exception>
#include <string>
#include <utility>

namespace qvx::web {

[[noreturn]] inline void ThrowToJavaScript(const std::exception& error) {
  emscripten::val::global("Error").new_(emscripten::val(std::string(error.what()))).throw_();
}

template <auto Method>
struct Guarded;

template <typename C, typename R, typename... A, R (C::*Method)(A...)>
struct Guarded<Method> {
  static R Call(C& self, A... args) {
    try {
      return (self.*Method)(std::forward<A>(args)...);
    } catch (const std::exception& error) {
      ThrowToJavaScript(error);
    }
  }
};

template <typename C, typename R, typename... A, R (C::*Method)(A...) const>
struct Guarded<Method> {
  static R Call(const C& self, A... args) {
    try {
      return (self.*Method)(std::forward<A>(args)...);
    } catch (const std::exception& error) {
      ThrowToJavaScript(error);
    }
  }
};

template <auto Method>
constexpr auto kGuarded = &Guarded<Method>::Call;

}  // namespace qvx::web
