#include "cli/batch_write.h"

#include <atomic>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "cli/command_line.h"
#include "cli/interrupt.h"
#include "cli/port_workers.h"
#include "cli/progress.h"
#include "cli/settings_diff.h"
#include "device/port_causes.h"
#include "settings/russian_numbers.h"

namespace qvx::cli {
namespace {

double Seconds(std::chrono::milliseconds took) {
  return static_cast<double>(took.count()) / 1000.0;
}

std::string SettingsCount(std::size_t count) {
  return CountOf(static_cast<int>(count), "настройка", "настройки", "настроек");
}

std::string OutcomeText(const DeviceResult& result) {
  return qvx::OutcomeText(result.outcome, result.differing.size(), result.cause);
}

// Every line of `text` on stderr after `prefix`.
void PrintPrefixed(const std::string& text, const std::string& prefix) {
  PrefixedLines prefixed(std::cerr, prefix);
  std::ostream(&prefixed) << text << std::flush;
}

// A failure of a port in one line, the port's own words on a line of their own.
void PrintFailure(const DeviceResult& result) {
  Failure("write", result.port + ": " + result.cause);
  // Our own words of a refused open say no more than the cause does.
  if (!result.system_text.empty() && result.system_text != CauseWords(result.cause_kind))
    PrintPrefixed(result.system_text + "\n", Prefix("write") + result.port + ": ");
}

// The dialout hint is about the user, not the port: a batch gives it once.
void PrintDialoutHint(const std::string& prefix) {
  std::cerr << prefix << device::kDialoutHint << "\n" << std::flush;
}

void PrintDeviceDifferences(std::ostream& out, const DeviceResult& result) {
  out << "записано -> в устройстве:\n";
  PrintDifferences(out, result.differing, result.sent, result.held);
}

std::string BatchTotal(const std::vector<DeviceResult>& results, bool verify) {
  std::vector<DeviceOutcome> outcomes;
  for (const DeviceResult& result : results) outcomes.push_back(result.outcome);
  return qvx::BatchTotal(outcomes, verify);
}

}  // namespace

int WriteOnePort(const MemorySettings& settings, const std::string& port, const WriteJob& job,
                 const ResultHook& on_result) {
  DeviceResult result;
  {
    const Progress progress(job.verify ? "проверка устройства на порту " + port +
                                             ": ожидание сохранения и чтение"
                                       : "запись на порт " + port);
    result = ProgramDevice(settings, port, job, std::cout);
  }
  if (on_result) on_result(result);
  const bool refused = result.outcome == DeviceOutcome::Refused;
  if (result.outcome != DeviceOutcome::Failed)
    PrintPrefixed(result.failure, Prefix("write") + (refused ? job.file : port) + ": ");
  switch (result.outcome) {
    case DeviceOutcome::Sent:
      return 0;
    case DeviceOutcome::Verified:
      std::cout << "Проверено: устройство хранит записанные настройки\n";
      return 0;
    case DeviceOutcome::Differs:
      PrintDeviceDifferences(std::cout, result);
      std::cout.flush();
      Failure("write", port + ": устройство хранит не то, что записано (" +
                           SettingsCount(result.differing.size()) + " не совпадает)");
      return 1;
    case DeviceOutcome::Interrupted:
      Failure("write", port + ": прервано: " + result.cause);
      return kInterruptedStatus;
    case DeviceOutcome::Failed:
      PrintFailure(result);
      if (result.permission_denied) PrintDialoutHint(Prefix("write") + port + ": ");
      return 1;
    case DeviceOutcome::Refused:
      break;
  }
  return 1;
}

int WriteManyPorts(const MemorySettings& settings, const std::vector<std::string>& ports,
                   const WriteJob& job, const ResultHook& on_result) {
  std::atomic<std::size_t> done = 0;
  std::vector<DeviceResult> results;
  {
    Progress progress([&] {
      return "программирование: готово " + std::to_string(done.load()) + " из " +
             std::to_string(ports.size());
    });
    const auto program = [&](const std::string& port) {
      std::ostringstream log;  // the per-port summary replaces the console log
      return ProgramDevice(settings, port, job, log);
    };
    RunOnEveryPort(ports, program, [&](DeviceResult finished) {
      results.push_back(std::move(finished));
      ++done;
      const DeviceResult& result = results.back();
      if (on_result) on_result(result);
      progress.Interrupt([&] {
        std::cout << SummaryLine(result.port, OutcomeText(result), Seconds(result.took)) << "\n";
        // Where the device's former settings went, under its line.
        if (!result.backup.empty()) std::cout << "    копия: " << result.backup << "\n";
        if (!result.backup_failure.empty())
          std::cout << "    без копии: " << result.backup_failure << "\n";
        if (result.outcome == DeviceOutcome::Differs) {
          PrefixedLines indented(std::cout, "    ");
          std::ostream indented_out(&indented);
          PrintDeviceDifferences(indented_out, result);
        }
        // The summary line on stdout and the failure's line on stderr, for
        // whoever reads only that, with the port's own words under it, are
        // the failure's whole report.
        if (result.outcome == DeviceOutcome::Failed) PrintFailure(result);
      });
    });
  }

  // A refusal is about the settings, the same on every port: said once.
  for (const DeviceResult& result : results) {
    if (result.outcome != DeviceOutcome::Refused) continue;
    PrintPrefixed(result.failure, Prefix("write") + job.file + ": ");
    break;
  }
  for (const DeviceResult& result : results) {
    if (!result.permission_denied) continue;
    PrintDialoutHint(Prefix("write"));
    break;
  }
  std::cout << BatchTotal(results, job.verify) << "\n" << std::flush;
  if (Interrupted()) return kInterruptedStatus;
  for (const DeviceResult& result : results)
    if (!Succeeded(result.outcome)) return 1;
  return 0;
}

}  // namespace qvx::cli
