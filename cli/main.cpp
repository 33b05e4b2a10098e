// quorvex-cli: the configurator's commands without the window.
#include <algorithm>
#include <csignal>
#include <iostream>
#include <string_view>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/interrupt.h"
#include "cli/output_check.h"

namespace {

struct Command {
  std::string_view name;
  int (*run)(const qvx::cli::Args&);
  // The exit code of an error: diff keeps 1 for "different".
  int error_status = 1;
};

constexpr Command kCommands[] = {
    {"ports", qvx::cli::RunPorts},   {"show", qvx::cli::RunShow},
    {"diff", qvx::cli::RunDiff, 2},  {"convert", qvx::cli::RunConvert},
    {"frame", qvx::cli::RunFrame},   {"decode", qvx::cli::RunDecode},
    {"write", qvx::cli::RunWrite},   {"read", qvx::cli::RunRead},
    {"report", qvx::cli::RunReport}, {"archive", qvx::cli::RunArchive},
};

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands)
    if (command.name == name) return &command;
  return nullptr;
}

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
  if (const Command* command = FindCommand(name)) {
    if (qvx::cli::WantsHelp(args)) {
      std::cout << qvx::cli::UsageOf(name);
      return 0;
    }
    try {
      return command->run(args);
    } catch (const std::exception& error) {
      qvx::cli::Failure(name, error.what());
      return command->error_status;
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
  // Output that did not get out (a full disk, a closed pipe) is an error,
  // reported once the command has done its work, even when the command
  // checked it already.
  const Command* command = argc > 1 ? FindCommand(argv[1]) : nullptr;
  if (!qvx::cli::OutputWritten(command ? command->name : ""))
    status = std::max(status, command ? command->error_status : 1);
  return qvx::cli::Interrupted() ? qvx::cli::kInterruptedStatus : status;
}
