#include "config_file/cp1251.h"

#include <gtest/gtest.h>

namespace qvx {
namespace {

TEST(Cp1251, EveryByteSurvivesARoundTrip) {
  for (int byte = 0; byte < 256; ++byte) {
    const std::string one(1, static_cast<char>(byte));
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(one)), one) << byte;
  }
}

TEST(Cp1251, BytesMapToTheirCharacters) {
  const struct {
    unsigned char byte;
    const char* text;
  } cases[] = {
      {0x41, "A"}, {0xC0, "А"}, {0xDF, "Я"}, {0xE0, "а"},        {0xFF, "я"},
      {0xA8, "Ё"}, {0xB8, "ё"}, {0xB9, "№"}, {0x88, "€"},        {0xA5, "Ґ"},
      {0xB4, "ґ"}, {0xAA, "Є"}, {0xBA, "є"}, {0xAF, "Ї"},        {0xBF, "ї"},
      {0xB2, "І"}, {0xB3, "і"}, {0x96, "–"}, {0x97, "—"},        {0xAB, "«"},
      {0xBB, "»"}, {0x80, "Ђ"}, {0x99, "™"}, {0xA0, "\xC2\xA0"}, {0x98, "\xC2\x98"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Cp1251ToUtf8(std::string(1, static_cast<char>(c.byte))), c.text) << int{c.byte};
  }
}

TEST(Cp1251, MixedTextConvertsBothWays) {
  const std::string text = "Дача №5, «Київ» +380";
  const std::optional<std::string> bytes = Utf8ToCp1251(text);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(*bytes,
            "\xC4\xE0\xF7\xE0 \xB9"
            "5, \xAB\xCA\xE8\xBF\xE2\xBB +380");
  EXPECT_EQ(Cp1251ToUtf8(*bytes), text);
}

TEST(Cp1251, TextTheCodePageCannotHoldIsRefused) {
  const char* cases[] = {
      "Müller",            // Latin letter outside the code page
      "中",                // three-byte character
      "\xF0\x9F\x98\x80",  // four-byte character
      "\xFF",              // not UTF-8
      "\xD0",              // sequence cut short
      "\xD0"
      "A",                 // bad continuation byte
      "\xC0\x80",          // overlong NUL
      "\xED\xA0\x80",      // surrogate half
      "\xF4\x90\x80\x80",  // beyond U+10FFFF
  };
  for (const char* text : cases) EXPECT_EQ(Utf8ToCp1251(text), std::nullopt) << text;
}

}  // namespace
}  // namespace qvx
