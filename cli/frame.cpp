// quorvex-cli frame FILE: the exact frame "Записать" would send for FILE's
// settings, or the message that refuses it.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_args.h"
#include "cli/settings_file.h"
#include "device/text_fields.h"
#include "device/write_frame.h"
#include "settings/catalogue.h"
#include "settings/memory_settings.h"

namespace qvx::cli {

int RunFrame(const Args& args) {
  const auto parsed = ParseDeviceArgs(args);
  if (!parsed || parsed->file.empty() || !parsed->port.empty() || !parsed->output.empty()) {
    return UsageError("frame", "нужно одно имя файла настроек");
  }
  MemorySettings settings;
  if (const std::string refusal = LoadSettingsFile(parsed->file, settings); !refusal.empty())
    return Failure("frame", refusal);
  const device::TextCheck check = device::CheckTextFields(device::ReadTextFields(settings));
  if (!check.passed) {
    for (int i = 0; i < device::kTextFieldCount; ++i) {
      if (check.marks[i] != device::FieldMark::Red) continue;
      const std::string field = device::TextFieldControl(i);
      std::cerr << Prefix("frame") << TextFieldName(*FindSetting(field)) << " (" << field << ")\n";
    }
    return Failure("frame", check.message);
  }
  device::WriteTextFields(settings, check.texts);
  const device::WriteFrame built = device::BuildWriteFrame(settings);
  if (built.frame.empty()) {
    return Failure("frame", built.message);
  }
  std::cout << built.frame << "\n";
  return 0;
}

}  // namespace qvx::cli
