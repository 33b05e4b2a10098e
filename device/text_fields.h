// Normalisation and acceptance of the subscriber, password, address and port
// fields (Edit16..Edit30) before a write, and the same rules as the device
// reply uses them. Pure functions: the caller applies texts, marks and
// messages to its own controls.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qvx::device {

inline constexpr int kTextFieldCount = 15;     // Edit16..Edit30
inline constexpr int kPhoneFields = 9;         // Edit16..Edit24
inline constexpr int kPasswordField = 9;       // Edit25
inline constexpr int kFirstAddressField = 10;  // Edit26..Edit29
inline constexpr int kAddressFields = 4;
inline constexpr int kPortField = 14;  // Edit30
inline constexpr std::size_t kMaxPhoneLength = 13;
inline constexpr std::size_t kPasswordLength = 4;
inline constexpr std::size_t kMaxAddressDigits = 3;  // per part; padded to three with zeros
inline constexpr std::size_t kMaxPortDigits = 5;

using TextFields = std::array<std::string, kTextFieldCount>;

// Control name of text field i (0..14): "Edit16".."Edit30".
std::string TextFieldControl(int i);

// A leading "+" is kept, then every decimal digit of the text; all else is dropped.
std::string NormalisePhone(std::string_view text);
// Every decimal digit of the text, in order.
std::string KeepDigits(std::string_view text);
// One to three digits padded on the left with zeros to three; other lengths unchanged.
std::string PadAddressPart(std::string_view digits);

enum class FieldMark { Unchanged, White, Red };
// When the check switches the page control to the tab "Список аб.".
enum class TabSwitch { None, BeforeMessage, AfterMessage };

struct TextCheck {
  bool passed = true;
  TextFields texts;  // texts to write back: normalised for every field the check reached
  std::array<FieldMark, kTextFieldCount> marks{};
  std::string message;  // empty when passed
  std::string title;
  TabSwitch tab = TabSwitch::None;
  bool marks_after_message = false;  // the failing port field turns red only after its message
};

// Runs the four checks in order (subscribers, password, address, port); the
// first stage that fails ends the check, so later stages keep their texts
// and marks. Never throws.
TextCheck CheckTextFields(const TextFields& texts);

}  // namespace qvx::device
