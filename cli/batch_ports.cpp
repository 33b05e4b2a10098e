#include "cli/batch_ports.h"

#include <optional>

#include "config_file/file_io.h"
#include "device/port_guard.h"

namespace qvx::cli {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// The position of the first control byte of `line` (a tab is a blank), or npos.
std::size_t ControlByte(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    const auto byte = static_cast<unsigned char>(line[i]);
    if ((byte < 0x20 && byte != '\t') || byte == 0x7f) return i;
  }
  return std::string_view::npos;
}

// The line without its comment and its blanks.
std::string PortOf(std::string_view line) {
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || IsBlank(line[i - 1]))) {
      line = line.substr(0, i);
      break;
    }
  }
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(line.substr(first, line.find_last_not_of(" \t") - first + 1));
}

std::string Hex(unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 15];
}

}  // namespace

std::string ReadPortList(const std::string& path, std::vector<std::string>& ports) {
  const FileRead read = ReadSmallFile(path, kMaxPortListBytes);
  switch (read.status) {
    case ReadStatus::NotFound:
      return path + ": Файл не найден";
    case ReadStatus::TooLong:
      return path + ": слишком большой для списка портов (больше 1 МБ)";
    case ReadStatus::Unreadable:
      return path + ": Ошибка открытия файла";
    case ReadStatus::Ok:
      break;
  }
  const std::string_view text = read.bytes;
  std::vector<std::string> listed;
  int number = 0;
  for (std::size_t start = 0; start <= text.size();) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    ++number;
    if (line.ends_with('\r')) line.remove_suffix(1);  // written on Windows
    if (const std::size_t at = ControlByte(line); at != std::string_view::npos)
      return path + ": строка " + std::to_string(number) + ": управляющий символ " +
             Hex(static_cast<unsigned char>(line[at])) + " в имени порта";
    if (std::string port = PortOf(line); !port.empty()) listed.push_back(std::move(port));
    start = end + 1;
  }
  if (listed.empty()) return path + ": в списке нет ни одного порта";
  ports.insert(ports.end(), listed.begin(), listed.end());
  return "";
}

std::string PortNamedTwice(const std::vector<std::string>& ports) {
  std::vector<std::optional<std::uint64_t>> devices;
  for (const std::string& port : ports) devices.push_back(device::PortDeviceNumber(port));
  for (std::size_t i = 0; i < ports.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (ports[i] == ports[j]) return "порт " + ports[i] + " указан дважды";
      if (devices[i] && devices[i] == devices[j])
        return "порты " + ports[j] + " и " + ports[i] + " — одно и то же устройство";
    }
  }
  return "";
}

}  // namespace qvx::cli
