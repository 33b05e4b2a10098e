// What the device sends for a read request: its settings as thirty fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings.h"

namespace qvx::sim {

inline constexpr std::string_view kNotReady = "\r\nA0A0\r\n";

// The thirty reply fields: fifteen code fields of six digits (device
// numbering), then the fifteen texts as they stand. Empty when a list has no
// entry selected, since its digit would be meaningless.
std::optional<std::vector<std::string>> ReplyFields(const Settings& settings);

// The fields joined by ":" ("111111:...:20198").
std::string JoinFields(const std::vector<std::string>& fields);

// The full reply of these fields: CR LF, every field followed by ":", "#", CR LF.
std::string ReplyText(const std::vector<std::string>& fields);

// The full reply of the settings.
std::optional<std::string> BuildReply(const Settings& settings);

}  // namespace qvx::sim
