// The simulated device for JavaScript, as quorvex.SimulatedDevice: bytes in
// with the page's clock, bytes out with the time they are due.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include "guarded.h"
#include "js_values.h"
#include "simulated_device.h"

namespace qvx::web {
namespace {

using emscripten::val;

class Device {
 public:
  void Receive(const val& bytes, double at_ms) { device_.Receive(FromBytes(bytes), at_ms); }
  // [{due, bytes}], oldest first.
  val TakeDue(double now_ms) {
    return Array(device_.TakeDue(now_ms), [](const TimedBytes& due) {
      val object = val::object();
      object.set("due", due.due_ms);
      object.set("bytes", Bytes(due.bytes));
      return object;
    });
  }
  double NextDue() const { return device_.NextDueMs(); }

 private:
  SimulatedDevice device_;
};

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_simulator) {
  using namespace qvx::web;
  emscripten::class_<Device>("SimulatedDevice")
      .constructor<>()
      .function("receive", kGuarded<&Device::Receive>)
      .function("takeDue", kGuarded<&Device::TakeDue>)
      .function("nextDue", kGuarded<&Device::NextDue>);
}
