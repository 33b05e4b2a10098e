// The maker's web address shown on the greeting page.
#pragma once

#include <QString>

#include "app/qt_text.h"
#include "settings/greeting.h"

namespace qvx {

inline const QString kWebAddressCaption = Q(kGreetingWebCaption);
inline const QString kWebAddress = Q(kGreetingWebAddress);

}  // namespace qvx
