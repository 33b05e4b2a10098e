// How a batch of devices programmed at once is summed up: one line per port
// as it finishes, then a total. The CLI and the page say it in these words.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "device/causes.h"
#include "device/command_engine.h"

namespace qvx {

enum class DeviceOutcome {
  Sent,         // written, not verified
  Verified,     // written, read back, every setting equal
  Differs,      // read back, some settings differ
  Failed,       // refused, the port failed, or the read-back failed
  Refused,      // the settings themselves were refused before any port was used
  Interrupted,  // stopped by Ctrl-C or SIGTERM (or the page's stop); the cause says how far
};

// True for the outcomes that count as done: sent, or written and verified.
bool Succeeded(DeviceOutcome outcome);

// A port's outcome in words: "записано и проверено", "не совпадает: 2 настройки",
// "ошибка: CAUSE", "прервано: CAUSE".
std::string OutcomeText(DeviceOutcome outcome, std::size_t differing, const std::string& cause);

// What a finished command counts as in a batch; a read taken over counts as done.
DeviceOutcome DeviceOutcomeOf(device::Outcome outcome);

// The cause in the words every face uses: "связь с портом потеряна",
// "порт не принимает данные", "ошибка записи в порт", "порт занят другой
// программой", ...; "" for None. Never the system's own words.
std::string_view CauseWords(device::Cause cause);

// Why a command did not succeed, in one line without the system's own
// words: the cause's words, after "не удалось прочитать устройство после
// записи: " when the frame had left; for a stop, how far it got ("кадр
// передан не полностью"). "" for a success.
std::string CauseText(const device::CommandResult& result);

// A finished command's outcome in words, as a batch's line and the
// command-line tool's one-line failure give it: OutcomeText of its
// DeviceOutcomeOf with CauseText. Equal results give equal words on every face.
std::string ResultText(const device::CommandResult& result);

// A port's summary line: "PORT  OUTCOME  5,4 с".
std::string SummaryLine(const std::string& port, const std::string& outcome_text, double seconds);

// "8 устройств: 7 записано и проверено, 1 ошибка"; `verify` chooses
// "записано и проверено" over "отправлено" for the ones that succeeded.
std::string BatchTotal(const std::vector<DeviceOutcome>& outcomes, bool verify);

}  // namespace qvx
