#include "device/causes.h"

#include <array>
#include <utility>

namespace qvx::device {
namespace {

constexpr std::array<std::pair<Cause, std::string_view>, 12> kCodes{{
    {Cause::None, ""},
    {Cause::Lost, "lost"},
    {Cause::WriteTimedOut, "writeTimedOut"},
    {Cause::WriteFailed, "writeFailed"},
    {Cause::Busy, "busy"},
    {Cause::Denied, "denied"},
    {Cause::Missing, "missing"},
    {Cause::OpenOther, "openOther"},
    {Cause::NoData, "noData"},
    {Cause::NotReady, "notReady"},
    {Cause::FaultyField, "faultyField"},
    {Cause::Stopped, "stopped"},
}};

}  // namespace

std::string_view CauseCode(Cause cause) {
  for (const auto& [known, code] : kCodes)
    if (known == cause) return code;
  return "";
}

std::optional<Cause> CauseOfCode(std::string_view code) {
  for (const auto& [cause, known] : kCodes)
    if (known == code) return cause;
  return std::nullopt;
}

bool IsOpenCause(Cause cause) {
  return cause == Cause::Busy || cause == Cause::Denied || cause == Cause::Missing ||
         cause == Cause::OpenOther;
}

}  // namespace qvx::device
