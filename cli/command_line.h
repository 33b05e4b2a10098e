// What every quorvex-cli command shares: its usage text, help, usage errors
// and failures under one "quorvex-cli COMMAND:" prefix, and a small option
// parser that refuses unknown, repeated and value-less options.
#pragma once

#include <map>
#include <ostream>
#include <span>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"

namespace qvx::cli {

// The usage text of `command` ("write", ...), or of the whole tool for an
// unknown name. Ends in a line end.
std::string_view UsageOf(std::string_view command);

// True when any argument is "--help" or "-h".
bool WantsHelp(const Args& args);

// Prints "quorvex-cli COMMAND: problem" and the command's usage on stderr;
// returns the usage-error exit code 2.
int UsageError(std::string_view command, const std::string& problem);

// "quorvex-cli COMMAND: " — the start of every message a command prints.
std::string Prefix(std::string_view command);

// Prints Prefix(command) + message on stderr; returns the failure exit code 1.
int Failure(std::string_view command, const std::string& message);

struct OptionSpec {
  std::string_view name;  // "--port", "-o"
  bool takes_value = false;
  bool repeatable = false;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::vector<std::string>, std::less<>> options;

  bool Has(std::string_view option) const { return options.contains(option); }
  // The option's (last) value; "" when absent.
  std::string Value(std::string_view option) const;
  const std::vector<std::string>& Values(std::string_view option) const;
};

// Parses `args` against `options`, allowing at most `max_positional`
// positional arguments. Returns "" on success, else the problem in words:
// an unknown option, a missing value, an option given twice that may not
// be, a positional argument too many.
std::string ParseArgs(const Args& args, std::span<const OptionSpec> options,
                      std::size_t max_positional, ParsedArgs& parsed);

// A stream buffer that puts `prefix` before every line written through it.
class PrefixedLines : public std::streambuf {
 public:
  PrefixedLines(std::ostream& target, std::string prefix)
      : target_(target), prefix_(std::move(prefix)) {}

 protected:
  int_type overflow(int_type c) override;
  int sync() override;

 private:
  std::ostream& target_;
  std::string prefix_;
  bool at_line_start_ = true;
};

}  // namespace qvx::cli
