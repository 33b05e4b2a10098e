// The module's face to JavaScript: the catalogue as plain objects, the
// settings model with its commands, and the simulated device. Texts cross as
// JavaScript strings (UTF-8 here); file, frame and line bytes cross as
// Uint8Array, never as strings, since the file is code page 1251.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <exception>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "catalogue_json.h"
#include "config_file/file_io.h"
#include "device/command_engine.h"
#include "device/command_texts.h"
#include "device/device_commands.h"
#include "device/device_link.h"
#include "device/line_definition.h"
#include "device/protocol.h"
#include "message_object.h"
#include "page_model.h"
#include "page_tools.h"
#include "settings/catalogue.h"
#include "settings/command_captions.h"
#include "settings/greeting.h"
#include "settings/page_layout.h"
#include "simulated_device.h"

namespace qvx::web {
namespace {

using emscripten::val;

// What only the page has to say: about the browser's ports and its own files.
constexpr std::string_view kSimulatorPort = "Симулятор устройства (демо)";
constexpr std::string_view kSaveFailed = "Ошибка сохранения файла";
constexpr std::string_view kNoPortChosen = "Порт не выбран.";
constexpr std::string_view kNoWebSerial =
    "Этот браузер не открывает последовательные порты, доступен только симулятор устройства. К "
    "порту программатора страница выходит в Chrome и Edge 89 и новее; Safari не умеет, Firefox — "
    "только в новейших версиях.";
constexpr std::string_view kUnsavedEdits =
    "Настройки изменены и не сохранены. Открыть файл, отбросив изменения?";
// Below it, the page's own account of what went wrong.
constexpr std::string_view kCommandFailed = "Команда прервана из-за ошибки страницы.";

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

// The command buttons' captions by the buttons' ids.
val ButtonCaptions() {
  val captions = val::object();
  captions.set("N2", Text(kOpenCaption));
  captions.set("N3", Text(kSaveCaption));
  captions.set("BitBtn1", Text(kReadCaption));
  captions.set("BitBtn2", Text(kWriteCaption));
  captions.set("writeVerify", Text(kWriteVerifyCaption));
  return captions;
}

// The exchange's constants, for what the page shows about them; the
// commands take theirs from the engine.
val Protocol() {
  val protocol = val::object();
  protocol.set("readRequest", Bytes(device::kReadRequest));
  protocol.set("receptionWindowMs", device::kReceptionWindowMs);
  protocol.set("recordingMs", device::kRecordingMs);
  protocol.set("pauseAfterWriteMs", device::kPauseAfterWriteMs);
  protocol.set("lineOptions", LineOptions());
  protocol.set("writeTimeoutMs", device::kWriteDrainTimeoutMs);
  return protocol;
}

// The page's texts: the window's words where it has them.
val Texts() {
  val texts = val::object();
  texts.set("version", val(std::string("v.") + QUORVEX_VERSION));
  texts.set("simulatorPort", Text(kSimulatorPort));
  texts.set("sent",
            MessageObject({std::string(device::kSentText), std::string(device::kSentText)}));
  texts.set("saveFailed", MessageObject({std::string(kSaveFailed), "Ошибка"}));
  texts.set("greetingTitle", Text(kGreetingTitle));
  texts.set("greetingLines",
            Array(std::vector<GreetingLine>(kGreetingLines.begin(), kGreetingLines.end()),
                  [](const GreetingLine& line) { return Text(line.text); }));
  texts.set("webCaption", Text(kGreetingWebCaption));
  texts.set("webAddress", Text(kGreetingWebAddress));
  // The port's texts: the window's open failure (the browser's reason goes
  // below it), and what only the page has to say about the browser's ports.
  texts.set("cannotOpen", MessageObject({device::OpenErrorText(device::OpenResult::CannotOpen),
                                         std::string(device::kPortTitle)}));
  texts.set("noPortChosen", Text(kNoPortChosen));
  texts.set("portLost",
            MessageObject({std::string(device::kPortLostText), std::string(device::kPortTitle)}));
  texts.set("noWebSerial", Text(kNoWebSerial));
  texts.set("unsavedEdits", Text(kUnsavedEdits));
  texts.set("commandFailed", MessageObject({std::string(kCommandFailed), "Ошибка"}));
  texts.set("buttons", ButtonCaptions());
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

  val EvaluateRead(const val& received) {
    const ReadResult read = page_.EvaluateRead(FromBytes(received));
    val result = MessageObject(read.message);
    result.set("outcome", val(OutcomeName(read.outcome)));
    result.set("entries", Array(read.entries, [](const std::string& entry) { return val(entry); }));
    return result;
  }

  MemorySettings& Settings() { return page_.Settings(); }
  const MemorySettings& Settings() const { return page_.Settings(); }

 private:
  PageModel page_;
};

// One command of the engine on a model, step by step; see web/page/commands.js.
class Engine {
 public:
  Engine(Model& model, const std::string& command)
      : model_(model), engine_(CommandOf(command), model.Settings()) {}

  val Start(double now_ms) { return Steps(engine_.Start(now_ms)); }

  // {kind, nowMs, count, bytes, cause}: kind "opened", "openFailed",
  // "written", "writeFailed", "writeTimedOut", "received", "time", "lost",
  // "stop"; an unknown kind is a stop.
  val Feed(const val& event) {
    device::Event fed;
    const std::string kind = event["kind"].as<std::string>();
    fed.kind = EventKindOf(kind);
    fed.now_ms = event["nowMs"].isNumber() ? event["nowMs"].as<double>() : 0;
    if (event["count"].isNumber()) fed.count = event["count"].as<std::size_t>();
    if (!event["bytes"].isUndefined() && !event["bytes"].isNull())
      fed.bytes = FromBytes(event["bytes"]);
    if (event["cause"].isString()) fed.cause = event["cause"].as<std::string>();
    return Steps(engine_.Feed(fed));
  }

  std::string Countdown(double now_ms) const { return engine_.Countdown(now_ms); }
  val Differences() const {
    return Array(engine_.DifferenceLines(), [](const std::string& line) { return val(line); });
  }
  // For the history: a write's settings as sent, or the settings a read took
  // over, as a .qvx file's bytes; null when the command sent or took none.
  val SettingsFile() const {
    const auto result = engine_.Result();
    using O = device::Outcome;
    if (!result || *result == O::Refused || *result == O::CannotOpen ||
        *result == O::StoppedBeforeFrame)
      return val::null();
    const bool read = engine_.Kind() == device::Command::Read;
    if (read && *result != device::Outcome::ReadSuccess) return val::null();
    const std::string file = FileBytes(read ? model_.Settings() : engine_.Sent());
    return file.empty() ? val::null() : Bytes(file);
  }

 private:
  static device::Command CommandOf(const std::string& name) {
    if (name == "read") return device::Command::Read;
    if (name == "writeVerify") return device::Command::WriteVerify;
    return device::Command::Write;
  }

  static device::Event::Kind EventKindOf(const std::string& kind) {
    using K = device::Event::Kind;
    static const std::pair<const char*, K> kKinds[] = {
        {"opened", K::Opened},
        {"openFailed", K::OpenFailed},
        {"written", K::Written},
        {"writeFailed", K::WriteFailed},
        {"writeTimedOut", K::WriteTimedOut},
        {"received", K::Received},
        {"time", K::Time},
        {"lost", K::Lost},
    };
    for (const auto& [name, value] : kKinds)
      if (kind == name) return value;
    return K::Stop;
  }

  val Steps(const std::vector<device::Step>& steps) {
    val array = val::array();
    for (const device::Step& step : steps) array.call<void>("push", StepValue(step));
    return array;
  }

  val StepValue(const device::Step& step) {
    using K = device::Step::Kind;
    val object = val::object();
    object.set("kind", val(StepName(step)));
    switch (step.kind) {
      case K::MarkField:
        object.set("field", step.field);
        break;
      case K::WriteButton:
      case K::ReadButton:
        object.set("visible", step.visible);
        break;
      case K::Send:
        object.set("bytes", Bytes(step.bytes));
        object.set("perByte", step.per_byte);
        object.set("pauseMs", step.pause_ms);
        // The bound of one write: its bytes' worth, but never less than the
        // browser's pipe and the drain behind it may take.
        object.set("timeoutMs",
                   std::max(step.bound_ms * static_cast<int>(step.per_byte ? 1 : step.bytes.size()),
                            device::kWriteDrainTimeoutMs));
        break;
      case K::Collect:
        object.set("readEveryMs", step.read_every_ms);
        object.set("readMaxBytes", static_cast<int>(step.read_max_bytes));
        [[fallthrough]];
      case K::Wait:
        object.set("untilMs", step.until_ms);
        break;
      case K::Log:
        object.set("text", step.text);
        break;
      case K::TakeSettings:
        // Taken over now: the step tells the page to show them.
        device::ApplyReply(model_.Settings(), engine_.Reply());
        break;
      case K::Message:
        object.set("text", step.text);
        object.set("title", step.title);
        object.set("messageKind", val(MessageKindName(step.message_kind)));
        object.set("portError", step.port_error);
        object.set("interim", step.interim);
        break;
      case K::Finished:
        object.set("outcome", val(OutcomeName(step.outcome)));
        break;
      default:
        break;
    }
    return object;
  }

  static const char* StepName(const device::Step& step) {
    using K = device::Step::Kind;
    switch (step.kind) {
      case K::MarkField:
        return step.mark == device::FieldMark::Red ? "red" : "white";
      case K::SubscriberTab:
        return "subscriberTab";
      case K::WriteButton:
        return "writeButton";
      case K::ReadButton:
        return "readButton";
      case K::OpenPort:
        return "openPort";
      case K::DropInput:
        return "dropInput";
      case K::Send:
        return "send";
      case K::Collect:
        return "collect";
      case K::StopCollecting:
        return "stopCollecting";
      case K::Wait:
        return "wait";
      case K::Log:
        return "log";
      case K::TakeSettings:
        return "settings";
      case K::ClearReceiveBuffer:
        return "clearBuffer";
      case K::Message:
        return "message";
      case K::Finished:
        return "finished";
    }
    return "";
  }

  static const char* MessageKindName(device::MessageKind kind) {
    switch (kind) {
      case device::MessageKind::Success:
        return "success";
      case device::MessageKind::Refusal:
        return "refusal";
      case device::MessageKind::Failure:
        return "failure";
    }
    return "";
  }

  static const char* OutcomeName(device::Outcome outcome) {
    using O = device::Outcome;
    switch (outcome) {
      case O::Refused:
        return "refused";
      case O::CannotOpen:
        return "cannotOpen";
      case O::WriteFailed:
        return "writeFailed";
      case O::WriteTimedOut:
        return "writeTimedOut";
      case O::LostMidFrame:
        return "lostMidFrame";
      case O::LostMidRead:
        return "lostMidRead";
      case O::StoppedBeforeFrame:
        return "stoppedBeforeFrame";
      case O::StoppedMidFrame:
        return "stoppedMidFrame";
      case O::StoppedBeforeCheck:
        return "stoppedBeforeCheck";
      case O::StoppedReading:
        return "stoppedReading";
      case O::NoData:
        return "noData";
      case O::NotReady:
        return "notReady";
      case O::Faulty:
        return "faulty";
      case O::Abandoned:
        return "abandoned";
      case O::ReadSuccess:
        return "readSuccess";
      case O::Sent:
        return "sent";
      case O::VerifyEqual:
        return "verifyEqual";
      case O::VerifyDifferent:
        return "verifyDifferent";
    }
    return "";
  }

  Model& model_;
  device::CommandEngine engine_;
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
  emscripten::function("protocol", &Protocol);
  emscripten::function("texts", &Texts);
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
  emscripten::class_<Engine>("CommandEngine")
      .constructor<Model&, std::string>()
      .function("start", kGuarded<&Engine::Start>)
      .function("feed", kGuarded<&Engine::Feed>)
      .function("countdown", kGuarded<&Engine::Countdown>)
      .function("differences", kGuarded<&Engine::Differences>)
      .function("settingsFile", kGuarded<&Engine::SettingsFile>);
  emscripten::class_<Device>("SimulatedDevice")
      .constructor<>()
      .function("receive", kGuarded<&Device::Receive>)
      .function("takeDue", kGuarded<&Device::TakeDue>)
      .function("nextDue", kGuarded<&Device::NextDue>);
}
