// Test entry for the serial-port tests: QSerialPort needs a QCoreApplication.
// "--hold-port PORT" turns the binary into the second process of the
// exclusive-access test.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <string>

#include "tests/support/pty_test_support.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 3 && std::string(argv[1]) == "--hold-port")
    return qvx::device::testing::RunPortHolder(argv[2]);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
