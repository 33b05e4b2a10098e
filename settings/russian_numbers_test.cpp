#include "settings/russian_numbers.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

TEST(RussianNumbers, PluralFollowsTheLastTwoDigits) {
  const struct {
    int count;
    const char* text;
  } cases[] = {{0, "0 устройств"},    {1, "1 устройство"},    {2, "2 устройства"},
               {4, "4 устройства"},   {5, "5 устройств"},     {11, "11 устройств"},
               {12, "12 устройств"},  {14, "14 устройств"},   {21, "21 устройство"},
               {22, "22 устройства"}, {111, "111 устройств"}, {101, "101 устройство"}};
  for (const auto& c : cases)
    EXPECT_EQ(CountOf(c.count, "устройство", "устройства", "устройств"), c.text) << c.count;
}

TEST(RussianNumbers, SecondsHaveOneDecimalAfterAComma) {
  const struct {
    double seconds;
    const char* text;
  } cases[] = {{0, "0,0 с"}, {5.44, "5,4 с"}, {12.96, "13,0 с"}};
  for (const auto& c : cases) EXPECT_EQ(SecondsText(c.seconds), c.text);
}

}  // namespace
}  // namespace qvx
