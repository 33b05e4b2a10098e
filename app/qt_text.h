// Conversions between the UTF-8 texts of the logic and Qt's strings.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace qvx {

inline QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string U(const QString& text) {
  return text.toStdString();
}

}  // namespace qvx
