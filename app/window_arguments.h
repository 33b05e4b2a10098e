// The window's command line. It is read from the raw bytes of argv before
// the application object exists, so that --help and --version need no
// display, and a file name keeps its bytes whatever their encoding (a
// Windows-1251 name from an archive opens as the file system spells it).
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace qvx {

struct WindowArguments {
  enum class Action {
    OpenWindow,  // the window, with `file` opened when one is named
    Help,        // usage on stdout, exit 0
    Version,     // "Quorvex 1.0.6.6" on stdout, exit 0
    UsageError,  // `error`, then the usage on stderr, exit 2
  };
  Action action = Action::OpenWindow;
  std::optional<std::string> file;  // the first file name, bytes as given
  std::string error;
};

// `words` are the arguments after the program's name. "--help" and
// "--version" ask for their answer; any other word that starts with "-" is a
// usage error, unless it follows "--", after which every word is a file
// name. Of several file names the first counts. An unknown option wins over
// --help, and --help over --version.
WindowArguments ParseWindowArguments(const std::vector<std::string>& words);

// The usage, in Russian, ending with a line break.
std::string WindowUsage();

// For every action but OpenWindow: prints its answer on `out` or `err` and
// returns the exit status (0 or 2). OpenWindow prints nothing and gives -1.
int AnswerWithoutWindow(const WindowArguments& arguments, std::ostream& out, std::ostream& err);

}  // namespace qvx
