// quorvex-cli: the configurator's commands without the window.
#include <csignal>
#include <iostream>
#include <string_view>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/interrupt.h"

namespace {

struct Command {
  std::string_view name;
  int (*run)(const qvx::cli::Args&);
};

constexpr Command kCommands[] = {
    {"ports", qvx::cli::RunPorts},   {"show", qvx::cli::RunShow},
    {"diff", qvx::cli::RunDiff},     {"convert", qvx::cli::RunConvert},
    {"frame", qvx::cli::RunFrame},   {"decode", qvx::cli::RunDecode},
    {"write", qvx::cli::RunWrite},   {"read", qvx::cli::RunRead},
    {"report", qvx::cli::RunReport},
};

}  // namespace

// Runs the command named in argv[1].
int Dispatch(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << qvx::cli::UsageOf("");
    return 2;
  }
  const std::string_view name = argv[1];
  const qvx::cli::Args args(argv + 2, argv + argc);
  if (name == "--help" || name == "-h") {
    std::cout << qvx::cli::UsageOf("");
    return 0;
  }
  for (const Command& command : kCommands) {
    if (command.name != name) continue;
    if (qvx::cli::WantsHelp(args)) {
      std::cout << qvx::cli::UsageOf(name);
      return 0;
    }
    try {
      return command.run(args);
    } catch (const std::exception& error) {
      return qvx::cli::Failure(name, error.what());
    }
  }
  std::cerr << "quorvex-cli: неизвестная команда \"" << name << "\"\n" << qvx::cli::UsageOf("");
  return 2;
}

int main(int argc, char** argv) {
  // Past a file-size limit a write then fails and is reported, instead of
  // the signal ending the program with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  // Ctrl-C stops a device exchange between bytes, and a closed pipe stops
  // nothing: both must come before any thread starts.
  qvx::cli::CatchInterrupts();
  int status = Dispatch(argc, argv);
  // Output that did not get out (a full disk, a closed pipe) is a failure,
  // reported once the command has done its work.
  if (!std::cout.flush()) {
    std::cerr << "quorvex-cli " << (argc > 1 ? argv[1] : "")
              << ": ошибка записи в стандартный вывод\n";
    status = 1;
  }
  return qvx::cli::Interrupted() ? qvx::cli::kInterruptedStatus : status;
}
