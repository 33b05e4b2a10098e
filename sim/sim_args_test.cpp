#include "sim/sim_args.h"

#include <gtest/gtest.h>

#include <functional>

namespace qvx::sim {
namespace {

// The options that shape a broken reply or line, each from its flag.
TEST(SimArgsTest, FaultFlagsSetTheirOptions) {
  const struct {
    std::vector<std::string> args;
    std::function<bool(const SimOptions&)> set;
  } cases[] = {
      {{"--garbage"}, [](const SimOptions& o) { return o.garbage; }},
      {{"--half-reply"}, [](const SimOptions& o) { return o.half_reply; }},
      {{"--faulty-field", "code"},
       [](const SimOptions& o) { return o.faulty_field == FaultyField::Code; }},
      {{"--faulty-field", "port"},
       [](const SimOptions& o) { return o.faulty_field == FaultyField::Port; }},
      {{"--stall-after", "120"}, [](const SimOptions& o) { return o.stall_after == 120; }},
  };
  for (const auto& c : cases) {
    SimArgs parsed;
    EXPECT_EQ(ParseSimArgs(c.args, parsed), "") << c.args[0];
    EXPECT_TRUE(c.set(parsed.options)) << c.args[0];
    EXPECT_FALSE(c.set(SimOptions{})) << c.args[0];
  }
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--faulty-field"}, {"--faulty-field", "text"}, {"--stall-after", "x"}}) {
    SimArgs parsed;
    EXPECT_NE(ParseSimArgs(bad, parsed), "") << bad.back();
  }
}

}  // namespace
}  // namespace qvx::sim
