#include "device/write_frame.h"

#include <gtest/gtest.h>

#include "settings/memory_settings.h"

namespace qvx::device {
namespace {

TEST(WriteFrame, DefaultsGiveTheKnownFrameOf288Characters) {
  MemorySettings settings;
  const WriteFrame built = BuildWriteFrame(settings);
  ASSERT_TRUE(built.message.empty());
  EXPECT_EQ(built.frame.size(), 288u);
  EXPECT_EQ(
      built.frame.substr(0, 99),
      "A3A4111111111111111111000000000000100050111111123911101111111111000000111111001107110400"
      "000000#ABN1");
  EXPECT_EQ(built.frame.substr(built.frame.size() - 50),
            "#ABN9+380501234567#T17391#T2000111222333#T320198##");
}

TEST(WriteFrame, ShortestTextsGiveTheShortestFrame) {
  MemorySettings settings;
  for (int i = 0; i < kPhoneFields; ++i) settings.SetText(TextFieldControl(i), "+");
  settings.SetText("Edit30", "0");
  const std::string frame = BuildWriteFrame(settings).frame;
  EXPECT_EQ(frame.size(), 176u);
  EXPECT_EQ(frame.substr(94),
            "#ABN1+#ABN2+#ABN3+#ABN4+#ABN5+#ABN6+#ABN7+#ABN8+#ABN9+#T17391#T2000111222333#T30##");
}

TEST(WriteFrame, ThresholdsRadiosAndDeviceNumberedLists) {
  MemorySettings settings;
  settings.SetSliderPosition("TrackBar1", -7);
  settings.SetSliderPosition("TrackBar2", 42);
  settings.SetListIndex("ComboBox61", 6);
  settings.SetListIndex("ComboBox10106", 8);
  settings.SetRadioNumber("Set13.1", 2);
  settings.SetRadioNumber("Set14.1", 0);
  const std::string frame = BuildWriteFrame(settings).frame;
  EXPECT_EQ(frame.substr(4, 6), "111117");          // group 1, index + 1
  EXPECT_EQ(frame.substr(34, 6), "104207");         // group 6
  EXPECT_EQ(frame[63], '9');                        // group 10 digit 6, index + 1
  EXPECT_EQ(frame[76], '2');                        // group 13 digit 1
  EXPECT_EQ(frame.substr(82, 12), "010400000000");  // group 14 with fillers, group 15
}

TEST(WriteFrame, ListWithoutSelectionRefusesNamingTheFirstOne) {
  MemorySettings settings;
  settings.SetListIndex("ComboBox10104", 12);
  settings.SetListIndex("ComboBox553", 12);
  const WriteFrame built = BuildWriteFrame(settings);
  EXPECT_TRUE(built.frame.empty());
  EXPECT_EQ(built.message, "Не выбрано значение параметра Set05 пункт 3");
  EXPECT_EQ(built.title, "Ошибка");
}

}  // namespace
}  // namespace qvx::device
