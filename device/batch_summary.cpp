#include "device/batch_summary.h"

#include "device/port_causes.h"
#include "settings/russian_numbers.h"

namespace qvx {

using device::Cause;
using device::Outcome;

DeviceOutcome DeviceOutcomeOf(Outcome outcome) {
  switch (outcome) {
    case Outcome::Sent:
    case Outcome::ReadSuccess:
      return DeviceOutcome::Sent;
    case Outcome::VerifyEqual:
      return DeviceOutcome::Verified;
    case Outcome::VerifyDifferent:
      return DeviceOutcome::Differs;
    case Outcome::Refused:
      return DeviceOutcome::Refused;
    case Outcome::StoppedBeforeFrame:
    case Outcome::StoppedMidFrame:
    case Outcome::StoppedBeforeCheck:
    case Outcome::StoppedReading:
      return DeviceOutcome::Interrupted;
    default:
      break;
  }
  return DeviceOutcome::Failed;
}

std::string_view CauseWords(Cause cause) {
  switch (cause) {
    case Cause::None:
      return "";
    case Cause::Lost:
      return "связь с портом потеряна";
    case Cause::WriteTimedOut:
      return "порт не принимает данные";
    case Cause::WriteFailed:
      return "ошибка записи в порт";
    case Cause::Busy:
      return device::kPortBusy;
    case Cause::Denied:
      return device::kPermissionDenied;
    case Cause::Missing:
      return device::kNoSuchDevice;
    case Cause::OpenOther:
      return "порт не открывается";
    case Cause::NoData:
      return "не удалось получить данные";
    case Cause::NotReady:
      return "SIM-карта ещё не готова";
    case Cause::FaultyField:
      return "ошибка в данных";
    case Cause::Stopped:
      return "остановлено";
  }
  return "";
}

std::string CauseText(const device::CommandResult& result) {
  switch (result.outcome) {
    case Outcome::StoppedBeforeFrame:
      return "запись не начата";
    case Outcome::StoppedMidFrame:
      return "кадр передан не полностью";
    case Outcome::StoppedBeforeCheck:
      return "кадр передан, проверка не выполнена";
    case Outcome::StoppedReading:
      return "ответ не дождались";
    default:
      break;
  }
  if (DeviceOutcomeOf(result.outcome) != DeviceOutcome::Failed) return {};
  std::string words(CauseWords(result.cause));
  if (result.frame_sent) words = "не удалось прочитать устройство после записи: " + words;
  return words;
}

std::string ResultText(const device::CommandResult& result) {
  return OutcomeText(DeviceOutcomeOf(result.outcome), result.differing, CauseText(result));
}

bool Succeeded(DeviceOutcome outcome) {
  return outcome == DeviceOutcome::Sent || outcome == DeviceOutcome::Verified;
}

std::string OutcomeText(DeviceOutcome outcome, std::size_t differing, const std::string& cause) {
  switch (outcome) {
    case DeviceOutcome::Sent:
      return "отправлено";
    case DeviceOutcome::Verified:
      return "записано и проверено";
    case DeviceOutcome::Differs:
      return "не совпадает: " +
             CountOf(static_cast<int>(differing), "настройка", "настройки", "настроек");
    case DeviceOutcome::Refused:
      return "ошибка: настройки не приняты";
    case DeviceOutcome::Interrupted:
      return "прервано: " + cause;
    case DeviceOutcome::Failed:
      break;
  }
  return "ошибка: " + cause;
}

std::string SummaryLine(const std::string& port, const std::string& outcome_text, double seconds) {
  return port + "  " + outcome_text + "  " + SecondsText(seconds);
}

std::string BatchTotal(const std::vector<DeviceOutcome>& outcomes, bool verify) {
  int good = 0;
  int differ = 0;
  int failed = 0;
  int interrupted = 0;
  for (const DeviceOutcome outcome : outcomes) {
    if (Succeeded(outcome))
      ++good;
    else if (outcome == DeviceOutcome::Differs)
      ++differ;
    else if (outcome == DeviceOutcome::Interrupted)
      ++interrupted;
    else
      ++failed;
  }
  std::string total =
      CountOf(static_cast<int>(outcomes.size()), "устройство", "устройства", "устройств") + ": " +
      std::to_string(good) + (verify ? " записано и проверено" : " отправлено");
  if (differ > 0)
    total += ", " + std::to_string(differ) + (differ == 1 ? " не совпадает" : " не совпадают") +
             " с записанным";
  if (failed > 0) total += ", " + CountOf(failed, "ошибка", "ошибки", "ошибок");
  if (interrupted > 0) total += ", " + std::to_string(interrupted) + " прервано";
  return total;
}

}  // namespace qvx
