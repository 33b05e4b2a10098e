#include "cli/port_list.h"

#include <QSerialPortInfo>
#include <filesystem>
#include <system_error>

#include "device/device_link.h"
#include "device/qt_serial_port.h"
#include "settings/setting_text.h"
#include "sim/simulated_ports.h"

namespace qvx::cli {
namespace {

namespace fs = std::filesystem;

// The link wants a host; listing ports shows nothing.
class SilentHost : public device::LinkHost {
 public:
  void AppendLog(const std::string&) override {}
  void ShowMessage(const std::string&, const std::string&, device::MessageKind) override {}
  void ShowPortError(const std::string&) override {}
  void ProcessEvents() override {}
  void Pause(int) override {}
};

std::string Hex4(quint16 value) {
  return QString::number(value, 16).rightJustified(4, QLatin1Char('0')).toStdString();
}

// The /dev/serial/by-id link that resolves to `location`.
std::string ByIdName(const std::string& location) {
  std::error_code error;
  const fs::path target = fs::canonical(location, error);
  if (error) return {};
  for (fs::directory_iterator it("/dev/serial/by-id", error), end; !error && it != end;
       it.increment(error)) {
    std::error_code link_error;
    if (fs::canonical(it->path(), link_error) == target && !link_error) return it->path().string();
  }
  return {};
}

}  // namespace

std::vector<PortDetails> ListPortDetails() {
  device::QtSerialPort serial;
  SilentHost host;
  const device::DeviceLink link(serial, host, ListSimulatedPorts);
  const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
  const std::vector<std::string> simulated = ListSimulatedPorts();

  std::vector<PortDetails> ports;
  for (const std::string& name : link.ListComPorts()) {
    PortDetails port;
    port.name = name;
    port.location = name.starts_with("/") ? name : "/dev/" + name;
    port.simulator = std::find(simulated.begin(), simulated.end(), name) != simulated.end();
    for (const QSerialPortInfo& info : infos) {
      if (info.portName().toStdString() != name) continue;
      port.location = info.systemLocation().toStdString();
      port.description = info.description().toStdString();
      port.manufacturer = info.manufacturer().toStdString();
      port.serial_number = info.serialNumber().toStdString();
      if (info.hasVendorIdentifier()) port.vendor_id = Hex4(info.vendorIdentifier());
      if (info.hasProductIdentifier()) port.product_id = Hex4(info.productIdentifier());
      break;
    }
    if (port.simulator) port.description = "симулятор устройства quorvex-sim";
    port.by_id = ByIdName(port.location);
    ports.push_back(std::move(port));
  }
  return ports;
}

std::string DescribePort(const PortDetails& port) {
  std::vector<std::string> parts;
  if (port.Usb()) parts.push_back("USB " + port.vendor_id + ":" + port.product_id);
  for (const std::string* part : {&port.description, &port.manufacturer})
    if (!part->empty()) parts.push_back(*part);
  if (!port.serial_number.empty()) parts.push_back("серийный номер " + port.serial_number);
  if (!port.by_id.empty()) parts.push_back(port.by_id);
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
  return text;
}

std::string PortLine(const PortDetails& port) {
  const std::string description = DescribePort(port);
  return EscapeControlBytes(port.name) +
         (description.empty() ? "" : "  " + EscapeControlBytes(description));
}

nlohmann::ordered_json PortsToJson(const std::vector<PortDetails>& ports) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const PortDetails& port : ports) {
    nlohmann::ordered_json entry;
    entry["name"] = port.name;
    entry["location"] = port.location;
    entry["description"] = port.description;
    entry["manufacturer"] = port.manufacturer;
    entry["serial_number"] = port.serial_number;
    entry["vendor_id"] = port.vendor_id;
    entry["product_id"] = port.product_id;
    entry["by_id"] = port.by_id;
    entry["usb"] = port.Usb();
    entry["simulator"] = port.simulator;
    list.push_back(std::move(entry));
  }
  return list;
}

}  // namespace qvx::cli
