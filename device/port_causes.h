// Why a port would not open, in the words every program of ours uses: the
// window shows them under "Error 1", the command-line tool after it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "device/serial_port.h"

namespace qvx::device {

inline constexpr std::string_view kNoSuchDevice = "нет такого устройства";
inline constexpr std::string_view kPortBusy = "порт занят другой программой";
inline constexpr std::string_view kPermissionDenied = "нет прав на доступ к порту";
inline constexpr std::string_view kNoPortNamed = "порт не указан";
inline constexpr std::string_view kNotATerminal = "это не устройство терминала";
inline constexpr std::string_view kDialoutHint =
    "Чтобы открывать последовательные порты, вступите в группу dialout: "
    "sudo adduser $USER dialout, затем войдите в систему заново.";

// The lines that explain `failure`: its text, then kDialoutHint when
// permission was denied. None when the text is unknown.
std::vector<std::string> PortFailureLines(const PortFailure& failure);

// PortFailureLines with the port named on the cause's line, as a message box
// shows them under its first line: "Порт ttyUSB0: нет такого устройства".
// An empty name is named as such.
std::vector<std::string> PortFailureLines(std::string_view port, const PortFailure& failure);

}  // namespace qvx::device
