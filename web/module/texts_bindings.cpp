// The page's texts for JavaScript: the window's words where it has them,
// taken from the core; below them, what only the page has to say about the
// browser's ports and its own failures.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <string_view>

#include "config_file/file_texts.h"
#include "device/command_texts.h"
#include "device/device_link.h"
#include "device/next_steps.h"
#include "js_values.h"
#include "page_words.h"
#include "settings/command_captions.h"
#include "settings/greeting.h"

namespace qvx::web {
namespace {

using emscripten::val;

constexpr std::string_view kSimulatorPort = "Симулятор устройства (демо)";
constexpr std::string_view kNoWebSerial =
    "Этот браузер не открывает последовательные порты, доступен только симулятор устройства. К "
    "порту программатора страница выходит в Chrome и Edge 89 и новее; Safari не умеет, Firefox — "
    "только в новейших версиях.";
constexpr std::string_view kUnsavedEdits =
    "Настройки изменены и не сохранены. Открыть файл, отбросив изменения?";
constexpr std::string_view kCommandFailed = "Команда прервана из-за ошибки страницы";

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

val Texts() {
  val texts = val::object();
  texts.set("version", val(std::string("v.") + QUORVEX_VERSION));
  texts.set("simulatorPort", Text(kSimulatorPort));
  texts.set("sent", MessageObject(device::kSentText, device::kSentText));
  texts.set("saveFailed", MessageObject(kSaveFailedText, kFileErrorTitle));
  texts.set("greetingTitle", Text(kGreetingTitle));
  texts.set("greetingLines",
            Array(kGreetingLines, [](const GreetingLine& line) { return Text(line.text); }));
  texts.set("webCaption", Text(kGreetingWebCaption));
  texts.set("webAddress", Text(kGreetingWebAddress));
  // What only the page has to say about the browser's ports; their
  // failures are worded by failureMessage().
  texts.set("noPortChosen", Text(kNoPortChosen));
  texts.set("portGone", Text("Порт отключён."));
  texts.set("noWebSerial", Text(kNoWebSerial));
  texts.set("unsavedEdits", Text(kUnsavedEdits));
  texts.set("buttons", ButtonCaptions());
  return texts;
}

// A failure no command turned into its own message, with the browser's or
// the page's account in brackets after the cause: `kind` "cannotOpen" (the port would not
// open), "portLost" (it went away), else "commandFailed" (the page itself).
val FailureMessage(const std::string& kind, const std::string& system_text) {
  if (kind == "cannotOpen")
    return MessageObject(
        device::WithSystemText(device::OpenErrorText(device::OpenResult::CannotOpen), system_text),
        device::kPortTitle);
  if (kind == "portLost") {
    // The browser's words in brackets after the cause's sentence.
    const std::string_view lost = device::kPortLostText;
    const std::size_t sentence_end = lost.find(". ");
    val message = MessageObject(device::InBrackets(lost.substr(0, sentence_end), system_text) +
                                    std::string(lost.substr(sentence_end)),
                                device::kPortTitle);
    message.set("note", Text(device::NextStep(device::Outcome::LostMidRead, device::Cause::Lost)));
    return message;
  }
  // Titled as the file errors are.
  return MessageObject(device::InBrackets(kCommandFailed, system_text) + ".", kFileErrorTitle);
}

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_texts) {
  emscripten::function("texts", &qvx::web::Texts);
  emscripten::function("failureMessage", &qvx::web::FailureMessage);
}
