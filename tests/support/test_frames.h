// Write frames for the tests, put together by hand from the frame layout.
#pragma once

#include <string>

namespace qvx::sim::testing {

// Every setting at its default: the frame the configurator sends at start.
inline const std::string kDefaultBlock =
    "111111111111111111000000000000100050111111123911101111111111000000111111001107110400000000";
inline const std::string kDefaultTexts =
    "#ABN1+380501234567#ABN2+380501234567#ABN3+380501234567#ABN4+380501234567"
    "#ABN5+380501234567#ABN6+380501234567#ABN7+380501234567#ABN8+380501234567"
    "#ABN9+380501234567#T17391#T2000111222333#T320198";

// No setting at its default; every list inside its options.
inline const std::string kChangedBlock =
    "234567"   // Set01, counted from 1
    "012305"   // Set02
    "987654"   // Set03
    "000009"   // Set04
    "876545"   // Set05
    "104207"   // high threshold 42, low -7
    "123439"   // Set07
    "923501"   // Set08, TrackBar884 at 5
    "529128"   // Set09
    "070549"   // Set10, TrackBar10102 at 7, ComboBox10106 counted from 1
    "876543"   // Set11
    "345269"   // Set12, TrackBar12126 at 9
    "216185"   // Set13: radio 2, radio 1, list, radio 1, lists
    "091300"   // Set14: on the SIM card, lists, fillers
    "000000";  // reserved
inline const std::string kChangedTexts =
    "#ABN1+1#ABN20987654321098#ABN3+123456789012#ABN4+#ABN55#ABN66#ABN77#ABN88#ABN99"
    "#T11234#T2192168001010#T38080";

inline std::string Frame(const std::string& block, const std::string& texts) {
  return "A3A4" + block + texts + "##";
}

}  // namespace qvx::sim::testing
