// The captions of the window's command buttons, shared by the window and the page.
#pragma once

#include <string_view>

namespace qvx {

inline constexpr std::string_view kOpenCaption = "Открыть";                      // N2
inline constexpr std::string_view kSaveCaption = "Сохранить";                    // N3
inline constexpr std::string_view kReadCaption = "Прочитать";                    // BitBtn1
inline constexpr std::string_view kWriteCaption = "Записать";                    // BitBtn2
inline constexpr std::string_view kWriteVerifyCaption = "Записать и проверить";  // the page's own

}  // namespace qvx
