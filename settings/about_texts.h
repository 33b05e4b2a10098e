// The texts of the About window, shared by the window and the page.
#pragma once

#include <string_view>

namespace qvx {

// Both as the window has always shown them, the title's typo and the
// version's own number (not the program's QUORVEX_VERSION) included.
inline constexpr std::string_view kAboutTitle = "О прорамме";
inline constexpr std::string_view kAboutVersion = "Версия программы - 1.0.0\n ";

}  // namespace qvx
