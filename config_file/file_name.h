// File names of configuration files.
#pragma once

#include <string>
#include <string_view>

namespace qvx {

// The name a save writes to: the name as chosen when its extension is
// ".qvx" in any letter case, else the name with ".qvx" appended. The
// extension runs from the last "." to the end, unless a "\", "/" or ":"
// follows that dot: "set.txt" gives "set.txt.qvx", "set." gives "set..qvx",
// "a.b/set" gives "a.b/set.qvx".
std::string WithQvxExtension(std::string_view name);

// True when the name ends in ".json" in any letter case.
bool HasJsonExtension(std::string_view name);

}  // namespace qvx
