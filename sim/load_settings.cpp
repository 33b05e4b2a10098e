#include "sim/load_settings.h"

#include "config_file/file_commands.h"
#include "sim/reply_text.h"

namespace qvx::sim {

std::string LoadSettingsFile(const std::string& path, MemorySettings& settings) {
  MemorySettings loaded;
  if (std::string refusal = OpenSettingsFile(path, loaded); !refusal.empty()) return refusal;
  if (!ReplyFields(loaded)) return path + ": a list has no entry selected";
  settings = loaded;
  return {};
}

}  // namespace qvx::sim
