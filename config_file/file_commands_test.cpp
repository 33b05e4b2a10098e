#include "config_file/file_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "config_file/cp1251.h"
#include "config_file/file_io.h"
#include "settings/memory_settings.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/recorded_messages.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/settings_snapshot.h"

namespace qvx {
namespace {
namespace fs = std::filesystem;

using Shown = test::Message;
using RecordingMessages = test::MessageRecorder<>;

const Shown kSaved{"Файл успешно сохранен", "Сохранение"};

class FileCommands : public testing::Test {
 protected:
  FileCommands() { messages_.answer = false; }  // "Заменить?" is declined unless a test says
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  static std::string Contents(const std::string& path) { return ScratchFolder::Contents(path); }
  static void Write(const std::string& path, const std::string& bytes) {
    ScratchFolder::Write(path, bytes);
  }
  std::vector<std::string> FolderNames() const { return folder_.Names(); }
  CommandOutcome Save(const Settings& settings, std::optional<std::string> name) {
    return SaveSettingsCommand(
        settings, [&] { return name; }, messages_);
  }

  ScratchFolder folder_{"file-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
  RecordingMessages messages_;
};

TEST_F(FileCommands, SavingDefaultsWritesTheKnownFile) {
  ASSERT_EQ(Save(MemorySettings(), Path("set.qvx")), CommandOutcome::Done);
  const std::string bytes = Contents(Path("set.qvx"));
  EXPECT_EQ(bytes.size(), 261u);
  EXPECT_EQ(bytes.substr(0, 14), "000000:111111:");
  EXPECT_EQ(bytes.substr(252), "20198:#\r\n");
  EXPECT_EQ(messages_.shown, std::vector<Shown>{kSaved});
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"set.qvx"});
}

TEST_F(FileCommands, CancelledOrEmptyNameWritesAndShowsNothing) {
  EXPECT_EQ(Save(MemorySettings(), std::nullopt), CommandOutcome::Stopped);
  EXPECT_EQ(Save(MemorySettings(), ""), CommandOutcome::Stopped);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(FileCommands, UnsaveableSettingsAreRefusedBeforeTheDialog) {
  MemorySettings settings;
  settings.SetText("Edit26", "1:2");
  bool dialog_shown = false;
  const CommandOutcome outcome = SaveSettingsCommand(
      settings, [&] { return dialog_shown = true, std::optional<std::string>(Path("x.qvx")); },
      messages_);
  EXPECT_EQ(outcome, CommandOutcome::Refused);
  EXPECT_FALSE(dialog_shown);
  EXPECT_EQ(messages_.shown, (std::vector<Shown>{{"Недопустимый символ в поле IP", "Ошибка"}}));
  EXPECT_TRUE(FolderNames().empty());
}

TEST_F(FileCommands, ReplacingAFileUnderTheAppendedNameIsAskedFirst) {
  Write(Path("set.qvx"), "old");
  const Shown question{"Файл " + Path("set.qvx") + " уже существует. Заменить?", "Сохранение"};

  messages_.answer = false;
  EXPECT_EQ(Save(MemorySettings(), Path("set")), CommandOutcome::Stopped);
  EXPECT_EQ(messages_.asked, std::vector<Shown>{question});
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(Contents(Path("set.qvx")), "old");

  messages_.answer = true;
  EXPECT_EQ(Save(MemorySettings(), Path("set")), CommandOutcome::Done);
  EXPECT_EQ(Contents(Path("set.qvx")).size(), 261u);
  EXPECT_EQ(messages_.shown, std::vector<Shown>{kSaved});
}

TEST_F(FileCommands, NameAsChosenIsReplacedWithoutAnotherQuestion) {
  Write(Path("set.QVX"), "old");
  EXPECT_EQ(Save(MemorySettings(), Path("set.QVX")), CommandOutcome::Done);
  EXPECT_TRUE(messages_.asked.empty());
  EXPECT_EQ(Contents(Path("set.QVX")).size(), 261u);
}

TEST_F(FileCommands, FailedSaveKeepsTheEarlierFileAndLeavesNoTemporary) {
  Write(Path("set.qvx"), "old");
  CommandOutcome outcome;
  {
    const FileSizeLimit limit(100);  // the write of the line fails half-way
    outcome = Save(MemorySettings(), Path("set.qvx"));
  }

  EXPECT_EQ(outcome, CommandOutcome::Refused);
  EXPECT_EQ(messages_.shown, (std::vector<Shown>{{"Ошибка сохранения файла", "Ошибка"}}));
  EXPECT_EQ(Contents(Path("set.qvx")), "old");
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"set.qvx"});
}

TEST_F(FileCommands, SaveThatCannotCreateTheFileReportsFailure) {
  fs::create_directory(Path("folder.qvx"));
  for (const std::string& name : {Path("folder.qvx"), Path("missing/set.qvx")}) {
    messages_.shown.clear();
    EXPECT_EQ(Save(MemorySettings(), name), CommandOutcome::Refused) << name;
    EXPECT_EQ(messages_.shown, (std::vector<Shown>{{"Ошибка сохранения файла", "Ошибка"}}));
  }
  EXPECT_EQ(FolderNames(), std::vector<std::string>{"folder.qvx"});
}

TEST_F(FileCommands, SaveThroughASymbolicLinkReplacesItsTarget) {
  Write(Path("real.qvx"), "old");
  fs::create_symlink(Path("real.qvx"), Path("link.qvx"));
  ASSERT_EQ(Save(MemorySettings(), Path("link.qvx")), CommandOutcome::Done);
  EXPECT_TRUE(fs::is_symlink(Path("link.qvx")));
  EXPECT_EQ(Contents(Path("real.qvx")).size(), 261u);
}

TEST_F(FileCommands, SavedSettingsOpenAsThey) {
  MemorySettings saved;
  saved.SetListIndex("ComboBox62", 5);
  saved.SetSliderPosition("TrackBar1", 30);
  saved.SetRadioNumber("Set13.1", 2);
  saved.SetText("Edit16", "Дом, «дача» №2");
  saved.SetText("Edit30", "");
  ASSERT_EQ(Save(saved, Path("set")), CommandOutcome::Done);

  MemorySettings opened;
  messages_.shown.clear();
  EXPECT_EQ(OpenSettingsCommand(opened, Path("set.qvx"), messages_), CommandOutcome::Done);
  EXPECT_TRUE(messages_.shown.empty());
  EXPECT_EQ(Snapshot(opened), Snapshot(saved));
}

TEST_F(FileCommands, OpenRefusalsChangeNoSetting) {
  fs::create_directory(Path("folder"));
  Write(Path("bad.qvx"), std::string(27, '0') + ":#\r\n");
  Write(Path("empty.qvx"), "");
  // No line end within the read limit: refused without reading it all.
  Write(Path("huge.qvx"), std::string(2 * kMaxReadBytes + 1, '0'));
  const struct {
    std::string name;
    const char* text;
  } cases[] = {
      {"", "Ошибка открытия файла"},
      {Path("missing.qvx"), "Файл не найден"},
      {Path("folder"), "Ошибка открытия файла"},
      {Path("bad.qvx"), "Некорректный файл"},
      {Path("empty.qvx"), "Некорректный файл"},
      {Path("huge.qvx"), "Некорректный файл"},
  };
  for (const auto& c : cases) {
    MemorySettings settings;
    settings.SetListIndex("ComboBox11", 4);
    const std::vector<std::string> before = Snapshot(settings);
    RecordingMessages messages;
    EXPECT_EQ(OpenSettingsCommand(settings, c.name, messages), CommandOutcome::Refused) << c.name;
    EXPECT_EQ(messages.shown, (std::vector<Shown>{{c.text, "Ошибка"}})) << c.name;
    EXPECT_EQ(Snapshot(settings), before) << c.name;
  }
}

TEST_F(FileCommands, CancelledOpenEndsQuietly) {
  MemorySettings settings;
  EXPECT_EQ(OpenSettingsCommand(settings, std::nullopt, messages_), CommandOutcome::Stopped);
  EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FileCommands, OpenReadsOnlyUpToTheFirstLineEnd) {
  ASSERT_EQ(Save(MemorySettings(), Path("set.qvx")), CommandOutcome::Done);
  // A long tail after the line end does not count against the read limit.
  std::string bytes = Contents(Path("set.qvx"));
  bytes[0] = '3';
  Write(Path("tail.qvx"), bytes + std::string(2 * kMaxReadBytes, 'x'));
  MemorySettings settings;
  EXPECT_EQ(OpenSettingsCommand(settings, Path("tail.qvx"), messages_), CommandOutcome::Done);
  EXPECT_EQ(settings.ListIndex("ComboBox11"), 3);
}

// A file's bytes opened in memory give what opening the file gives: the same
// outcome, messages and settings; and only a refused one has a reason.
TEST_F(FileCommands, BytesOpenAsTheFileOfThem) {
  MemorySettings edited;
  edited.SetListIndex("ComboBox62", 5);
  edited.SetText("Edit16", "Дом");
  ASSERT_EQ(Save(edited, Path("good")), CommandOutcome::Done);
  const std::string good = Contents(Path("good.qvx"));
  const std::string line = good.substr(0, good.size() - 2);
  const std::string cases[] = {
      good,
      line,                                           // no line end
      line + '\0' + "rest",                           // cut at NUL
      line + "\n" + std::string(kMaxReadBytes, 'x'),  // long after the line
      "",
      std::string(27, '0') + ":#\r\n",
      std::string(kMaxReadBytes + 1, '0'),  // no line end within the limit
      std::string(kMaxReadBytes, '0'),
      "\xEF\xBB\xBF" + line,  // a text editor's UTF-8 mark
  };
  for (const std::string& bytes : cases) {
    const std::string what = bytes.substr(0, 40);
    Write(Path("case.qvx"), bytes);
    MemorySettings from_file;
    RecordingMessages file_messages;
    const CommandOutcome file_outcome =
        OpenSettingsCommand(from_file, Path("case.qvx"), file_messages);
    MemorySettings from_bytes;
    RecordingMessages byte_messages;
    EXPECT_EQ(OpenSettingsBytes(from_bytes, bytes, byte_messages), file_outcome) << what;
    EXPECT_EQ(byte_messages.shown, file_messages.shown) << what;
    EXPECT_EQ(Snapshot(from_bytes), Snapshot(from_file)) << what;
    // A reason exactly for the refused ones.
    EXPECT_EQ(OpenRefusalReason(bytes).empty(), file_outcome == CommandOutcome::Done) << what;
  }
}

// Saving into memory gives the bytes the file command writes, or its refusal.
TEST_F(FileCommands, SavedBytesAreTheFileOrItsRefusal) {
  MemorySettings good;
  good.SetText("Edit25", "Ключ");
  MemorySettings unsaveable;
  unsaveable.SetListIndex("ComboBox62", -1);
  for (const MemorySettings* settings : {&good, &unsaveable}) {
    RecordingMessages file_messages;
    const CommandOutcome outcome = SaveSettingsCommand(
        *settings, [&] { return std::optional<std::string>(Path("out.qvx")); }, file_messages);
    RecordingMessages byte_messages;
    const std::string bytes = SaveSettingsBytes(*settings, byte_messages);
    EXPECT_EQ(byte_messages.shown, file_messages.shown);
    EXPECT_EQ(outcome == CommandOutcome::Done, settings == &good);
    EXPECT_EQ(bytes, outcome == CommandOutcome::Done ? Contents(Path("out.qvx")) : "");
  }
}

// A text editor's UTF-8 mark: the rest is UTF-8, taken back to code page
// 1251; a rest that is not UTF-8, or will not fit the code page, is refused.
TEST_F(FileCommands, LineAfterTheUtf8MarkOpensAsUtf8) {
  MemorySettings edited;
  edited.SetListIndex("ComboBox11", 3);
  edited.SetText("Edit25", "Ключ");
  ASSERT_EQ(Save(edited, Path("set.qvx")), CommandOutcome::Done);
  const std::string line = Contents(Path("set.qvx"));  // code page 1251
  const std::string utf8_line = Cp1251ToUtf8(line);
  const std::string mark = "\xEF\xBB\xBF";
  const struct {
    std::string bytes;
    bool opens;
  } cases[] = {
      {mark + utf8_line, true},
      {mark + line, false},  // "Ключ" in code page 1251 is no UTF-8
      {mark + Cp1251ToUtf8(line.substr(0, line.find("\xCA"))) +
           "\xF0\x9F\x94\x91:" + utf8_line.substr(utf8_line.find(":000:111:") + 1),
       false},  // an emoji the code page cannot hold
      {mark, false},
  };
  for (const auto& c : cases) {
    Write(Path("marked.qvx"), c.bytes);
    MemorySettings settings;
    const std::vector<std::string> before = Snapshot(settings);
    RecordingMessages messages;
    const CommandOutcome outcome = OpenSettingsCommand(settings, Path("marked.qvx"), messages);
    if (c.opens) {
      EXPECT_EQ(outcome, CommandOutcome::Done) << c.bytes;
      EXPECT_EQ(Snapshot(settings), Snapshot(edited));
    } else {
      EXPECT_EQ(messages.shown, (std::vector<Shown>{{"Некорректный файл", "Ошибка"}})) << c.bytes;
      EXPECT_EQ(Snapshot(settings), before) << c.bytes;
    }
  }
}

}  // namespace
}  // namespace qvx
