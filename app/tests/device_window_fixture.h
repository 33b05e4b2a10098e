// The shown main window against a simulated device on a pseudo-terminal:
// the preamble of the tests that drive the device commands through the
// window.
#pragma once

#include <QComboBox>
#include <memory>

#include "app/tests/test_support.h"
#include "sim/pty_device.h"

namespace qvx::test {

class DeviceWindowFixture : public WindowFixture {
 protected:
  // Takes the device and types its port into ComboBox1.
  void UseDevice(std::unique_ptr<sim::PtyDevice> device) {
    device_ = std::move(device);
    form_->ComboBox1->setEditText(QString::fromStdString(device_->Path()));
  }
  // The window goes before the device it may still hold open.
  void CloseWindowAndDevice() {
    form_.reset();
    device_.reset();
    CloseWindow();
  }

  std::unique_ptr<sim::PtyDevice> device_;
};

}  // namespace qvx::test
