// Saving under faults of the file system: links, owners, long names, folders
// that allow no new file.
#include "config_file/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "tests/support/scratch_folder.h"

namespace qvx {
namespace {
namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

// Runs `body` as an ordinary user (in a child process when this one is
// root); true when it returned true.
bool AsOrdinaryUser(const std::function<bool()>& body) {
  if (::geteuid() != 0) return body();
  const pid_t child = ::fork();
  if (child == 0) {
    const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
    ::_exit(dropped && body() ? 0 : 1);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class FileIo : public testing::Test {
 protected:
  std::string Path(const std::string& name) const { return folder_.Path(name); }
  ScratchFolder folder_{"file-io-" +
                        std::string(testing::UnitTest::GetInstance()->current_test_info()->name())};
};

TEST_F(FileIo, ReplacesWhatTheNameStandsFor) {
  // A link to a file not there yet: the file is created, the link kept.
  fs::create_directory(Path("sub"));
  fs::create_symlink("sub/new.qvx", Path("dangling.qvx"));
  ASSERT_TRUE(WriteFileAtomically(Path("dangling.qvx"), "through"));
  EXPECT_TRUE(fs::is_symlink(Path("dangling.qvx")));
  EXPECT_EQ(ScratchFolder::Contents(Path("sub/new.qvx")), "through");

  // The longest name the folder takes leaves room for no longer temporary name.
  const std::string longest(255 - 4, 'n');
  ASSERT_TRUE(WriteFileAtomically(Path(longest + ".qvx"), "long"));
  ASSERT_TRUE(WriteFileAtomically(Path(longest + ".qvx"), "longer"));
  EXPECT_EQ(ScratchFolder::Contents(Path(longest + ".qvx")), "longer");
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"dangling.qvx", longest + ".qvx", "sub"}));

  fs::create_symlink("loop.qvx", Path("loop.qvx"));
  EXPECT_FALSE(WriteFileAtomically(Path("loop.qvx"), "never"));
}

TEST_F(FileIo, ReplacedFileKeepsItsOwnerAndMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can save over another user's file";
  ScratchFolder::Write(Path("theirs.qvx"), "earlier");
  ASSERT_EQ(::chown(Path("theirs.qvx").c_str(), kNobody, kNobody), 0);
  ASSERT_EQ(::chmod(Path("theirs.qvx").c_str(), 0600), 0);
  ASSERT_TRUE(WriteFileAtomically(Path("theirs.qvx"), "later"));
  struct stat replaced {};
  ASSERT_EQ(::stat(Path("theirs.qvx").c_str(), &replaced), 0);
  EXPECT_EQ(replaced.st_uid, kNobody);
  EXPECT_EQ(replaced.st_gid, kNobody);
  EXPECT_EQ(replaced.st_mode & 07777, 0600u);
  EXPECT_TRUE(
      AsOrdinaryUser([&] { return ScratchFolder::Contents(Path("theirs.qvx")) == "later"; }));
}

TEST_F(FileIo, WritableFileInAReadOnlyFolderIsWrittenInPlace) {
  ScratchFolder::Write(Path("set.qvx"), "earlier, longer");
  ASSERT_EQ(::chmod(Path("set.qvx").c_str(), 0666), 0);
  ASSERT_EQ(::chmod(folder_.Root().c_str(), 0555), 0);
  EXPECT_TRUE(AsOrdinaryUser([&] { return WriteFileAtomically(Path("set.qvx"), "later"); }));
  EXPECT_FALSE(AsOrdinaryUser([&] { return WriteFileAtomically(Path("new.qvx"), "new"); }));
  ::chmod(folder_.Root().c_str(), 0755);
  EXPECT_EQ(ScratchFolder::Contents(Path("set.qvx")), "later");
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"set.qvx"}));
}

// A link of another user in a shared folder that keeps names to their owners
// (as /tmp) is not followed, as the system would not follow it either.
TEST_F(FileIo, SaveFollowsNoLinkTheSystemWouldRefuse) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can plant a link of another user";
  fs::create_directory(Path("shared"));
  ASSERT_EQ(::chmod(Path("shared").c_str(), 01777), 0);
  fs::create_symlink("../planted-target.qvx", Path("shared/planted.qvx"));
  ASSERT_EQ(::lchown(Path("shared/planted.qvx").c_str(), kNobody, kNobody), 0);
  fs::create_symlink("../own-target.qvx", Path("shared/own.qvx"));
  EXPECT_FALSE(WriteFileAtomically(Path("shared/planted.qvx"), "never"));
  EXPECT_TRUE(WriteFileAtomically(Path("shared/own.qvx"), "mine"));
  EXPECT_EQ(ScratchFolder::Contents(Path("own-target.qvx")), "mine");
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"own-target.qvx", "shared"}));
  EXPECT_TRUE(fs::is_symlink(Path("shared/planted.qvx")));
}

// A new file takes the first name nothing holds: a dangling link, a link to
// a file elsewhere, a file and a folder are all passed over, none followed or
// replaced, and nothing is made outside the folder.
TEST_F(FileIo, NewFileTakesTheFirstFreeNameThroughNoLink) {
  fs::create_directory(Path("in"));
  fs::create_directory(Path("out"));
  ScratchFolder::Write(Path("out/theirs.qvx"), "theirs");
  fs::create_symlink("../out/planted.qvx", Path("in/copy.qvx"));
  fs::create_symlink(Path("out/theirs.qvx"), Path("in/copy-2.qvx"));
  ScratchFolder::Write(Path("in/copy-3.qvx"), "earlier");
  fs::create_directory(Path("in/copy-4.qvx"));
  const auto name_for = [](int n) {
    return n == 1 ? std::string("copy.qvx") : "copy-" + std::to_string(n) + ".qvx";
  };
  EXPECT_EQ(SaveAsNewFile(Path("in"), "mine", name_for), "copy-5.qvx");
  EXPECT_EQ(ScratchFolder::Contents(Path("in/copy-5.qvx")), "mine");
  EXPECT_FALSE(fs::is_symlink(Path("in/copy-5.qvx")));
  EXPECT_EQ(ScratchFolder::Contents(Path("in/copy-3.qvx")), "earlier");
  EXPECT_EQ(fs::read_symlink(Path("in/copy.qvx")), "../out/planted.qvx");
  EXPECT_EQ(ScratchFolder::Contents(Path("out/theirs.qvx")), "theirs");
  EXPECT_EQ(fs::directory_iterator(Path("out"))->path().filename(), "theirs.qvx");
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("out")), {}), 1);

  // Names of another folder, and a folder that is not there, save nothing.
  for (const std::string name : {"../escaped.qvx", "out/x.qvx", "", ".."})
    EXPECT_EQ(SaveAsNewFile(Path("in"), "never", [&](int) { return name; }), "") << name;
  EXPECT_EQ(SaveAsNewFile(Path("none"), "never", name_for), "");
  EXPECT_EQ(std::distance(fs::directory_iterator(Path("in")), {}), 5);  // no temporary file left
  EXPECT_EQ(folder_.Names(), (std::vector<std::string>{"in", "out"}));
}

}  // namespace
}  // namespace qvx
