// Configuration files under faults of the file system: each fault gives its
// message, keeps the earlier file and changes no setting.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "config_file/file_commands.h"
#include "settings/memory_settings.h"
#include "tests/support/recorded_messages.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/settings_snapshot.h"

namespace qvx {
namespace {
namespace fs = std::filesystem;

using Messages = test::MessageRecorder<>;  // "Заменить?" answered yes

const test::Message kSaveFailed{"Ошибка сохранения файла", "Ошибка"};

class FileFaults : public testing::Test {
 protected:
  void TearDown() override {
    if (mounted_) umount(folder_.Root().c_str());
  }

  std::string Path(const std::string& name) const { return folder_.Path(name); }
  static std::string Contents(const std::string& path) { return ScratchFolder::Contents(path); }
  static void Write(const std::string& path, const std::string& bytes) {
    ScratchFolder::Write(path, bytes);
  }
  CommandOutcome Save(const std::string& name) {
    return SaveSettingsCommand(
        saved_, [&] { return std::optional(name); }, messages_);
  }
  // Opening must either refuse with the settings untouched or load them all.
  void ExpectRefusedUnchanged(const std::string& name, const std::string& message) {
    MemorySettings settings;
    settings.SetSliderPosition("TrackBar1", 12);
    const auto before = Snapshot(settings);
    Messages messages;
    EXPECT_EQ(OpenSettingsCommand(settings, name, messages), CommandOutcome::Refused) << name;
    ASSERT_EQ(messages.shown.size(), 1u) << name;
    EXPECT_EQ(messages.shown[0].text, message) << name;
    EXPECT_EQ(Snapshot(settings), before) << name;
  }

  ScratchFolder folder_{"faults-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
  bool mounted_ = false;
  MemorySettings saved_;
  Messages messages_;
};

TEST_F(FileFaults, TargetFolderMissingOrAFileWhereTheFolderShouldBe) {
  Write(Path("plain"), "not a folder");
  for (const std::string& name : {Path("missing/set.qvx"), Path("plain/set.qvx")}) {
    messages_.shown.clear();
    EXPECT_EQ(Save(name), CommandOutcome::Refused) << name;
    EXPECT_EQ(messages_.shown, (std::vector{kSaveFailed})) << name;
  }
  EXPECT_EQ(Contents(Path("plain")), "not a folder");
}

TEST_F(FileFaults, DiskFullKeepsTheEarlierFile) {
  if (mount("qvx-full", folder_.Root().c_str(), "tmpfs", 0, "size=16k") != 0)
    GTEST_SKIP() << "cannot mount a small file system here";
  mounted_ = true;
  Write(Path("set.qvx"), "earlier");
  {  // fill every remaining block
    std::ofstream filler(Path("filler"), std::ios::binary);
    const std::string block(4096, 'x');
    for (int i = 0; i < 64 && filler; ++i) filler << block << std::flush;
  }
  EXPECT_EQ(Save(Path("set.qvx")), CommandOutcome::Refused);
  EXPECT_EQ(messages_.shown, (std::vector{kSaveFailed}));
  EXPECT_EQ(Contents(Path("set.qvx")), "earlier");
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"filler", "set.qvx"}));  // no temporary left
}

TEST_F(FileFaults, HugeBinaryAndSocketFilesAreRefused) {
  {
    std::ofstream huge(Path("huge.qvx"), std::ios::binary);
    const std::string block(1 << 20, '0');
    for (int i = 0; i < 50; ++i) huge << block;  // 50 MB without a line end
  }
  std::string binary(4096, '\0');
  std::mt19937 random(7);
  for (char& c : binary) c = static_cast<char>(random());
  binary[0] = '\x01';  // not a line end at the very start
  Write(Path("binary.qvx"), binary);

  const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string socket_path = Path("socket.qvx");
  ASSERT_LT(socket_path.size(), sizeof address.sun_path);
  std::copy(socket_path.begin(), socket_path.end(), address.sun_path);
  ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);

  ExpectRefusedUnchanged(Path("huge.qvx"), "Некорректный файл");
  ExpectRefusedUnchanged(Path("binary.qvx"), "Некорректный файл");
  ExpectRefusedUnchanged(socket_path, "Ошибка открытия файла");
  close(sock);
}

TEST_F(FileFaults, FileVanishingDuringOpensNeverHalfLoads) {
  ASSERT_EQ(Save(Path("set.qvx")), CommandOutcome::Done);
  const std::string good = Contents(Path("set.qvx"));
  std::atomic<bool> done = false;
  MemorySettings reference;
  reference.SetSliderPosition("TrackBar1", 12);
  const auto before = Snapshot(reference);
  Messages quiet;
  ASSERT_EQ(OpenSettingsCommand(reference, Path("set.qvx"), quiet), CommandOutcome::Done);
  const auto loaded = Snapshot(reference);  // what a complete load gives from that start
  // Another program keeps removing and rewriting the file while it is opened.
  std::thread churn([&] {
    while (!done) {
      fs::remove(Path("set.qvx"));
      Write(Path("set.qvx.part"), good.substr(0, good.size() / 2));
      fs::rename(Path("set.qvx.part"), Path("set.qvx"));
      Write(Path("set.qvx"), good);
    }
  });
  for (int attempt = 0; attempt < 300; ++attempt) {
    MemorySettings settings;
    settings.SetSliderPosition("TrackBar1", 12);
    Messages messages;
    const CommandOutcome outcome = OpenSettingsCommand(settings, Path("set.qvx"), messages);
    if (outcome == CommandOutcome::Done) {
      EXPECT_EQ(Snapshot(settings), loaded);
    } else {
      EXPECT_EQ(Snapshot(settings), before);
      ASSERT_EQ(messages.shown.size(), 1u);
      EXPECT_TRUE(messages.shown[0].text == "Файл не найден" ||
                  messages.shown[0].text == "Ошибка открытия файла" ||
                  messages.shown[0].text == "Некорректный файл")
          << messages.shown[0].text;
    }
  }
  done = true;
  churn.join();
}

}  // namespace
}  // namespace qvx
