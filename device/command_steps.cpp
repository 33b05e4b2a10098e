#include "device/command_steps.h"

#include <array>
#include <utility>

namespace qvx::device {
namespace {

constexpr std::array<std::pair<Outcome, std::string_view>, 18> kCodes{{
    {Outcome::Refused, "refused"},
    {Outcome::CannotOpen, "cannotOpen"},
    {Outcome::WriteFailed, "writeFailed"},
    {Outcome::WriteTimedOut, "writeTimedOut"},
    {Outcome::LostMidFrame, "lostMidFrame"},
    {Outcome::LostMidRead, "lostMidRead"},
    {Outcome::StoppedBeforeFrame, "stoppedBeforeFrame"},
    {Outcome::StoppedMidFrame, "stoppedMidFrame"},
    {Outcome::StoppedBeforeCheck, "stoppedBeforeCheck"},
    {Outcome::StoppedReading, "stoppedReading"},
    {Outcome::NoData, "noData"},
    {Outcome::NotReady, "notReady"},
    {Outcome::Faulty, "faulty"},
    {Outcome::Abandoned, "abandoned"},
    {Outcome::ReadSuccess, "readSuccess"},
    {Outcome::Sent, "sent"},
    {Outcome::VerifyEqual, "verifyEqual"},
    {Outcome::VerifyDifferent, "verifyDifferent"},
}};

}  // namespace

std::string_view OutcomeCode(Outcome outcome) {
  for (const auto& [known, code] : kCodes)
    if (known == outcome) return code;
  return "";
}

std::optional<Outcome> OutcomeOfCode(std::string_view code) {
  for (const auto& [outcome, known] : kCodes)
    if (known == code) return outcome;
  return std::nullopt;
}

}  // namespace qvx::device
