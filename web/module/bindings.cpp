// The module's face to JavaScript: the catalogue as plain objects, the
// settings model with its commands, and the simulated device. Texts cross as
// JavaScript strings (UTF-8 here); file, frame and line bytes cross as
// Uint8Array, never as strings, since the file is code page 1251.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue_json.h"
#include "config_file/file_io.h"
#include "device/device_commands.h"
#include "device/device_link.h"
#include "device/line_definition.h"
#include "page_model.h"
#include "settings/greeting.h"
#include "sim/frame_body.h"
#include "simulated_device.h"

namespace qvx::web {
namespace {

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

template <typename T, typename Convert>
val Array(const std::vector<T>& items, Convert convert) {
  val array = val::array();
  for (const T& item : items) array.call<void>("push", convert(item));
  return array;
}

// The catalogue: the settings in catalogue order and the eleven tabs with
// the rows that lay them out, parsed from one JSON text.
val CatalogueObject() {
  return val::global("JSON").call<val>("parse", CatalogueJson());
}

val MessageObject(const Message& message) {
  val object = val::object();
  object.set("text", message.text);
  object.set("title", message.title);
  return object;
}

// The serial port's options for the browser, from the window's line
// definition: 57600 baud, 8 data bits, no parity, 1 stop bit, no flow control.
val LineOptions() {
  const device::LineSettings line =
      device::ParseLineDefinition(device::kLineDefinition).value_or(device::LineSettings{});
  val options = val::object();
  options.set("baudRate", line.baud);
  options.set("dataBits", line.data_bits);
  options.set("parity", val(line.parity == device::Parity::Even  ? "even"
                            : line.parity == device::Parity::Odd ? "odd"
                                                                 : "none"));
  options.set("stopBits", line.stop_bits == device::StopBits::Two ? 2 : 1);
  options.set("flowControl", val("none"));
  return options;
}

// The page's own texts that the core's commands show only from their port
// parts, which the page replaces: the same words as the window's.
val PageTexts() {
  val texts = val::object();
  texts.set("version", val(std::string("v.") + QUORVEX_VERSION));
  texts.set("simulatorPort", val(std::string("Симулятор устройства")));
  texts.set("sent", MessageObject({"Данные успешно отправлены", "Данные успешно отправлены"}));
  texts.set("receptionWindowMs", device::kReceptionWindowMs);
  texts.set("readRequest", Bytes(sim::kReadCommand));
  texts.set("saveFailed", MessageObject({"Ошибка сохранения файла", "Ошибка"}));
  texts.set("greetingTitle", Text(kGreetingTitle));
  texts.set("greetingLines",
            Array(std::vector<GreetingLine>(kGreetingLines.begin(), kGreetingLines.end()),
                  [](const GreetingLine& line) { return Text(line.text); }));
  texts.set("webCaption", Text(kGreetingWebCaption));
  texts.set("webAddress", Text(kGreetingWebAddress));
  // The port's texts: the window's open failure (the browser's reason goes
  // below it), and what only the page has to say about the browser's ports.
  texts.set("cannotOpen",
            MessageObject({device::OpenErrorText(device::OpenResult::CannotOpen), "Quorvex"}));
  texts.set("noPortChosen", val(std::string("Порт не выбран.")));
  texts.set("portLost", MessageObject({"Связь с портом потеряна: программатор отключён или порт "
                                       "занят. Порт откроется заново при следующей команде.",
                                       "Quorvex"}));
  texts.set("choosePort", val(std::string("Выбрать порт…")));
  texts.set("serialPort", val(std::string("Порт")));
  texts.set("noWebSerial",
            val(std::string("Этот браузер не открывает последовательные порты, доступен только "
                            "симулятор устройства. К порту программатора страница выходит в "
                            "Chrome и Edge 89 и новее; Safari не умеет, Firefox — только в "
                            "новейших версиях.")));
  texts.set("lineOptions", LineOptions());
  texts.set(
      "unsavedEdits",
      val(std::string("Настройки изменены и не сохранены. Открыть файл, отбросив изменения?")));
  texts.set("readingLeft", val(std::string("Чтение: %s с")));
  texts.set("recordingMs", device::kRecordingMs);
  texts.set("recordingLeft", val(std::string("Запись: %s с")));
  texts.set("verified", MessageObject({"Устройство хранит записанные настройки", "Проверка"}));
  texts.set("differs", MessageObject({"Устройство хранит другие настройки (%s):", "Проверка"}));
  texts.set("pauseAfterWriteMs", device::kPauseAfterWriteMs);
  texts.set("writeTimeoutMs", device::kWriteDrainTimeoutMs);
  return texts;
}

const char* StepKind(Step::Kind kind) {
  switch (kind) {
    case Step::Kind::MarkWhite:
      return "white";
    case Step::Kind::MarkRed:
      return "red";
    case Step::Kind::SubscriberTab:
      return "subscriberTab";
    case Step::Kind::Message:
      return "message";
  }
  return "";
}

const char* OutcomeName(device::ReplyOutcome outcome) {
  switch (outcome) {
    case device::ReplyOutcome::NotReady:
      return "notReady";
    case device::ReplyOutcome::NoData:
      return "noData";
    case device::ReplyOutcome::Faulty:
      return "faulty";
    case device::ReplyOutcome::Abandoned:
      return "abandoned";
    case device::ReplyOutcome::Success:
      return "success";
  }
  return "";
}

// The settings model of the page with its commands; names are control names.
class Model {
 public:
  int ListIndex(const std::string& list) const { return Settings().ListIndex(list); }
  void SetListIndex(const std::string& list, int index) { Settings().SetListIndex(list, index); }
  int SliderPosition(const std::string& slider) const { return Settings().SliderPosition(slider); }
  void SetSliderPosition(const std::string& slider, int position) {
    Settings().SetSliderPosition(slider, position);
  }
  int SliderMinimum(const std::string& slider) const { return Settings().SliderMinimum(slider); }
  int RadioNumber(const std::string& group) const { return Settings().RadioNumber(group); }
  void SetRadioNumber(const std::string& group, int number) {
    Settings().SetRadioNumber(group, number);
  }
  std::string Text(const std::string& field) const { return Settings().Text(field); }
  void SetText(const std::string& field, const std::string& text) {
    Settings().SetText(field, text);
  }
  std::string LabelText(const std::string& label) const { return Settings().LabelText(label); }

  // Only the bytes a file's line may take cross: a huge file costs no more.
  val Open(const val& file_bytes) {
    const std::optional<Message> refusal =
        page_.Open(FromBytes(file_bytes.call<val>("subarray", 0, kMaxReadBytes + 1)));
    return refusal ? MessageObject(*refusal) : val::null();
  }

  val Save() const {
    const SaveResult saved = page_.Save();
    val result = val::object();
    result.set("bytes", saved.bytes.empty() ? val::null() : Bytes(saved.bytes));
    result.set("messages", Array(saved.messages, MessageObject));
    return result;
  }

  val CheckWrite() {
    const WriteCheck check = page_.CheckWrite();
    val result = val::object();
    result.set("frame", check.frame.empty() ? val::null() : Bytes(check.frame));
    result.set("steps", Array(check.steps, [](const Step& step) {
                 val object = val::object();
                 object.set("kind", val(StepKind(step.kind)));
                 object.set("field", step.field);
                 object.set("text", step.message.text);
                 object.set("title", step.message.title);
                 return object;
               }));
    return result;
  }

  val CompareWithReply(const val& received) const {
    const VerifyResult verified = page_.CompareWithReply(FromBytes(received));
    val result = MessageObject(verified.read.message);
    result.set("outcome", val(OutcomeName(verified.read.outcome)));
    result.set("differences",
               Array(verified.differences, [](const std::string& line) { return val(line); }));
    return result;
  }

  val EvaluateRead(const val& received) {
    const ReadResult read = page_.EvaluateRead(FromBytes(received));
    val result = MessageObject(read.message);
    result.set("outcome", val(OutcomeName(read.outcome)));
    result.set("entries", Array(read.entries, [](const std::string& entry) { return val(entry); }));
    return result;
  }

 private:
  MemorySettings& Settings() { return page_.Settings(); }
  const MemorySettings& Settings() const { return page_.Settings(); }
  PageModel page_;
};

class Device {
 public:
  void Receive(const val& bytes, double at_ms) { device_.Receive(FromBytes(bytes), at_ms); }
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

// A method of the module's classes as JavaScript calls it: an exception of
// the core (a name that is no setting of its kind, memory run out on a huge
// input) becomes a JavaScript Error the caller can catch, and the module
// stays usable.
template <auto Method>
struct Guarded;

[[noreturn]] void ThrowToJavaScript(const std::exception& error) {
  val::global("Error").new_(val(std::string(error.what()))).throw_();
}

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

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex) {
  using namespace qvx::web;
  emscripten::function("catalogue", &CatalogueObject);
  emscripten::function("pageTexts", &PageTexts);
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
      .function("evaluateRead", kGuarded<&Model::EvaluateRead>)
      .function("compareWithReply", kGuarded<&Model::CompareWithReply>);
  emscripten::class_<Device>("SimulatedDevice")
      .constructor<>()
      .function("receive", kGuarded<&Device::Receive>)
      .function("takeDue", kGuarded<&Device::TakeDue>)
      .function("nextDue", kGuarded<&Device::NextDue>);
}
