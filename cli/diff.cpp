// quorvex-cli diff A [B] [--json]: the settings in which two sources differ.
#include <iostream>

#include "cli/command_line.h"
#include "cli/commands.h"
#include "cli/device_session.h"
#include "cli/output_check.h"
#include "cli/settings_diff.h"
#include "cli/settings_source.h"

namespace qvx::cli {

int RunDiff(const Args& args) {
  static constexpr OptionSpec kOptions[] = {{"--json"}};
  ParsedArgs parsed;
  if (const std::string problem = ParseArgs(args, kOptions, 2, parsed); !problem.empty())
    return UsageError("diff", problem);
  if (parsed.positional.empty()) return UsageError("diff", "не указан источник настроек");
  std::vector<std::string> sources = parsed.positional;
  if (sources.size() == 1) sources.push_back("defaults");

  std::unique_ptr<QCoreApplication> qt;
  if (IsPortSource(sources[0]) || IsPortSource(sources[1])) qt = StartQt(false);
  const auto a = LoadSource(sources[0], "diff", std::cerr);
  if (!a) return 2;
  const auto b = LoadSource(sources[1], "diff", std::cerr);
  if (!b) return 2;

  const std::vector<const SettingInfo*> differing = DifferingSettings(a->settings, b->settings);
  if (parsed.Has("--json"))
    std::cout << DifferencesToJson(differing, a->settings, b->settings)
                     .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
              << "\n";
  else {
    // The sides named as typed, so that a saved output still says which way "->" reads.
    std::cout << "было: " << sources[0] << " -> стало: " << sources[1] << "\n";
    if (differing.empty()) std::cout << "Различий нет\n";
    PrintDifferences(std::cout, differing, a->settings, b->settings);
  }
  if (!OutputWritten("diff")) return 2;
  return differing.empty() ? 0 : 1;
}

}  // namespace qvx::cli
