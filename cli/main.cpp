// quorvex-cli: the configurator's commands without the window.
#include <csignal>
#include <iostream>
#include <string_view>

#include "cli/commands.h"

namespace {

constexpr std::string_view kUsage =
    "usage: quorvex-cli COMMAND [ARGS]\n"
    "  show [FILE] [--json]        settings (defaults, or FILE loaded onto them)\n"
    "  convert IN OUT              convert between .qvx and .json\n"
    "  frame FILE                  the frame \"Записать\" would send for FILE\n"
    "  decode [FILE|-]             settings line from raw bytes a device sent\n"
    "  write FILE --port P         write FILE's settings into the device on P\n"
    "  read --port P -o FILE       read the device on P and save to FILE\n";

int Run(std::string_view command, const qvx::cli::Args& args) {
  if (command == "show") return qvx::cli::RunShow(args);
  if (command == "convert") return qvx::cli::RunConvert(args);
  if (command == "frame") return qvx::cli::RunFrame(args);
  if (command == "decode") return qvx::cli::RunDecode(args);
  if (command == "write") return qvx::cli::RunWrite(args);
  if (command == "read") return qvx::cli::RunRead(args);
  std::cerr << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  // Past a file-size limit a write then fails and is reported, instead of
  // the signal ending the program with a temporary file left behind.
  std::signal(SIGXFSZ, SIG_IGN);
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string_view command = argv[1];
  int status = 0;
  try {
    if (command == "--help" || command == "-h")
      std::cout << kUsage;
    else
      status = Run(command, qvx::cli::Args(argv + 2, argv + argc));
  } catch (const std::exception& error) {
    std::cerr << "quorvex-cli: " << error.what() << "\n";
    return 1;
  }
  // Output that did not get out (a full disk, a closed pipe) is a failure.
  if (!std::cout.flush()) {
    std::cerr << "quorvex-cli " << command << ": standard output cannot be written\n";
    return 1;
  }
  return status;
}
