#include "device/backup_name.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

TEST(BackupName, PortsBecomeSafeFileNames) {
  const struct {
    const char* port;
    const char* safe;
  } cases[] = {
      {"ttyUSB0", "ttyUSB0"},
      {"/dev/pts/4", "pts_4"},
      {"/dev/serial/by-id/usb-1a86_USB2.0-port0", "serial_by-id_usb-1a86_USB2.0-port0"},
      {"/tmp/link", "_tmp_link"},
      {"COM3", "COM3"},
      {"\\\\.\\COM12", "__._COM12"},
      {"..", "_."},
      {"../../etc/passwd", "_._.._etc_passwd"},
      {"a b\tc\x1b", "a_b_c_"},
      {"x:*?\"<>|", "x_______"},
      {"Симулятор устройства", "Симулятор_устройства"},
      {"", "port"},
      {"/dev/", "port"},
  };
  for (const auto& c : cases) EXPECT_EQ(SafePortName(c.port), c.safe) << c.port;
}

TEST(BackupName, NameEndsInTheLocalTimeToTheSecond) {
  std::tm at{};
  at.tm_year = 2026 - 1900;
  at.tm_mon = 11;
  at.tm_mday = 9;
  at.tm_hour = 3;
  at.tm_min = 5;
  at.tm_sec = 7;
  EXPECT_EQ(BackupFileName("/dev/pts/4", at), "pts_4-20261209-030507.qvx");
}

}  // namespace
}  // namespace qvx
