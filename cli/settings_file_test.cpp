#include "cli/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "cli/settings_json.h"
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

// The JSON of the default settings with `edit` applied to it, as text.
std::string DefaultJson(const std::function<void(nlohmann::ordered_json&)>& edit = {}) {
  nlohmann::ordered_json object = SettingsToJson(MemorySettings());
  if (edit) edit(object);
  return object.dump(2);
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

// A settings JSON is a whole set: what it lacks, repeats or holds beyond the
// catalogue, and every value a setting cannot hold, is the input's fault.
TEST_F(SettingsFile, JsonThatIsNoWholeSettingsSetIsRefusedNamingKeyAndValue) {
  using Json = nlohmann::ordered_json;
  const std::string all = DefaultJson();
  const auto without = [](std::initializer_list<const char*> keys) {
    return DefaultJson([&](Json& object) {
      for (const char* key : keys) object.erase(key);
    });
  };
  const auto with = [](const char* key, Json value) {
    return DefaultJson([&](Json& object) { object[key] = value; });
  };
  const struct {
    std::string json;
    std::string message;
  } cases[] = {
      {"{}",
       "не хватает параметров: ComboBox11, ComboBox21, ComboBox31, ComboBox41, ComboBox51, "
       "ComboBox61, ComboBox12, ComboBox22, ComboBox32, ComboBox42 и ещё 83"},
      {without({"Edit30"}), "не хватает параметров: Edit30"},
      {without({"ComboBox11", "TrackBar2", "Set13.1", "Edit16", "Edit17", "Edit18", "Edit19",
                "Edit20", "Edit21", "Edit22"}),
       "не хватает параметров: ComboBox11, TrackBar2, Set13.1, Edit16, Edit17, Edit18, Edit19, "
       "Edit20, Edit21, Edit22"},
      {"{\"Edit25\": \"1\", " + all.substr(1), "параметр \"Edit25\" указан дважды"},
      {with("Edit31", "1"), "неизвестный параметр \"Edit31\""},
      {"[1, 2]", "настройки должны быть одним объектом JSON"},
      {with("ComboBox11", 9),
       "недопустимое значение у параметра \"ComboBox11\": 9 (допустимо от 0 до 6)"},
      {with("ComboBox11", -1),
       "недопустимое значение у параметра \"ComboBox11\": -1 (допустимо от 0 до 6)"},
      {with("ComboBox11", "2"),
       "недопустимое значение у параметра \"ComboBox11\": \"2\" (нужно целое число или null)"},
      {with("TrackBar2", 500),
       "недопустимое значение у параметра \"TrackBar2\": 500 (допустимо от -50 до 99)"},
      {with("TrackBar10102", 0),
       "недопустимое значение у параметра \"TrackBar10102\": 0 (допустимо от 1 до 9)"},
      {with("TrackBar884", 2.5),
       "недопустимое значение у параметра \"TrackBar884\": 2.5 (нужно целое число)"},
      {with("TrackBar884", nullptr),
       "недопустимое значение у параметра \"TrackBar884\": null (нужно целое число)"},
      {with("Set13.1", 3),
       "недопустимое значение у параметра \"Set13.1\": 3 (допустимо от 0 до 2)"},
      {with("Edit16", 380501234567),
       "недопустимое значение у параметра \"Edit16\": 380501234567 (нужна строка)"},
      {with("Edit16", Json::array({1234567890, 1234567890, 1234567890, 1234567890})),
       "недопустимое значение у параметра \"Edit16\": [1234567890,1234567890,1234567890,123456…"
       " (нужна строка)"},
      {DefaultJson([](Json& object) {
         object["TrackBar2"] = 10;
         object["TrackBar1"] = 20;
       }),
       "недопустимое значение у параметра \"TrackBar2\": 10 (не ниже TrackBar1, 20)"},
  };
  for (const auto& c : cases) {
    Write(Path("in.json"), c.json);
    EXPECT_EQ(Convert("in.json", "out.qvx"), Path("in.json") + ": " + c.message);
    EXPECT_FALSE(fs::exists(Path("out.qvx"))) << c.message;
    fs::remove(Path("out.qvx"));
  }
}

TEST_F(SettingsFile, JsonValuesAreTakenAsTheFileSaysWhateverCameBefore) {
  MemorySettings settings;
  settings.SetSliderPosition("TrackBar1", 30);  // the high threshold is raised to 30 with it
  const std::string json = DefaultJson([](nlohmann::ordered_json& object) {
    object["TrackBar2"] = 10;
    object["TrackBar1"] = 5;
    object["ComboBox11"] = nullptr;  // a list with no entry, as "show --json" writes it
  });
  ASSERT_EQ(ApplySettingsJson(json, settings), "");
  EXPECT_EQ(settings.SliderPosition("TrackBar2"), 10);
  EXPECT_EQ(settings.SliderPosition("TrackBar1"), 5);
  EXPECT_EQ(settings.ListIndex("ComboBox11"), kNoSelection);
}

TEST_F(SettingsFile, FileUnderTheAppendedNameIsNotReplaced) {
  Write(Path("out.qvx"), "old");
  EXPECT_EQ(SaveSettingsFile(MemorySettings(), Path("out")),
            Path("out.qvx") + ": файл уже существует и не заменён");
  EXPECT_EQ(Contents(Path("out.qvx")), "old");
}

}  // namespace
}  // namespace qvx::cli
