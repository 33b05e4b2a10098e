#include "device/usb_adapters.h"

#include <gtest/gtest.h>

namespace qvx::device {
namespace {

struct LabelCase {
  const char* what;
  std::vector<UsbIds> ports;
  std::vector<std::string> labels;
};

class AdapterLabelsTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(AdapterLabelsTest, NamesEveryPortOnce) {
  EXPECT_EQ(AdapterLabels(GetParam().ports), GetParam().labels) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Ports, AdapterLabelsTest,
    ::testing::Values(
        LabelCase{"none", {}, {}},
        LabelCase{
            "the four families",
            {{0x1A86, 0x7523}, {0x10C4, 0xEA60}, {0x0403, 0x6001}, {0x067B, 0x2303}},
            {"CH340 (1A86:7523)", "CP210x (10C4:EA60)", "FTDI (0403:6001)", "PL2303 (067B:2303)"}},
        LabelCase{"unknown ids keep their digits, padded and upper case",
                  {{0x1, 0xab}, {0x2341, std::nullopt}},
                  {"USB 0001:00AB", "USB 2341:0000"}},
        LabelCase{"a port without USB ids", {{}}, {"Последовательный порт"}},
        LabelCase{"two alike are numbered, a third other one is not",
                  {{0x1A86, 0x7523}, {0x0403, 0x6001}, {0x1A86, 0x7523}},
                  {"CH340 (1A86:7523) №1", "FTDI (0403:6001)", "CH340 (1A86:7523) №2"}},
        LabelCase{"same family, other product: not alike",
                  {{0x0403, 0x6001}, {0x0403, 0x6015}},
                  {"FTDI (0403:6001)", "FTDI (0403:6015)"}},
        LabelCase{
            "ids past 16 bits do not overflow the text", {{0x12345, 0x1FFFF}}, {"USB 2345:FFFF"}},
        LabelCase{"two ports without ids",
                  {{}, {}},
                  {"Последовательный порт №1", "Последовательный порт №2"}}));

TEST(BrowserOpenCauseTest, WordsEachRefusalAsOurOtherProgramsDo) {
  const struct {
    const char* name;
    const char* cause;
  } cases[] = {
      {"NetworkError", "порт занят другой программой"},
      {"InvalidStateError", "порт занят другой программой"},
      {"NotFoundError", "нет такого устройства"},
      {"SecurityError", "нет прав на доступ к порту"},
      {"", "порт не открылся"},
      {"TypeError", "порт не открылся"},
  };
  for (const auto& c : cases) EXPECT_EQ(BrowserOpenCause(c.name), c.cause) << c.name;
}

}  // namespace
}  // namespace qvx::device
