// What the page shows beyond the window's commands, for the installer who
// runs it on a laptop: the port's label, state and chooser, the adapters'
// names, the keyboard's About window, the progress and recording notes and
// the update offer. Every word the page's scripts show comes from here or
// from the page's other texts.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <string>
#include <string_view>
#include <vector>

#include "device/batch_summary.h"
#include "device/causes.h"
#include "device/usb_adapters.h"
#include "js_values.h"
#include "page_words.h"
#include "settings/about_texts.h"
#include "settings/command_captions.h"

namespace qvx::web {
namespace {

using emscripten::val;

val Said(std::string_view text, std::string_view title = kAppTitle) {
  return MessageObject(text, title);
}

constexpr std::string_view kDriverHint =
    "Установите драйвер программатора: CH340/CH341, CP210x, FTDI или PL2303 (Windows). "
    "В Linux вступите в группу dialout: sudo adduser $USER dialout, затем войдите в систему "
    "заново.";

constexpr std::string_view kConnectCaption = "Подключить программатор…";

// "... нажмите «Подключить программатор…» ...", the button named as it is captioned.
std::string Press(std::string_view before, std::string_view after) {
  return std::string(before) + "«" + std::string(kConnectCaption) + "»" + std::string(after);
}

val InstallerTexts() {
  val texts = val::object();
  texts.set("portLabel", Text(kPortCaption));
  texts.set("connect", Text(kConnectCaption));
  texts.set("disconnect", Text("Отключить"));
  // The page's own step below the greeting, whose lines stay the window's.
  texts.set("connectStep", Text(Press("На этой странице сначала нажмите ",
                                      " (слева вверху) и выберите программатор в списке браузера; "
                                      "его порт появится в списке «Порт».")));
  texts.set("namePort", Text("Назвать порт…"));
  texts.set("namePrompt",
            Text("Название порта, чтобы отличать одинаковые программаторы (например, надпись "
                 "на наклейке). Пустое название убирает прежнее:"));
  texts.set("simulatorNote",
            Text("Выбран симулятор: настройки никуда не передаются. Подключите программатор и "
                 "выберите его порт."));
  texts.set("declined",
            Said(std::string(kNoPortChosen) + Press(" Подключите программатор к USB, нажмите ",
                                                    " и выберите его в списке браузера.")));
  texts.set("blocked", Said(Press("Браузер запретил странице доступ к последовательным портам. "
                                  "Разрешите его в настройках сайта (значок слева от адреса), "
                                  "затем нажмите ",
                                  " снова.")));
  // The browser's chooser closed with no port on a first visit: cancelled,
  // or nothing in it to pick; the browser does not tell which.
  texts.set("chooserCancelled",
            Said(std::string("Выбор порта отменён: порт не выбран. Если программатора не было в "
                             "списке браузера, подключите его к USB. ")
                     .append(kDriverHint)
                     .append(Press(" Затем нажмите ", " ещё раз."))));
  texts.set("aboutTitle", Text(kAboutTitle));
  texts.set("aboutVersion", Text(kAboutVersion));
  texts.set("close", Text(kCloseCaption));
  texts.set("recording",
            Text("Устройство записывает настройки: дождитесь трёх длинных звуковых сигналов "
                 "(около 3 с)."));
  texts.set("unsavedRead",
            Text("Настройки изменены и не сохранены. Прочитать устройство, отбросив изменения?"));
  texts.set("updateRestart", Text("Перезапустить"));
  texts.set("updateLater", Text("Позже"));
  texts.set("skipToSettings", Text("Перейти к настройкам"));
  return texts;
}

// Labels for the browser's ports, from their getInfo() objects, in order.
val AdapterLabelsOf(const val& infos) {
  std::vector<device::UsbIds> ports;
  const int length = infos["length"].as<int>();
  for (int i = 0; i < length; ++i) {
    const val info = infos[i];
    device::UsbIds ids;
    if (info["usbVendorId"].isNumber()) ids.vendor = info["usbVendorId"].as<int>();
    if (info["usbProductId"].isNumber()) ids.product = info["usbProductId"].as<int>();
    ports.push_back(ids);
  }
  val labels = val::array();
  for (const std::string& label : device::AdapterLabels(ports)) labels.call<void>("push", label);
  return labels;
}

// The status line under the selector for the port named `port` in `state`
// ("closed", "open", "lost", "failed" with its `cause`, or "none" when no
// port is chosen).
std::string PortStatus(const std::string& state, const std::string& port,
                       const std::string& cause) {
  if (state == "open") return port + ": подключён";
  if (state == "lost") return port + ": связь потеряна";
  if (state == "failed") return port + ": не подключается — " + cause;
  if (state == "closed") return port + ": не подключён";
  return "Порт не выбран";
}

// A port's label with the name the installer gave it, wherever the port is
// shown; `name` empty leaves the label as it is.
std::string NamedPort(const std::string& label, const std::string& name) {
  if (name.empty()) return label;
  return label + " — «" + name + "»";
}

// The source a read's settings are shown as coming from, in the title:
// "PORT: прочитано из устройства".
std::string ReadFrom(const std::string& port) {
  return port + ": " + std::string(kReadFromDevice);
}

// The line below a success's own text that names the port it went to.
std::string SentTo(const std::string& port) {
  return std::string(kPortCaption) + " " + port;
}

// The update bar's text for the waiting version `release` ("1.0.6.7") of
// the page's files `build` (their hash); either may be unknown ("").
std::string UpdateReady(const std::string& release, const std::string& build) {
  std::string text = "Готова новая версия страницы";
  if (!release.empty()) text += ": v." + release;
  if (!build.empty()) text += (release.empty() ? ": сборка " : ", сборка ") + build.substr(0, 8);
  return text + ".";
}

// The caption beside the frame's progress bar.
std::string SendingProgress(int sent, int total) {
  return "Передача: " + std::to_string(sent) + " из " + std::to_string(total) + " байт";
}

// The page's own error name for a port whose last close has not ended
// (ports.js): the browser still waits for its line to drain.
constexpr std::string_view kPortNotClosedName = "PortNotClosed";
// The browser's name for a port this page holds open already: no other
// program's doing.
constexpr std::string_view kOpenHereName = "InvalidStateError";
constexpr std::string_view kOpenHere =
    "порт уже открыт этой страницей: повторите команду; если не поможет, нажмите «Отключить» и "
    "повторите";
constexpr std::string_view kPortNotClosed =
    "порт не закрылся после прошлой команды: программатор не принимает данные. Повторите "
    "команду позже или отключите и снова подключите программатор";

// Why the browser would not open a port, from its DOMException's name and
// text: it names a refusal of the system's permission only in its text.
device::Cause OpenCause(const std::string& error_name, const std::string& browser_text) {
  if (error_name == kPortNotClosedName || error_name == kOpenHereName)
    return device::Cause::OpenOther;
  if (browser_text == "Access denied.") return device::Cause::Denied;
  return device::BrowserOpenCauseOf(error_name);
}

// The open failure's line under "Error 1": the cause in our words, the
// browser's own text after it in brackets.
std::string OpenFailureLine(const std::string& error_name, const std::string& browser_text) {
  if (error_name == kPortNotClosedName) return std::string(kPortNotClosed);
  const device::Cause cause = OpenCause(error_name, browser_text);
  std::string line(error_name == kOpenHereName         ? kOpenHere
                   : cause == device::Cause::OpenOther ? device::BrowserOpenCause(error_name)
                                                       : CauseWords(cause));
  if (!browser_text.empty()) line += " (" + browser_text + ")";
  return line;
}

// The same failure's cause code (device::CauseCode): "busy", "denied",
// "missing" or "openOther".
std::string OpenFailureCause(const std::string& error_name, const std::string& browser_text) {
  return std::string(device::CauseCode(OpenCause(error_name, browser_text)));
}

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_installer) {
  using namespace qvx::web;
  emscripten::function("installerTexts", &InstallerTexts);
  emscripten::function("adapterLabels", &AdapterLabelsOf);
  emscripten::function("openFailureLine", &OpenFailureLine);
  emscripten::function("openFailureCause", &OpenFailureCause);
  emscripten::function("portStatus", &PortStatus);
  emscripten::function("namedPort", &NamedPort);
  emscripten::function("sentTo", &SentTo);
  emscripten::function("readFrom", &ReadFrom);
  emscripten::function("sendingProgress", &SendingProgress);
  emscripten::function("updateReady", &UpdateReady);
}
