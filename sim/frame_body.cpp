#include "sim/frame_body.h"

#include <algorithm>

namespace qvx::sim {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
  return std::all_of(text.begin(), text.end(), IsDigit);
}

bool IsPhone(std::string_view text) {
  if (text.empty() || text.size() > 13) return false;
  return AllDigits(text.front() == '+' ? text.substr(1) : text);
}

// Walks the text section tag by tag.
class TagReader {
 public:
  explicit TagReader(std::string_view body, std::size_t start) : body_(body), at_(start) {}

  // The content after tag, up to the next "#" or the end; sets error when the
  // tag is not next.
  std::string_view Take(std::string_view tag, std::string& error) {
    if (body_.substr(at_, tag.size()) != tag) {
      error = "expected \"" + std::string(tag) + "\" at character " + std::to_string(Place());
      return {};
    }
    at_ += tag.size();
    const std::size_t end = std::min(body_.find('#', at_), body_.size());
    const std::string_view content = body_.substr(at_, end - at_);
    at_ = end;
    return content;
  }

  bool AtEnd() const { return at_ == body_.size(); }
  // Position in the whole frame, counted from 1, "A3A4" included.
  std::size_t Place() const { return at_ + kWriteCommand.size() + 1; }

 private:
  std::string_view body_;
  std::size_t at_;
};

std::string Quoted(std::string_view text) {
  return "\"" + std::string(text) + "\"";
}

}  // namespace

FrameReading ReadFrameBody(std::string_view body) {
  FrameReading reading;
  std::string& error = reading.error;
  const std::size_t block = reading.content.digits.size();
  if (body.size() < block || !AllDigits(body.substr(0, block))) {
    error = "the settings block is not " + std::to_string(block) + " digits";
    return reading;
  }
  for (std::size_t i = 0; i < block; ++i) reading.content.digits[i] = body[i] - '0';

  auto& texts = reading.content.texts;
  TagReader tags(body, block);
  for (int subscriber = 1; subscriber <= 9; ++subscriber) {
    const std::string_view number = tags.Take("#ABN" + std::to_string(subscriber), error);
    if (!error.empty()) return reading;
    if (!IsPhone(number)) {
      error = "subscriber " + std::to_string(subscriber) + " " + Quoted(number) +
              " is not an optional \"+\" and digits, 1 to 13 characters";
      return reading;
    }
    texts[subscriber - 1] = number;
  }
  const std::string_view password = tags.Take("#T1", error);
  if (!error.empty()) return reading;
  if (password.size() != 4 || !AllDigits(password)) {
    error = "password " + Quoted(password) + " is not 4 digits";
    return reading;
  }
  texts[9] = password;
  const std::string_view address = tags.Take("#T2", error);
  if (!error.empty()) return reading;
  if (address.size() != 12 || !AllDigits(address)) {
    error = "server address " + Quoted(address) + " is not 12 digits";
    return reading;
  }
  for (int part = 0; part < 4; ++part) texts[10 + part] = address.substr(part * 3, 3);
  const std::string_view port = tags.Take("#T3", error);
  if (!error.empty()) return reading;
  if (port.empty() || port.size() > 5 || !AllDigits(port)) {
    error = "port " + Quoted(port) + " is not 1 to 5 digits";
    return reading;
  }
  texts[14] = port;
  if (!tags.AtEnd()) error = "unexpected text at character " + std::to_string(tags.Place());
  return reading;
}

}  // namespace qvx::sim
