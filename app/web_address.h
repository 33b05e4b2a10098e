// The maker's web address shown on the greeting page.
#pragma once

#include <QString>

namespace qvx {

inline const QString kWebAddressCaption = QStringLiteral("WWW.QUORVEX.COM");
inline const QString kWebAddress = QStringLiteral("http://www.quorvex.com");

}  // namespace qvx
