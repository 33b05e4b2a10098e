// The captions of the window's command buttons and of its port selector,
// shared by the window and the page.
#pragma once

#include <string_view>

namespace qvx {

inline constexpr std::string_view kOpenCaption = "Открыть";                      // N2
inline constexpr std::string_view kSaveCaption = "Сохранить";                    // N3
inline constexpr std::string_view kReadCaption = "Прочитать";                    // BitBtn1
inline constexpr std::string_view kWriteCaption = "Записать";                    // BitBtn2
inline constexpr std::string_view kWriteVerifyCaption = "Записать и проверить";  // the page's own
inline constexpr std::string_view kCompareCaption = "Сравнить";                  // the page's own
inline constexpr std::string_view kPortCaption = "Порт:";  // Label19, above the port selector

}  // namespace qvx
