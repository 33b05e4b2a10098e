// quorvex-cli: the configurator's commands without the window.
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

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string_view command = argv[1];
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  const qvx::cli::Args args(argv + 2, argv + argc);
  try {
    if (command == "show") return qvx::cli::RunShow(args);
    if (command == "convert") return qvx::cli::RunConvert(args);
    if (command == "frame") return qvx::cli::RunFrame(args);
    if (command == "decode") return qvx::cli::RunDecode(args);
    if (command == "write") return qvx::cli::RunWrite(args);
    if (command == "read") return qvx::cli::RunRead(args);
  } catch (const std::exception& error) {
    std::cerr << "quorvex-cli: " << error.what() << "\n";
    return 1;
  }
  std::cerr << kUsage;
  return 2;
}
