#include "sim/sim_args.h"

#include <charconv>

namespace qvx::sim {

const std::string_view kSimUsage =
    "usage: quorvex-sim [OPTIONS]\n"
    "Simulates the Quorvex device on a pseudo-terminal; prints its path first.\n"
    "  --load FILE.qvx     start from the settings of FILE instead of the defaults\n"
    "  --not-ready         answer read requests with \"A0A0\" (SIM card not ready)\n"
    "  --silent            answer nothing\n"
    "  --noise             line ends, letters and blanks around and inside the reply\n"
    "  --garbage           answer with noise only, as long as a reply, and no reply\n"
    "  --half-reply        send only the first half of the reply, without its end\n"
    "  --faulty-field KIND one field of the reply breaks its rule: code (a code field\n"
    "                      of five digits) or port (a port of six digits)\n"
    "  --trickle MS        send the reply byte by byte, MS between bytes\n"
    "  --hangup-after N    close the line after N received bytes, then exit\n"
    "  --stall-after N     take no more bytes after N received ones: writes wait\n"
    "  --delay MS          wait MS before replying (default 50)\n"
    "  --late MS           reply only after MS, in place of --delay\n"
    "  --twice             send every reply twice\n"
    "  --flood N           send N noise bytes ahead of every reply\n"
    "  --seed N            seed of the noise (default 1)\n"
    "  --log FILE          log every byte with its time to FILE (default stderr)\n"
    "  --log-bytes         log one line per byte rather than one per read or write\n"
    "  --store-nothing     take write frames but keep the settings held before\n"
    "  --store-wrong-digit store write frames with one digit wrong\n"
    "  --help              this text\n";

namespace {

bool ToNumber(const std::string& text, unsigned long long& value) {
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value);
  return !text.empty() && result.ec == std::errc() && result.ptr == end;
}

}  // namespace

std::string ParseSimArgs(const std::vector<std::string>& args, SimArgs& parsed) {
  SimOptions& options = parsed.options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help")
      parsed.help = true;
    else if (arg == "--not-ready")
      options.not_ready = true;
    else if (arg == "--silent")
      options.silent = true;
    else if (arg == "--noise")
      options.noise = true;
    else if (arg == "--log-bytes")
      parsed.log_bytes = true;
    else if (arg == "--twice")
      options.answer_twice = true;
    else if (arg == "--store-nothing")
      options.store_nothing = true;
    else if (arg == "--store-wrong-digit")
      options.store_wrong_digit = true;
    else if (arg == "--garbage")
      options.garbage = true;
    else if (arg == "--half-reply")
      options.half_reply = true;
    else if (arg == "--faulty-field") {
      const std::string kind = i + 1 < args.size() ? args[++i] : "";
      if (kind == "code")
        options.faulty_field = FaultyField::Code;
      else if (kind == "port")
        options.faulty_field = FaultyField::Port;
      else
        return arg + " needs code or port";
    } else if (arg == "--load" || arg == "--log") {
      if (i + 1 >= args.size() || args[i + 1].empty()) return arg + " needs a file name";
      (arg == "--load" ? parsed.load_file : parsed.log_file) = args[++i];
    } else if (arg == "--trickle" || arg == "--hangup-after" || arg == "--stall-after" ||
               arg == "--delay" || arg == "--late" || arg == "--flood" || arg == "--seed") {
      unsigned long long value = 0;
      if (i + 1 >= args.size() || !ToNumber(args[i + 1], value) || value > 3'600'000)
        return arg + " needs a whole number from 0 to 3600000";
      ++i;
      const std::chrono::milliseconds ms(value);
      if (arg == "--trickle")
        options.trickle = ms;
      else if (arg == "--hangup-after")
        options.hangup_after = value;
      else if (arg == "--stall-after")
        options.stall_after = value;
      else if (arg == "--delay")
        options.reply_delay = ms;
      else if (arg == "--late")
        options.late = ms;
      else if (arg == "--flood")
        options.flood = value;
      else
        options.seed = static_cast<std::uint32_t>(value);
    } else {
      return "unknown argument \"" + arg + "\"";
    }
  }
  return {};
}

}  // namespace qvx::sim
