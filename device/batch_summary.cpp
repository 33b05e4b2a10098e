#include "device/batch_summary.h"

#include "settings/russian_numbers.h"

namespace qvx {

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
