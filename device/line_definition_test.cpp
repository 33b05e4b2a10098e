#include "device/line_definition.h"

#include <gtest/gtest.h>

namespace qvx::device {
namespace {

TEST(LineDefinition, TheFixedDefinitionIs57600EightNoneOne) {
  const auto line = ParseLineDefinition(kLineDefinition);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->baud, 57600);
  EXPECT_EQ(line->parity, Parity::None);
  EXPECT_EQ(line->data_bits, 8);
  EXPECT_EQ(line->stop_bits, StopBits::One);
}

TEST(LineDefinition, OtherValuesAndRejections) {
  const auto line = ParseLineDefinition("  BAUD=9600  parity=e data=7 stop=1.5 ");
  ASSERT_TRUE(line);
  EXPECT_EQ(line->baud, 9600);
  EXPECT_EQ(line->parity, Parity::Even);
  EXPECT_EQ(line->data_bits, 7);
  EXPECT_EQ(line->stop_bits, StopBits::OneAndHalf);
  for (const char* bad : {"baud=", "baud=fast", "data=9", "parity=x", "stop=3", "speed=1", "baud"})
    EXPECT_FALSE(ParseLineDefinition(bad)) << bad;
  EXPECT_TRUE(ParseLineDefinition(""));  // the port's current settings stay
}

}  // namespace
}  // namespace qvx::device
