// Words the page's module says in more than one of its texts, and that the
// window has no use for.
#pragma once

#include <string_view>

#include "device/command_texts.h"

namespace qvx::web {

// The title of the application's standard dialog, as the window's.
inline constexpr std::string_view kAppTitle = device::kPortTitle;
inline constexpr std::string_view kCloseCaption = "Закрыть";
inline constexpr std::string_view kNoPortChosen = "Порт не выбран.";
// What a read took over, after the port's name in the title and in the history.
inline constexpr std::string_view kReadFromDevice = "прочитано из устройства";

}  // namespace qvx::web
