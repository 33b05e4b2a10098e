#include "cli/port_list.h"

#include <gtest/gtest.h>

namespace qvx::cli {
namespace {

// Names and adapter texts come from the system and from whoever built the
// adapter: none of them may drive the terminal; JSON keeps them exact.
TEST(PortList, LinesShowControlBytesEscapedAndJsonKeepsThem) {
  const auto port = [](std::string name, std::string description, std::string manufacturer) {
    PortDetails details;
    details.name = std::move(name);
    details.description = std::move(description);
    details.manufacturer = std::move(manufacturer);
    return details;
  };
  const struct {
    PortDetails port;
    std::string line;
  } cases[] = {
      {port("ttyS0", "", ""), "ttyS0"},
      {port("ttyUSB0", "Адаптер", ""), "ttyUSB0  Адаптер"},
      {port("tty\x1b[2J", "", ""), "tty\\x1B[2J"},
      {port("ttyUSB1", "FT232R\x07\n", "FTDI\x7f"), "ttyUSB1  FT232R\\x07\\x0A, FTDI\\x7F"},
      {port(std::string("tty\0x", 5), "", ""), "tty\\x00x"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PortLine(c.port), c.line);
    EXPECT_EQ(PortsToJson({c.port})[0]["name"], c.port.name);
    EXPECT_EQ(PortsToJson({c.port})[0]["description"], c.port.description);
  }
}

}  // namespace
}  // namespace qvx::cli
