#include "cli/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "settings/memory_settings.h"
#include "tests/support/scratch_folder.h"

namespace qvx::cli {
namespace {
namespace fs = std::filesystem;

const std::string kDefaultLine =
    "000000:111111:111111:000000:000000:100050:111111:123911:101111:111110:000000:111111:001107:"
    "110400:000000:+380501234567:+380501234567:+380501234567:+380501234567:+380501234567:"
    "+380501234567:+380501234567:+380501234567:+380501234567:7391:000:111:222:333:20198:#";

class SettingsFile : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  static std::string Contents(const std::string& path) { return ScratchFolder::Contents(path); }
  static void Write(const std::string& path, const std::string& bytes) {
    ScratchFolder::Write(path, bytes);
  }
  // IN onto the defaults, then written as OUT: what "convert" does.
  std::string Convert(const std::string& in, const std::string& out) {
    MemorySettings settings;
    const std::string error = LoadSettingsFile(Path(in), settings);
    return error.empty() ? SaveSettingsFile(settings, Path(out)) : error;
  }

  ScratchFolder folder_{"cli"};
};

TEST_F(SettingsFile, QvxThroughJsonComesBackByteForByte) {
  MemorySettings settings;
  settings.SetText("Edit25", "Пароль");
  settings.SetListIndex("ComboBox11", 6);
  settings.SetSliderPosition("TrackBar1", 12);
  ASSERT_EQ(SaveSettingsFile(settings, Path("a.qvx")), "");

  ASSERT_EQ(Convert("a.qvx", "b.JSON"), "");
  ASSERT_EQ(Convert("b.JSON", "c.qvx"), "");
  EXPECT_EQ(Contents(Path("c.qvx")), Contents(Path("a.qvx")));
  EXPECT_NE(Contents(Path("b.JSON")).find("\"Edit25\": \"Пароль\""), std::string::npos);
}

TEST_F(SettingsFile, QvxBecomesWhatOpenThenSaveWouldWrite) {
  std::string line = kDefaultLine;
  line.replace(95, 9, "ab:xyzxyz");  // fillers are rewritten as zeros
  Write(Path("in.qvx"), line + "\nsecond line\r\n");
  ASSERT_EQ(Convert("in.qvx", "out"), "");
  EXPECT_EQ(Contents(Path("out.qvx")), kDefaultLine + "\r\n");
}

TEST_F(SettingsFile, RefusalsNameTheFileAndWriteNothing) {
  Write(Path("unselected.qvx"), "7" + kDefaultLine.substr(1));
  Write(Path("short.qvx"), kDefaultLine.substr(0, 27));
  Write(Path("broken.json"), "{\"ComboBox11\": ");
  Write(Path("unknown.json"), "{\"ComboBox99\": 1}");
  const struct {
    const char* in;
    const char* named;  // the file the message names
    const char* message;
  } cases[] = {
      {"unselected.qvx", "out.qvx", "Не выбрано значение параметра Set01 пункт 1"},
      {"short.qvx", "short.qvx", "Некорректный файл"},
      {"missing.qvx", "missing.qvx", "Файл не найден"},
      {"broken.json", "broken.json", "Некорректный файл: это не JSON"},
      {"unknown.json", "unknown.json", "неизвестный параметр \"ComboBox99\""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Convert(c.in, "out.qvx"), Path(c.named) + ": " + c.message);
    EXPECT_FALSE(fs::exists(Path("out.qvx"))) << c.in;
  }
}

TEST_F(SettingsFile, FileUnderTheAppendedNameIsNotReplaced) {
  Write(Path("out.qvx"), "old");
  EXPECT_EQ(SaveSettingsFile(MemorySettings(), Path("out")),
            Path("out.qvx") + ": файл уже существует и не заменён");
  EXPECT_EQ(Contents(Path("out.qvx")), "old");
}

}  // namespace
}  // namespace qvx::cli
