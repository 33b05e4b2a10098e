#include <emscripten/bind.h>

#include "config_file/file_io.h"
#include "engine_names.h"
#include "guarded.h"
#include "js_values.h"
#include "model_binding.h"

namespace qvx::web {

using emscripten::val;

// Only the bytes a file's line may take cross: a huge file costs no more.
val Model::Open(const val& file_bytes) {
  const std::optional<Message> refusal =
      page_.Open(FromBytes(file_bytes.call<val>("subarray", 0, kMaxReadBytes + 1)));
  return refusal ? MessageObject(*refusal) : val::null();
}

val Model::Save() const {
  const SaveResult saved = page_.Save();
  val result = val::object();
  result.set("bytes", saved.bytes.empty() ? val::null() : Bytes(saved.bytes));
  result.set("messages",
             Array(saved.messages, [](const Message& message) { return MessageObject(message); }));
  return result;
}

val Model::CheckWrite() {
  const device::WriteChecks checks = page_.CheckWrite();
  val result = val::object();
  result.set("frame", checks.frame.empty() ? val::null() : Bytes(checks.frame));
  result.set("steps", Array(checks.steps, [](const device::Step& step) {
               val object = val::object();
               object.set("kind", val(EngineStepName(step)));
               object.set("field", step.field);
               object.set("text", step.text);
               object.set("title", step.title);
               if (step.kind == device::Step::Kind::Message)
                 object.set("messageKind", val(MessageKindName(step.message_kind)));
               return object;
             }));
  return result;
}

val Model::EvaluateRead(const val& received) {
  const ReadResult read = page_.EvaluateRead(FromBytes(received));
  val result = MessageObject(read.message);
  result.set("outcome", val(ReplyOutcomeName(read.outcome)));
  result.set("entries", Strings(read.entries));
  return result;
}

}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_model) {
  using namespace qvx::web;
  emscripten::class_<Model>("Model")
      .constructor<>()
      .function("listIndex", kGuarded<&Model::ListIndex>)
      .function("setListIndex", kGuarded<&Model::SetListIndex>)
      .function("sliderPosition", kGuarded<&Model::SliderPosition>)
      .function("setSliderPosition", kGuarded<&Model::SetSliderPosition>)
      .function("sliderMinimum", kGuarded<&Model::SliderMinimum>)
      .function("radioNumber", kGuarded<&Model::RadioNumber>)
      .function("setRadioNumber", kGuarded<&Model::SetRadioNumber>)
      .function("text", kGuarded<&Model::Text>)
      .function("setText", kGuarded<&Model::SetText>)
      .function("labelText", kGuarded<&Model::LabelText>)
      .function("open", kGuarded<&Model::Open>)
      .function("save", kGuarded<&Model::Save>)
      .function("checkWrite", kGuarded<&Model::CheckWrite>)
      .function("evaluateRead", kGuarded<&Model::EvaluateRead>);
}
