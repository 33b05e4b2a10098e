// Where a device's copy lands under faults of its folder: names planted ahead
// of it, and ports whose copies share one name, saved at the same moment.
#include "cli/device_backup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <latch>
#include <set>
#include <thread>

#include "tests/support/scratch_folder.h"

namespace qvx::cli {
namespace {
namespace fs = std::filesystem;

std::tm At(int second) {
  std::tm at{};
  at.tm_year = 2026 - 1900;
  at.tm_mon = 11;
  at.tm_mday = 9;
  at.tm_hour = 3;
  at.tm_min = 5;
  at.tm_sec = second;
  return at;
}

class KeptCopyFile : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  ScratchFolder folder_{"kept-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
};

// The copy's name can be foreseen: links planted at it, dangling or to a file
// elsewhere, are passed over, and nothing appears outside the folder.
TEST_F(KeptCopyFile, LandsInItsFolderPastLinksPlantedAtItsName) {
  fs::create_directory(Path("copies"));
  fs::create_directory(Path("elsewhere"));
  ScratchFolder::Write(Path("elsewhere/theirs.qvx"), "theirs");
  fs::create_symlink("../elsewhere/planted.qvx", Path("copies/pts_4-20261209-030507.qvx"));
  fs::create_symlink(Path("elsewhere/theirs.qvx"), Path("copies/pts_4-20261209-030507-2.qvx"));

  const std::string kept = SaveKeptCopy(Path("copies"), "/dev/pts/4", At(7), "held\r\n");
  EXPECT_EQ(kept, Path("copies/pts_4-20261209-030507-3.qvx"));
  EXPECT_FALSE(fs::is_symlink(kept));
  EXPECT_EQ(ScratchFolder::Contents(kept), "held\r\n");
  EXPECT_EQ(ScratchFolder::Contents(Path("elsewhere/theirs.qvx")), "theirs");
  EXPECT_FALSE(fs::exists(fs::symlink_status(Path("elsewhere/planted.qvx"))));
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("elsewhere")), {}), 1);
}

// "a:1", "a?1", "a*1" and "a|1" all make "a_1-...": each device, written by
// its own worker at the same second, keeps its copy under its own name.
TEST_F(KeptCopyFile, PortsOfOneCopyNameKeepEachTheirOwn) {
  const std::vector<std::string> ports = {"a:1", "a?1", "a*1", "a|1"};
  for (int round = 0; round < 10; ++round) {
    std::vector<std::string> kept(ports.size());
    std::latch start(static_cast<std::ptrdiff_t>(ports.size()));
    {
      std::vector<std::jthread> workers;
      for (std::size_t i = 0; i < ports.size(); ++i)
        workers.emplace_back([&, i] {
          start.arrive_and_wait();
          kept[i] = SaveKeptCopy(folder_.Root(), ports[i], At(round), ports[i]);
        });
    }
    EXPECT_EQ(std::set<std::string>(kept.begin(), kept.end()).size(), ports.size()) << round;
    for (std::size_t i = 0; i < ports.size(); ++i)
      EXPECT_EQ(ScratchFolder::Contents(kept[i]), ports[i]) << kept[i];
  }
  EXPECT_EQ(folder_.Names().size(), 40u);  // and no temporary file left
}

}  // namespace
}  // namespace qvx::cli
