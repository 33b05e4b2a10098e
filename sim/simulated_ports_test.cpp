// The registry of running simulators against what another user of the
// machine can plant where it lives.
#include "sim/simulated_ports.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "sim/pty_device.h"
#include "tests/support/scratch_folder.h"

namespace qvx {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kOtherUser = 65534;        // nobody
const std::string kDeadPid = "999999999";  // above any pid_max

// What a case works with: the runtime folder, the registry in it, a folder
// of the user that a planted link may point at, and two running devices.
struct Scene {
  fs::path registry;
  fs::path victim;
  std::string own_port;    // a simulator of this user
  std::string other_port;  // a second pseudo-terminal, for one given away
};

struct Case {
  const char* name;
  bool needs_root;  // to make something belong to another user
  std::function<void(const Scene&)> plant;
  // Expected: why registering is refused ("" when it is not), the ports
  // listed before this process registers, and what is still there after
  // listing, registering and unregistering, and what is gone.
  std::string refusal;
  std::function<std::vector<std::string>(const Scene&)> listed;
  std::function<std::vector<fs::path>(const Scene&)> kept;
  std::function<std::vector<fs::path>(const Scene&)> removed;
};

void Link(const fs::path& target, const fs::path& link) {
  fs::create_symlink(target, link);
}

void Folder(const fs::path& folder, mode_t mode) {
  fs::create_directory(folder);
  ASSERT_EQ(chmod(folder.c_str(), mode), 0);
}

// Links a live simulator's registration could not be told from, and links
// a dead one leaves: a cleaning that followed a planted link would take them.
void FillWithLinks(const fs::path& folder, const Scene& scene) {
  Link("/nonexistent/port", folder / kDeadPid);
  Link(scene.own_port, folder / std::to_string(getppid()));
  ScratchFolder::Write((folder / "notes.txt").string(), "kept");
}
std::vector<fs::path> Links(const fs::path& folder) {
  return {folder / kDeadPid, folder / std::to_string(getppid()), folder / "notes.txt"};
}

std::vector<std::string> None(const Scene&) {
  return {};
}
std::vector<fs::path> Nothing(const Scene&) {
  return {};
}

const Case kCases[] = {
    {"NotThereYet", false, [](const Scene&) {}, "", None, Nothing, Nothing},
    {"AnOlderFolderOfThisUser", false,
     [](const Scene& s) {
       Folder(s.registry, 0755);
       Link(s.own_port, s.registry / std::to_string(getppid()));
     },
     "", [](const Scene& s) { return std::vector{s.own_port}; },
     [](const Scene& s) { return std::vector{s.registry / std::to_string(getppid())}; }, Nothing},
    // Planted to make the cleaning delete links of the victim's folder.
    {"ALinkToAFolderOfThisUser", false,
     [](const Scene& s) {
       Folder(s.victim, 0700);
       FillWithLinks(s.victim, s);
       Link(s.victim, s.registry);
     },
     "is a symbolic link", None, [](const Scene& s) { return Links(s.victim); }, Nothing},
    {"ADanglingLink", false, [](const Scene& s) { Link("/nonexistent/folder", s.registry); },
     "is a symbolic link", None, [](const Scene& s) { return std::vector{s.registry}; }, Nothing},
    {"AFile", false, [](const Scene& s) { ScratchFolder::Write(s.registry.string(), "x"); },
     "is not a folder", None, [](const Scene& s) { return std::vector{s.registry}; }, Nothing},
    {"WritableByTheGroup", false,
     [](const Scene& s) {
       Folder(s.registry, 0770);
       FillWithLinks(s.registry, s);
     },
     "is writable by other users", None, [](const Scene& s) { return Links(s.registry); }, Nothing},
    {"WritableByAllLikeTmp", false,
     [](const Scene& s) {
       Folder(s.registry, 01777);
       FillWithLinks(s.registry, s);
     },
     "is writable by other users", None, [](const Scene& s) { return Links(s.registry); }, Nothing},
    {"AnotherUsersFolder", true,
     [](const Scene& s) {
       Folder(s.registry, 0700);
       FillWithLinks(s.registry, s);
       ASSERT_EQ(chown(s.registry.c_str(), kOtherUser, kOtherUser), 0);
     },
     "belongs to another user", None, [](const Scene& s) { return Links(s.registry); }, Nothing},
    // Planted to be listed first and chosen: "1" is a process that always runs.
    {"ALinkNamed1ToAFile", false,
     [](const Scene& s) {
       Folder(s.registry, 0700);
       ScratchFolder::Write((s.victim.parent_path() / "fake-port").string(), "");
       Link(s.victim.parent_path() / "fake-port", s.registry / "1");
     },
     "", None, [](const Scene& s) { return std::vector{s.registry / "1"}; }, Nothing},
    {"ALinkNamed1ToAnotherDevice", false,
     [](const Scene& s) {
       Folder(s.registry, 0700);
       Link("/dev/null", s.registry / "1");
     },
     "", None, [](const Scene& s) { return std::vector{s.registry / "1"}; }, Nothing},
    {"ALinkNamed1ToThePseudoTerminalMaster", false,
     [](const Scene& s) {
       Folder(s.registry, 0700);
       Link("/dev/pts/ptmx", s.registry / "1");
     },
     "", None, [](const Scene& s) { return std::vector{s.registry / "1"}; }, Nothing},
    {"ALinkNamed1ToAnotherUsersTerminal", true,
     [](const Scene& s) {
       Folder(s.registry, 0700);
       ASSERT_EQ(chown(s.other_port.c_str(), kOtherUser, static_cast<gid_t>(-1)), 0);
       Link(s.other_port, s.registry / "1");
     },
     "", None, [](const Scene& s) { return std::vector{s.registry / "1"}; }, Nothing},
    // What simulators leave: links are cleaned, nothing else is touched.
    {"LeftoversOfDeadSimulators", false,
     [](const Scene& s) {
       Folder(s.registry, 0700);
       Link(s.own_port, s.registry / kDeadPid);
       Link("/dev/pts/999999", s.registry / std::to_string(getppid()));
       ScratchFolder::Write((s.registry / "999999998").string(), "");
       fs::create_directory(s.registry / "999999997");
       Link(s.own_port, s.registry / "1");
     },
     "", [](const Scene& s) { return std::vector{s.own_port}; },
     [](const Scene& s) {
       return std::vector{s.registry / "999999998", s.registry / "999999997", s.registry / "1"};
     },
     [](const Scene& s) {
       return std::vector{s.registry / kDeadPid, s.registry / std::to_string(getppid())};
     }},
};

void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

bool Present(const fs::path& path) {
  struct stat entry {};
  return lstat(path.c_str(), &entry) == 0;
}

class SimulatedPortsTest : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    setenv("XDG_RUNTIME_DIR", runtime_.Root().c_str(), 1);
    saved_mask_ = umask(0);  // the folder's mode must not depend on the umask
  }
  void TearDown() override {
    umask(saved_mask_);
    unsetenv("XDG_RUNTIME_DIR");
  }

  ScratchFolder runtime_{"registry"};
  mode_t saved_mask_ = 0;
};

TEST_P(SimulatedPortsTest, UsesOnlyAFolderOfThisUserAndListsOnlyItsTerminals) {
  const Case& c = GetParam();
  if (c.needs_root && geteuid() != 0)
    GTEST_SKIP() << "only root can make a file belong to another user";
  sim::PtyDevice own;
  sim::PtyDevice other;
  const Scene scene{SimulatedPortFolder(), runtime_.Root() / "victim", own.Path(), other.Path()};
  ASSERT_EQ(scene.registry, runtime_.Root() / "quorvex-sim");
  c.plant(scene);
  const bool made_here = !Present(scene.registry);

  EXPECT_EQ(ListSimulatedPorts(), c.listed(scene));
  std::string refusal;
  const fs::path link = RegisterSimulatedPort(own.Path(), &refusal);
  if (c.refusal.empty()) {
    ASSERT_FALSE(link.empty()) << refusal;
    EXPECT_EQ(link, scene.registry / std::to_string(getpid()));
    struct stat folder {};
    ASSERT_EQ(lstat(scene.registry.c_str(), &folder), 0);
    EXPECT_TRUE(S_ISDIR(folder.st_mode));
    if (made_here) {
      EXPECT_EQ(folder.st_mode & 07777, 0700u);
    }
    const auto listed = ListSimulatedPorts();
    EXPECT_NE(std::find(listed.begin(), listed.end(), own.Path()), listed.end());
  } else {
    EXPECT_TRUE(link.empty());
    EXPECT_EQ(refusal, scene.registry.string() + ": " + c.refusal);
    EXPECT_FALSE(Present(scene.victim / std::to_string(getpid())));
  }
  UnregisterSimulatedPort(link);
  if (!link.empty()) {
    EXPECT_FALSE(Present(link));
  }
  // A link as the registry's own earlier one would be, in a refused folder.
  UnregisterSimulatedPort(scene.registry / kDeadPid);

  for (const fs::path& path : c.kept(scene)) EXPECT_TRUE(Present(path)) << path;
  for (const fs::path& path : c.removed(scene)) EXPECT_FALSE(Present(path)) << path;
}

INSTANTIATE_TEST_SUITE_P(Registry, SimulatedPortsTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qvx
