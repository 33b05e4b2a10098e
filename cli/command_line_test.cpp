#include "cli/command_line.h"

#include <gtest/gtest.h>

namespace qvx::cli {
namespace {

// The one option parser of every command: each mistake has one message.
TEST(CommandLine, ParseArgsNamesEachMistakeOneWay) {
  static constexpr OptionSpec kOptions[] = {{"--port", true, true}, {"-o", true}, {"--json"}};
  const struct {
    Args args;
    std::string problem;
    std::vector<std::string> positional;
  } cases[] = {
      {{"a", "--json", "-o", "x", "--port", "p", "--port", "q"}, "", {"a"}},
      {{"-", ""}, "", {"-", ""}},  // "-" is standard input, "" a name to refuse later
      {{"--bogus"}, "неизвестный параметр \"--bogus\"", {}},
      {{"-x"}, "неизвестный параметр \"-x\"", {}},
      {{"--json", "--json"}, "параметр --json указан дважды", {}},
      {{"-o", "x", "-o", "y"}, "параметр -o указан дважды", {}},
      {{"-o"}, "у параметра -o нет значения", {}},
      {{"-o", ""}, "у параметра -o нет значения", {}},
      {{"-o", "--json"}, "у параметра -o нет значения", {}},
      {{"a", "b", "c"}, "лишний аргумент \"c\"", {}},
  };
  for (const auto& c : cases) {
    ParsedArgs parsed;
    EXPECT_EQ(ParseArgs(c.args, kOptions, 2, parsed), c.problem) << c.problem;
    if (c.problem.empty()) {
      EXPECT_EQ(parsed.positional, c.positional);
    }
  }
  ParsedArgs parsed;
  ASSERT_EQ(ParseArgs({"--port", "p", "-o", "x", "--port", "q"}, kOptions, 0, parsed), "");
  EXPECT_EQ(parsed.Values("--port"), (std::vector<std::string>{"p", "q"}));
  EXPECT_EQ(parsed.Value("-o"), "x");
  EXPECT_FALSE(parsed.Has("--json"));
}

}  // namespace
}  // namespace qvx::cli
