// The installer's tools for JavaScript: the sheet, the comparisons, the
// words of the history and of a batch. Settings cross as the bytes of a .qvx
// file, texts as strings.
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/backup_name.h"
#include "device/batch_summary.h"
#include "engine_names.h"
#include "js_values.h"
#include "page_tools.h"
#include "page_words.h"
#include "settings/command_captions.h"

namespace qvx::web {
namespace {

using emscripten::val;

constexpr std::string_view kHistoryCaption = "История";

// The names of the page's commands in the history, as their buttons say them.
std::string CommandWord(const std::string& command) {
  if (command == "write") return std::string(kWriteCaption);
  if (command == "read") return std::string(kReadCaption);
  if (command == "writeVerify") return std::string(kWriteVerifyCaption);
  if (command == "compare") return std::string(kCompareCaption);
  return command;
}

val ComparisonObject(const Comparison& comparison) {
  val object = val::object();
  object.set("refusal", comparison.refusal ? MessageObject(*comparison.refusal) : val::null());
  object.set("pageSide", comparison.page_side);
  object.set("otherSide", comparison.other_side);
  object.set("summary", comparison.summary);
  val rows = val::array();
  for (const ComparedRow& row : comparison.rows) {
    val shown = val::object();
    shown.set("tab", row.tab);
    shown.set("caption", row.caption);
    shown.set("page", row.page_value);
    shown.set("other", row.other_value);
    rows.call<void>("push", shown);
  }
  object.set("rows", rows);
  return object;
}

// Both sides read, or the first refusal as the comparison's outcome.
val Compared(const std::string& page_bytes, const FileSettings& other, std::string other_side) {
  const FileSettings page = SettingsOfFile(page_bytes);
  Comparison comparison;
  if (page.refusal || other.refusal) {
    comparison.refusal = page.refusal ? page.refusal : other.refusal;
  } else {
    comparison = Compare(page.settings, other.settings, std::move(other_side));
  }
  return ComparisonObject(comparison);
}

val CompareWithDefaults(const val& page_bytes) {
  return Compared(FromBytes(page_bytes), FileSettings{}, DefaultsSide());
}

val CompareWithFile(const val& page_bytes, const val& file_bytes, const std::string& name) {
  return Compared(FromBytes(page_bytes), SettingsOfFile(FromBytes(file_bytes)), FileSide(name));
}

// With the settings a read of the device took over, as a .qvx file's bytes.
val CompareWithDevice(const val& page_bytes, const val& device_bytes, const std::string& port) {
  return Compared(FromBytes(page_bytes), SettingsOfFile(FromBytes(device_bytes)), DeviceSide(port));
}

val CompareWithEntry(const val& page_bytes, const val& entry_bytes, const std::string& command,
                     const std::string& port, double epoch_ms) {
  return Compared(FromBytes(page_bytes), SettingsOfFile(FromBytes(entry_bytes)),
                  HistorySide(CommandWord(command), port, epoch_ms));
}

// `edited`: the settings were changed since file `file_name` was opened or
// saved; `about` is { object, address, installer }, each "" when not known.
std::string Sheet(const val& file_bytes, const std::string& file_name, bool mask_password,
                  bool edited, const val& about) {
  SheetFacts known;
  known.object = StringOf(about, "object");
  known.object_address = StringOf(about, "address");
  known.installer = StringOf(about, "installer");
  return SheetOfFile(FromBytes(file_bytes), file_name, mask_password, edited, known);
}

// Where settings opened from a history entry came from, in the page's title
// until they are saved: "История: Записать, COM3, 10.12.2026 12:00:00".
std::string HistorySource(const std::string& command, const std::string& port, double epoch_ms) {
  return std::string(kHistoryCaption) + ": " + HistorySide(CommandWord(command), port, epoch_ms);
}

std::string HistoryFileName(const std::string& port, double epoch_ms) {
  const auto when = static_cast<std::time_t>(epoch_ms / 1000);
  std::tm local{};
  localtime_r(&when, &local);
  return BackupFileName(port, local);
}

// A port's line of a batch, "PORT  OUTCOME  5,4 с", from the engine's
// summary(): its outcome and cause codes, in the words of every face. A
// port the page's own failure ended says the failure's `systemText`.
std::string BatchLine(const std::string& port, const val& summary, double seconds) {
  const std::optional<device::CommandResult> result = ResultOf(summary);
  return SummaryLine(port,
                     result
                         ? ResultText(*result)
                         : OutcomeText(DeviceOutcome::Failed, 0, StringOf(summary, "systemText")),
                     seconds);
}

// The batch's total from its ports' outcome codes; a code the core does not
// give (the page's own failure) counts as an error.
std::string BatchTotalOf(const val& outcome_codes, bool verify) {
  std::vector<DeviceOutcome> outcomes;
  for (const std::string& code : emscripten::vecFromJSArray<std::string>(outcome_codes)) {
    const std::optional<device::Outcome> outcome = device::OutcomeOfCode(code);
    outcomes.push_back(outcome ? DeviceOutcomeOf(*outcome) : DeviceOutcome::Failed);
  }
  return BatchTotal(outcomes, verify);
}

// Whether a port's outcome code counts as done (sent, or written and
// verified); any other is a failed line of the batch, run again by its retry.
bool BatchSucceeded(const std::string& code) {
  const std::optional<device::Outcome> outcome = device::OutcomeOfCode(code);
  return outcome && Succeeded(DeviceOutcomeOf(*outcome));
}

// A history entry's outcome in words, from the codes it keeps ({outcome,
// cause, frameSent, differing}, as the engine's summary() gives them): a
// read taken over says so, any other result as a batch's line says it. An
// entry kept before the codes holds its words in `outcome`, shown as they are.
std::string HistoryOutcome(const val& entry) {
  if (const std::optional<device::CommandResult> result = ResultOf(entry)) {
    if (result->outcome == device::Outcome::ReadSuccess) return std::string(kReadFromDevice);
    return ResultText(*result);
  }
  return StringOf(entry, "outcome");
}

// The note under the history's list when `count` kept entries were not of
// the page's shape (damaged, or kept by another version) and are left out.
std::string HistorySkipped(int count) {
  return "Не показаны повреждённые записи истории: " + std::to_string(count) + ".";
}

val ToolTexts() {
  val texts = val::object();
  const auto set = [&](const char* key, std::string_view text) { texts.set(key, Text(text)); };
  set("sheet", "Лист настроек");
  set("maskPassword", "Скрыть пароль");
  set("print", "Печать");
  set("close", kCloseCaption);
  set("compare", kCompareCaption);
  set("compareDefaults", "С настройками по умолчанию");
  set("compareFile", "С файлом…");
  set("compareDevice", "С устройством на выбранном порту");
  set("tabColumn", "Вкладка");
  set("captionColumn", "Параметр");
  set("history", kHistoryCaption);
  set("historyEmpty", "История пуста: страница ещё ничего не записала и не прочитала.");
  set("historyRefused",
      "Браузер не даёт странице хранить историю (частный режим или нет места): записанное и "
      "прочитанное не сохраняется, все команды работают.");
  set("historyOpen", kOpenCaption);
  set("historySave", kSaveCaption);
  set("historyCompare", kCompareCaption);
  set("historyTimeColumn", "Время");
  set("historyPortColumn", "Порт");
  set("historyCommandColumn", "Команда");
  set("historyOutcomeColumn", "Итог");
  val commands = val::object();
  for (const char* command : {"write", "read", "writeVerify", "compare"})
    commands.set(command, CommandWord(command));
  texts.set("commands", commands);
  set("batch", "Записать на несколько…");
  set("batchWrite", kWriteVerifyCaption);
  // Each port stops after the byte it is sending, as the CLI's Ctrl-C does.
  set("batchStop", "Остановить");
  set("batchAll", "Отметить все");
  set("batchRetry", "Повторить неудавшиеся");
  // Beside a failed port's line; the line's own words say how it failed.
  set("batchFailedMark", "✗");
  texts.set("historyLimit", 200);
  return texts;
}

}  // namespace
}  // namespace qvx::web

EMSCRIPTEN_BINDINGS(quorvex_tools) {
  using namespace qvx::web;
  emscripten::function("toolTexts", &ToolTexts);
  emscripten::function("settingsSheet", &Sheet);
  emscripten::function("compareWithDefaults", &CompareWithDefaults);
  emscripten::function("compareWithFile", &CompareWithFile);
  emscripten::function("compareWithDevice", &CompareWithDevice);
  emscripten::function("compareWithEntry", &CompareWithEntry);
  emscripten::function("localTime", &qvx::web::LocalTimeText);
  emscripten::function("historyFileName", &HistoryFileName);
  emscripten::function("batchLine", &BatchLine);
  emscripten::function("batchTotal", &BatchTotalOf);
  emscripten::function("batchSucceeded", &BatchSucceeded);
  emscripten::function("historyOutcome", &HistoryOutcome);
  emscripten::function("historySkipped", &HistorySkipped);
  emscripten::function("historySource", &HistorySource);
}
