// Counts and durations in Russian, as every summary of the CLI and the page
// words them.
#pragma once

#include <string>
#include <string_view>

namespace qvx {

// Russian plural of a noun after a count: forms for 1, for 2..4, for 5..
// ("устройство", "устройства", "устройств").
std::string CountOf(int count, std::string_view one, std::string_view few, std::string_view many);

// Seconds to a tenth with the Russian decimal comma: "5,4 с".
std::string SecondsText(double seconds);

}  // namespace qvx
