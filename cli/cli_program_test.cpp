// quorvex-cli as an installer runs it: a separate process, against simulated
// devices on pseudo-terminals served by this test.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "config_file/file_commands.h"
#include "config_file/settings_line.h"
#include "device/backup_name.h"
#include "sim/pty_device.h"
#include "sim/simulated_ports.h"
#include "tests/support/program_run.h"
#include "tests/support/scratch_folder.h"

namespace qvx {
namespace {

using CliRun = test::Ran;

// Settings that differ from the defaults in a list, a slider (and the
// threshold coupled to it) and two texts.
MemorySettings ChangedSettings() {
  MemorySettings settings;
  settings.SetListIndex("ComboBox11", 2);
  settings.SetSliderPosition("TrackBar1", 12);
  settings.SetText("Edit16", "+79001234567");
  settings.SetText("Edit25", "5555");
  return settings;
}

// The whole settings set as a settings file holds it in JSON.
std::string JsonOf(const MemorySettings& settings) {
  nlohmann::ordered_json object;
  for (const SettingInfo& setting : Catalogue()) {
    const std::string key(setting.name);
    if (setting.kind == SettingKind::Text)
      object[key] = settings.Text(setting.name);
    else
      object[key] = ReadValue(settings, setting);
  }
  return object.dump(2);
}

class CliProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("XDG_RUNTIME_DIR", folder_.Root().c_str(), 1);  // no other simulator's ports
    ScratchFolder::Write(Path("set.json"), JsonOf(ChangedSettings()));
  }

  // Runs quorvex-cli with `args`; stdin empty, stdout and stderr kept.
  CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), QUORVEX_CLI_PROGRAM);
    return Run(std::move(args));
  }

  // Runs args[0], found on PATH, as Cli does.
  CliRun Run(std::vector<std::string> args) {
    return test::RunProgram(std::move(args),
                            {.out = folder_.Path("stdout.txt"), .err = folder_.Path("stderr.txt")});
  }

  std::string Path(const std::string& name) const { return folder_.Path(name); }
  std::string Read(const std::string& name) const { return ScratchFolder::Contents(Path(name)); }

  sim::SimOptions Quick(sim::SimOptions options = {}) {
    options.reply_delay = std::chrono::milliseconds(0);
    return options;
  }

 private:
  ScratchFolder folder_{"cli-program"};
};

bool Holds(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST_F(CliProgramTest, HelpGoesToStdoutAndUsageErrorsExitTwo) {
  for (const char* command : {"ports", "show", "diff", "convert", "frame", "decode", "write",
                              "read", "report", "archive"}) {
    for (const char* help : {"--help", "-h"}) {
      const CliRun run = Cli({command, help});
      EXPECT_EQ(run.status, 0) << command << help;
      EXPECT_TRUE(run.out.starts_with("использование: quorvex-cli " + std::string(command)))
          << run.out;
      EXPECT_EQ(run.err, "") << command;
    }
  }
  const struct {
    std::vector<std::string> args;
    std::string message;
  } refused[] = {
      {{}, "использование: quorvex-cli COMMAND"},
      {{"flash"}, "quorvex-cli: неизвестная команда \"flash\""},
      {{"ports", "--json", "--json"}, "quorvex-cli ports: параметр --json указан дважды"},
      {{"diff"}, "quorvex-cli diff: не указан источник"},
      {{"diff", "a", "b", "c"}, "quorvex-cli diff: лишний аргумент \"c\""},
      {{"write", "set.json"}, "quorvex-cli write: не указан порт"},
      {{"write", "set.json", "--port"}, "у параметра --port нет значения"},
      {{"write", "set.json", "--port", "p", "--port", "p"}, "порт p указан дважды"},
      {{"write", "set.json", "--port", "p", "--settle", "5"}, "только вместе с --verify"},
      {{"write", "set.json", "--port", "p", "--verify", "--settle", "5s"}, "--settle: нужно"},
      {{"write", "set.json", "--port", "p", "--verify", "--verify"}, "--verify указан дважды"},
      {{"write", "set.json", "--port", "p", "--force"},
       "--force действует только вместе с --backup"},
      {{"write", "set.json", "--port", "p", "--backup"}, "у параметра --backup нет значения"},
      {{"report", "defaults", "-o", "sheet.txt"}, "только в .html или .pdf"},
      {{"report", "defaults"}, "quorvex-cli report: не указан файл листа"},
      {{"read", "--port", "a", "--port", "b", "-o", "x.qvx"}, "quorvex-cli read: "},
      {{"show", "--json", "--json"}, "quorvex-cli show: "},
      {{"show", "a", "b"}, "quorvex-cli show: лишний аргумент \"b\""},
      {{"frame"}, "quorvex-cli frame: не указан файл настроек\n"},
      {{"read", "--port", "a"}, "quorvex-cli read: не указан файл настроек (-o FILE)\n"},
      {{"read", "-o", "x.qvx"}, "quorvex-cli read: не указан порт (--port P)\n"},
      {{"convert", "a"}, "quorvex-cli convert: нужны два имени файла: IN и OUT\n"},
  };
  for (const auto& c : refused) {
    const CliRun run = Cli(c.args);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_TRUE(Holds(run.err, c.message)) << run.err;
    EXPECT_EQ(run.out, "");
  }
  // One parser for every command: the same mistake, the same words.
  for (const char* command :
       {"ports", "show", "diff", "convert", "frame", "decode", "write", "read", "report"}) {
    const CliRun run = Cli({command, "--bogus"});
    EXPECT_EQ(run.status, 2) << command;
    EXPECT_TRUE(run.err.starts_with("quorvex-cli " + std::string(command) +
                                    ": неизвестный параметр \"--bogus\"\n"))
        << run.err;
  }
}

TEST_F(CliProgramTest, PortsListsARunningSimulator) {
  sim::PtyDevice device;
  const auto link = RegisterSimulatedPort(device.Path());
  const CliRun listed = Cli({"ports"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_TRUE(Holds(listed.out, device.Path() + "  симулятор устройства quorvex-sim\n"))
      << listed.out;
  const auto json = nlohmann::json::parse(Cli({"ports", "--json"}).out);
  const auto entry = std::find_if(json.begin(), json.end(),
                                  [&](const auto& port) { return port["name"] == device.Path(); });
  ASSERT_NE(entry, json.end());
  EXPECT_TRUE((*entry)["simulator"].get<bool>());
  EXPECT_FALSE((*entry)["usb"].get<bool>());
  UnregisterSimulatedPort(link);
}

TEST_F(CliProgramTest, DiffComparesFilesDefaultsAndDevices) {
  sim::PtyDevice device(ChangedSettings(), Quick());
  const struct {
    std::vector<std::string> sources;
    int status;
    std::vector<std::string> lines;  // parts of stdout, or of stderr on error
  } cases[] = {
      {{"defaults", "defaults"}, 0, {}},
      {{Path("set.json"), "port:" + device.Path()}, 0, {}},
      {{Path("set.json")},
       1,
       {"Set01 пункт 1  Зона 1 / Группы: 2 \"3 - Группа 3\" -> 0 \"1 - Группа 1\"\n",
        "Edit16  Abon01: \"+79001234567\" -> \"+380501234567\"\n", "Edit25  "}},
      {{"port:" + device.Path(), "defaults"}, 1, {"Set01 пункт 1  "}},
      {{Path("missing.qvx")}, 2, {"quorvex-cli diff: " + Path("missing.qvx") + ": Файл не найден"}},
      {{"defaults", "port:/dev/nonexistent"},
       2,
       {"quorvex-cli diff: /dev/nonexistent: Error 1: Не могу открыть указанный Com порт!"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"diff"};
    args.insert(args.end(), c.sources.begin(), c.sources.end());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, c.status) << c.sources[0] << run.err;
    for (const std::string& line : c.lines)
      EXPECT_TRUE(Holds(c.status == 2 ? run.err : run.out, line)) << run.out << run.err;
    // The first line names both sides as typed, the defaults standing in for a missing B.
    const std::string sides = "было: " + c.sources[0] +
                              " -> стало: " + (c.sources.size() > 1 ? c.sources[1] : "defaults") +
                              "\n";
    if (c.status == 0) {
      EXPECT_EQ(run.out, sides + "Различий нет\n");
    } else if (c.status == 1) {
      EXPECT_TRUE(run.out.starts_with(sides)) << run.out;
    } else {
      EXPECT_EQ(run.out, "");
    }
  }
  const auto json = nlohmann::json::parse(Cli({"diff", Path("set.json"), "--json"}).out);
  ASSERT_EQ(json.size(), 5u);  // the coupled threshold moves too
  EXPECT_EQ(json[0]["setting"], "ComboBox11");
  EXPECT_EQ(json[0]["a"]["value"], 2);
  EXPECT_EQ(json[0]["b"]["text"], "1 - Группа 1");
}

TEST_F(CliProgramTest, ReadEndsWithThePathItSavedTo) {
  MemorySettings held;
  held.SetListIndex("ComboBox11", 2);
  held.SetSliderPosition("TrackBar1", 12);
  held.SetText("Edit16", "+79001234567");
  held.SetText("Edit25", "5555");
  sim::PtyDevice device(held, Quick());
  const std::string saved = Path("device.qvx");
  const CliRun run = Cli({"read", "--port", device.Path(), "-o", saved});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(run.out.starts_with("ком закрыт\nком открыт\n")) << run.out;
  EXPECT_TRUE(run.out.ends_with("\nДанные успешно получены\nНастройки сохранены: " + saved + "\n"))
      << run.out;
  EXPECT_EQ(Cli({"diff", saved, Path("set.json")}).status, 0);

  // Nothing saved, so no path named.
  const CliRun missing = Cli({"read", "--port", Path("ttyUSB9"), "-o", Path("none.qvx")});
  EXPECT_EQ(missing.status, 1);
  EXPECT_FALSE(Holds(missing.out, "Настройки сохранены")) << missing.out;
}

// write and read with --archive: each port's line journaled under the object,
// and an archive that cannot take it refused before anything is sent.
TEST_F(CliProgramTest, WriteAndReadJournalEachPortUnderTheObject) {
  const std::string archive = Path("objects.qvxa");
  ScratchFolder::Write(Path("Иванов.qvx"), BuildSettingsLine(MemorySettings()).line + "\r\n");
  ASSERT_EQ(Cli({"archive", "import", archive, Path("Иванов.qvx")}).status, 0);
  sim::PtyDevice device({}, Quick());
  const std::string missing = Path("ttyUSB9");

  const CliRun refused = Cli(
      {"write", Path("set.json"), "--port", device.Path(), "--archive", archive, "--object", "99"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "quorvex-cli write: " + archive + ": нет объекта с номером 99\n");
  EXPECT_EQ(device.Settings().Text("Edit25"), MemorySettings().Text("Edit25"));  // nothing sent
  EXPECT_EQ(Cli({"write", Path("set.json"), "--port", device.Path(), "--archive", archive}).status,
            2);

  const CliRun written = Cli({"write", Path("set.json"), "--port", device.Path(), "--port", missing,
                              "--archive", archive, "--object", "1"});
  EXPECT_EQ(written.status, 1) << written.err;
  const CliRun read = Cli({"read", "--port", device.Path(), "-o", Path("read.qvx"), "--archive",
                           archive, "--object", "1"});
  EXPECT_EQ(read.status, 0) << read.err;

  const CliRun shown = Cli({"archive", "show", archive, "1", "--json"});
  ASSERT_EQ(shown.status, 0) << shown.err;
  const nlohmann::json card = nlohmann::json::parse(shown.out);
  const nlohmann::json& journal = card.at("journal");
  ASSERT_EQ(journal.size(), 4u) << shown.out;
  std::map<std::string, nlohmann::json> by_outcome;
  for (const nlohmann::json& entry : journal) by_outcome[entry.at("outcome")] = entry;
  const nlohmann::json& sent = by_outcome["sent"];
  EXPECT_EQ(sent.at("command"), "Записать");
  EXPECT_EQ(sent.at("port"), device.Path());
  EXPECT_GE(sent.at("differing").get<int>(), 4);  // against the imported defaults
  const nlohmann::json& failed = by_outcome["cannotOpen"];
  EXPECT_EQ(failed.at("cause"), "missing");
  EXPECT_EQ(failed.at("outcomeText"), "ошибка: нет такого устройства");
  // The read finds what the write left: the object's settings already.
  const nlohmann::json& taken = by_outcome["readSuccess"];
  EXPECT_EQ(taken.at("command"), "Прочитать");
  EXPECT_EQ(taken.at("differing"), 0);
  EXPECT_EQ(card.at("settings"), taken.at("settings"));
  EXPECT_EQ(card.at("version"), 2);
}

TEST_F(CliProgramTest, VerifyCatchesADeviceThatDoesNotHoldWhatWasSent) {
  sim::SimOptions wrong_digit;
  wrong_digit.store_wrong_digit = true;
  sim::SimOptions nothing;
  nothing.store_nothing = true;
  const struct {
    const char* name;
    sim::SimOptions options;
    int status;
    std::string out;
  } cases[] = {
      {"sound", {}, 0, "Проверено: устройство хранит записанные настройки\n"},
      {"one digit wrong", wrong_digit, 1,
       "записано -> в устройстве:\nSet01 пункт 1  Зона 1 / Группы: 2 \"3 - Группа 3\" -> 3 "},
      {"stores nothing", nothing, 1, "Edit25  Пароль/номер прибора: \"5555\" -> \"7391\"\n"},
  };
  for (const auto& c : cases) {
    sim::PtyDevice device({}, Quick(c.options));
    const CliRun run =
        Cli({"write", Path("set.json"), "--port", device.Path(), "--verify", "--settle", "50"});
    EXPECT_EQ(run.status, c.status) << c.name << run.err;
    EXPECT_TRUE(run.out.starts_with("ком закрыт\nком открыт\nДанные успешно отправлены\n"))
        << run.out;
    EXPECT_TRUE(Holds(run.out, c.out)) << c.name << run.out;
    if (c.status == 1) {
      EXPECT_TRUE(Holds(run.err, "quorvex-cli write: " + device.Path() +
                                     ": устройство хранит не то, что записано"))
          << run.err;
    }
  }
}

TEST_F(CliProgramTest, BatchProgramsTheGoodPortsWhenOneIsMissing) {
  sim::PtyDevice first({}, Quick());
  sim::PtyDevice second({}, Quick());
  const std::string missing = Path("ttyUSB9");
  ScratchFolder::Write(Path("ports.txt"), "# bench\n" + second.Path() + "\n\n" + missing + "\n");
  const CliRun run = Cli({"write", Path("set.json"), "--port", first.Path(), "--ports-from",
                          Path("ports.txt"), "--verify", "--settle", "50"});
  EXPECT_EQ(run.status, 1) << run.err;
  for (const sim::PtyDevice* device : {&first, &second}) {
    EXPECT_TRUE(Holds(run.out, device->Path() + "  записано и проверено  ")) << run.out;
    EXPECT_EQ(device->Settings().Text("Edit25"), "5555");
  }
  EXPECT_TRUE(Holds(run.out, missing + "  ошибка: нет такого устройства  ")) << run.out;
  EXPECT_TRUE(run.out.ends_with("3 устройства: 2 записано и проверено, 1 ошибка\n")) << run.out;
  EXPECT_TRUE(Holds(run.err, "quorvex-cli write: " + missing + ": нет такого устройства\n"))
      << run.err;

  // Settings the write check refuses are the file's fault, said once for the batch.
  MemorySettings bad_port = ChangedSettings();
  bad_port.SetText("Edit30", "999999");
  ScratchFolder::Write(Path("bad.json"), JsonOf(bad_port));
  const CliRun refused =
      Cli({"write", Path("bad.json"), "--port", first.Path(), "--port", second.Path()});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.err.starts_with("quorvex-cli write: " + Path("bad.json") + ": Проверьте"))
      << refused.err;
  EXPECT_TRUE(refused.out.ends_with("2 устройства: 0 отправлено, 2 ошибки\n")) << refused.out;
  EXPECT_EQ(first.FramesStored() + first.FramesRefused(), 1);
}

std::size_t CountOf(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// Whether a kept copy is named "pts_N-YYYYMMDD-HHMMSS[-K].qvx", as the
// backup names copies of a pseudo-terminal's device.
bool IsCopyName(const std::string& name) {
  std::size_t at = 0;
  const auto digits = [&](std::size_t least, std::size_t most) {
    std::size_t count = 0;
    while (at < name.size() && count < most && name[at] >= '0' && name[at] <= '9') ++at, ++count;
    return count >= least;
  };
  const auto literal = [&](std::string_view part) {
    if (name.compare(at, part.size(), part) != 0) return false;
    at += part.size();
    return true;
  };
  if (!literal("pts_") || !digits(1, 9) || !literal("-20") || !digits(6, 6) || !literal("-") ||
      !digits(6, 6))
    return false;
  if (at < name.size() && name[at] == '-' && (++at, !digits(1, 9))) return false;
  return literal(".qvx") && at == name.size();
}

// The rest of the line that follows the first `lead` in `text`; empty if none.
std::string LineAfter(const std::string& text, const std::string& lead) {
  const std::size_t from = text.find(lead);
  if (from == std::string::npos) return {};
  const std::size_t start = from + lead.size();
  return text.substr(start, text.find('\n', start) - start);
}

// A port that fails says why once on stderr, in one line; a batch adds only its
// summary line on stdout, the session's own messages repeat nothing.
TEST_F(CliProgramTest, AFailedPortIsReportedOnce) {
  const std::string one = Path("ttyUSB8");
  const std::string two = Path("ttyUSB9");
  // The write says the cause as its summary does; read and diff say the
  // session's message with it.
  const std::string cause = ": нет такого устройства";
  const std::string message =
      ": Error 1: Не могу открыть указанный Com порт! (нет такого устройства)";
  const struct {
    std::vector<std::string> ports;
    bool batch;
  } cases[] = {{{one}, false}, {{one, two}, true}};
  for (const auto& c : cases) {
    std::vector<std::string> args{"write", Path("set.json")};
    for (const std::string& port : c.ports) args.insert(args.end(), {"--port", port});
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(CountOf(run.err, "\n"), c.ports.size()) << run.err;
    for (const std::string& port : c.ports) {
      EXPECT_TRUE(Holds(run.err, "quorvex-cli write: " + port + cause + "\n")) << run.err;
      EXPECT_EQ(CountOf(run.out, port), c.batch ? 1u : 0u) << run.out;
    }
    EXPECT_EQ(CountOf(run.out + run.err, "нет такого устройства"),
              c.ports.size() * (c.batch ? 2 : 1))
        << run.out << run.err;
  }
  // read, and diff or report on a port, say it the same way.
  const CliRun read = Cli({"read", "--port", one, "-o", Path("read.qvx")});
  EXPECT_EQ(read.status, 1);
  EXPECT_EQ(read.err, "quorvex-cli read: " + one + message + "\n");
  const CliRun diff = Cli({"diff", "port:" + one});
  EXPECT_EQ(diff.err, "quorvex-cli diff: " + one + message + "\n");
}

// What each device held before the write is kept: a device that answers is
// copied and written, one that does not answer is left alone unless forced.
TEST_F(CliProgramTest, BackupKeepsEachDeviceBeforeWritingAndSparesTheUnread) {
  MemorySettings before;
  before.SetText("Edit25", "4321");
  sim::PtyDevice answering(before, Quick());
  sim::SimOptions silent = Quick();
  silent.silent = true;
  sim::PtyDevice mute({}, silent);
  const std::string folder = Path("copies");
  const auto copies = [&] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  };
  const struct {
    bool force;
    int status;
    std::string mute_line;  // the silent device's summary line and what follows it
    int mute_frames;        // frames the silent device stored by the end
    std::size_t copies;
  } cases[] = {
      {false, 1,
       "  ошибка: не удалось прочитать устройство перед записью: не удалось получить данные; "
       "не записано (--force: записать без копии)  ",
       0, 1},
      {true, 0, "  отправлено  ", 1, 2},
  };
  int frames = 0;  // sent to the answering device so far, one a run
  for (const auto& c : cases) {
    answering.SetSettings(before);
    std::vector<std::string> args{"write",  Path("set.json"), "--port",   answering.Path(),
                                  "--port", mute.Path(),      "--backup", folder};
    if (c.force) args.push_back("--force");
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, c.status) << run.out << run.err;
    // The program ends once its frames are out; the devices take them on
    // their own thread.
    EXPECT_TRUE(answering.WaitForFrames(++frames, std::chrono::seconds(10)));
    EXPECT_TRUE(mute.WaitForFrames(c.mute_frames, std::chrono::seconds(10)));
    EXPECT_TRUE(Holds(run.out, answering.Path() + "  отправлено  ")) << run.out;
    EXPECT_TRUE(Holds(run.out, mute.Path() + c.mute_line)) << run.out;
    EXPECT_EQ(mute.FramesStored(), c.mute_frames);
    EXPECT_EQ(answering.Settings().Text("Edit25"), "5555");  // written after the copy
    const std::vector<std::string> names = copies();
    EXPECT_EQ(names.size(), c.copies) << run.out;
    for (const std::string& name : names) {
      EXPECT_TRUE(IsCopyName(name)) << name;
      MemorySettings kept;
      EXPECT_EQ(OpenSettingsFile(folder + "/" + name, kept), "");
      EXPECT_EQ(kept.Text("Edit25"), "4321") << name;  // what the device held, not what was sent
    }
    // Each run names the one copy it made under the answering device's line.
    const std::string named = LineAfter(run.out, "\n    копия: ");
    ASSERT_FALSE(named.empty()) << run.out;
    EXPECT_TRUE(std::filesystem::exists(named)) << named;
    EXPECT_EQ(CountOf(run.out, "копия: "), 1u) << run.out;
    if (c.force) {
      EXPECT_TRUE(Holds(run.out,
                        "    без копии: не удалось прочитать устройство перед записью: "
                        "не удалось получить данные\n"))
          << run.out;
    }
  }

  // A folder that cannot take copies stops the command before any port is used.
  ScratchFolder::Write(Path("plain"), "");
  const CliRun refused = Cli({"write", Path("set.json"), "--port", answering.Path(), "--backup",
                              Path("plain") + "/copies"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_TRUE(refused.err.starts_with("quorvex-cli write: " + Path("plain") +
                                      "/copies: папка для копий недоступна"))
      << refused.err;
  EXPECT_EQ(answering.FramesStored(), 2);
}

// A copy's name can be foreseen: links planted at it for the coming seconds,
// dangling or to a file elsewhere, are passed over, nothing is made outside
// the folder, and the copy the command names is the one in the folder.
TEST_F(CliProgramTest, BackupLandsInItsFolderPastLinksPlantedAtItsName) {
  namespace fs = std::filesystem;
  MemorySettings before;
  before.SetText("Edit25", "4321");
  sim::PtyDevice device(before, Quick());
  const std::string folder = Path("copies");
  const std::string elsewhere = Path("elsewhere");
  fs::create_directory(folder);
  fs::create_directory(elsewhere);
  ScratchFolder::Write(elsewhere + "/theirs.qvx", "theirs");
  const std::time_t now = std::time(nullptr);
  for (std::time_t at = now - 1; at <= now + 60; ++at) {
    std::tm local{};
    localtime_r(&at, &local);
    const std::string name = BackupFileName(device.Path(), local);
    fs::create_symlink(elsewhere + "/" + name, folder + "/" + name);
    fs::create_symlink(elsewhere + "/theirs.qvx",
                       folder + "/" + name.substr(0, name.size() - 4) + "-2.qvx");
  }
  const CliRun run = Cli({"write", Path("set.json"), "--port", device.Path(), "--backup", folder});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  const std::string named = LineAfter(run.out, "Копия настроек устройства сохранена: ");
  EXPECT_EQ(fs::path(named).parent_path(), folder) << run.out;
  EXPECT_TRUE(named.ends_with("-3.qvx")) << named;
  EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(named))) << named;
  MemorySettings kept;
  EXPECT_EQ(OpenSettingsFile(named, kept), "");
  EXPECT_EQ(kept.Text("Edit25"), "4321");
  EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), {}), 1);
  EXPECT_EQ(ScratchFolder::Contents(elsewhere + "/theirs.qvx"), "theirs");
}

// A port list or a set of ports that would program the wrong device, or one
// device twice, is refused before anything is sent.
TEST_F(CliProgramTest, BatchRefusesBadPortListsAndOneDeviceUnderTwoNames) {
  sim::PtyDevice device({}, Quick());
  const std::string pts = device.Path().substr(5);  // "pts/N", as /dev/ is assumed
  std::filesystem::create_symlink(device.Path(), Path("programmer"));
  ScratchFolder::Write(Path("nul.txt"),
                       "# bench\n" + device.Path() + "\n" + pts + std::string("\0x", 2) + "\n");
  ScratchFolder::Write(Path("escape.txt"), device.Path() + "\x1b[2J\n");
  ScratchFolder::Write(Path("huge.txt"), std::string((1 << 20) + 1, '#'));
  ScratchFolder::Write(Path("empty.txt"), "  # only a comment\n\n");
  const struct {
    std::vector<std::string> args;  // after "write set.json"
    int status;
    std::string message;
  } cases[] = {
      {{"--port", device.Path(), "--port", pts},
       2,
       "quorvex-cli write: порты " + device.Path() + " и " + pts + " — одно и то же устройство\n"},
      {{"--port", Path("programmer"), "--port", device.Path()},
       2,
       "порты " + Path("programmer") + " и " + device.Path() + " — одно и то же устройство"},
      {{"--ports-from", Path("nul.txt")},
       1,
       "quorvex-cli write: " + Path("nul.txt") +
           ": строка 3: управляющий символ 0x00 в имени порта\n"},
      {{"--ports-from", Path("escape.txt")},
       1,
       Path("escape.txt") + ": строка 1: управляющий символ 0x1B в имени порта\n"},
      {{"--ports-from", Path("huge.txt")},
       1,
       Path("huge.txt") + ": слишком большой для списка портов (больше 1 МБ)\n"},
      {{"--ports-from", Path("empty.txt")},
       1,
       Path("empty.txt") + ": в списке нет ни одного порта\n"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"write", Path("set.json")};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const CliRun run = Cli(args);
    EXPECT_EQ(run.status, c.status) << c.message;
    EXPECT_TRUE(Holds(run.err, c.message)) << run.err;
    EXPECT_EQ(run.out, "");
  }
  EXPECT_EQ(device.FramesStored() + device.FramesRefused(), 0);

  // "#" after a blank starts a comment; inside a name it is part of it.
  std::filesystem::create_symlink(device.Path(), Path("bench#2"));
  ScratchFolder::Write(Path("ports.txt"), Path("bench#2") + "  # the second bench\r\n");
  const CliRun run = Cli({"write", Path("set.json"), "--ports-from", Path("ports.txt")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(device.WaitForFrames(1, std::chrono::seconds(10)));
}

// The words of a sheet as a reader sees them: tags dropped, entities read,
// every run of blanks one blank, one line per table row or paragraph.
std::string HtmlText(const std::string& html) {
  std::string text;
  bool in_tag = false;
  std::string tag;
  for (const char c : html.substr(html.find("<body>"))) {
    if (c == '<') {
      in_tag = true;
      tag.clear();
    } else if (c == '>') {
      in_tag = false;
      if (tag.starts_with("/tr") || tag.starts_with("br") || tag.starts_with("/p") ||
          tag.starts_with("/h"))
        text += '\n';
      else
        text += ' ';
    } else if (in_tag) {
      tag += c;
    } else {
      text += c;
    }
  }
  for (const auto& [entity, c] : std::vector<std::pair<std::string, std::string>>{
           {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
    for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
      text.replace(at, entity.size(), c);
  return text;
}

// Every run of blanks and line ends inside a line as one blank, lines trimmed.
std::string Squeezed(const std::string& text) {
  std::string squeezed;
  for (const char c : text) {
    const char d = c == '\t' || c == '\r' ? ' ' : c;
    if (d == ' ' && (squeezed.empty() || squeezed.back() == ' ' || squeezed.back() == '\n'))
      continue;
    if (d == '\n' && !squeezed.empty() && squeezed.back() == ' ') squeezed.pop_back();
    squeezed += d;
  }
  return squeezed;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    if (end > start) lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::size_t Count(const std::string& text, const std::string& part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
    ++count;
  return count;
}

// What the sheet says whatever its form: the header block, the count of
// changed settings and their marks, the window's labels and no control names.
void ExpectSheetWords(const std::string& text, int changed, const std::string& form) {
  SCOPED_TRACE(form);
  for (const std::string part :
       {"Источник: файл set.json", "Объект: ____", "Адрес объекта: ____", "Установщик: ____",
        "Подпись установщика: ____", "Подпись заказчика: ____", "Abon01 Телефон абонента 1",
        "Abon09 Телефон абонента 9", "IP Адрес сервера 000.111.222.333", "Порт Порт сервера 20198",
        "Пароль/номер", "Set01 пункт 1 Зона 1 / Группы ● 3 - Группа 3",
        "по умолчанию: 1 - Группа 1", "Abon01 Телефон абонента 1 ● +79001234567",
        "Set06 пункт 2 Порог низкихтемператур ● 12", "Set06 пункт 1 Порог высоких температур ● 12",
        "Set14 пункт 1 Хранение настроек В устройстве", "Вкладка «Разное (2)»"})
    EXPECT_TRUE(Holds(text, part)) << part << "\n" << text;
  EXPECT_TRUE(Holds(text, std::to_string(changed) + " настро")) << text;
  EXPECT_EQ(Count(text, "●"), static_cast<std::size_t>(changed) + 1);  // and the legend
  for (const std::string control : {"Edit1", "Edit2", "Edit30", "ComboBox", "TrackBar", "Radio"})
    EXPECT_FALSE(Holds(text, control)) << control;
}

TEST_F(CliProgramTest, ReportHtmlHoldsEverySettingUnderTheWindowsLabels) {
  const CliRun html =
      Cli({"report", Path("set.json"), "-o", Path("sheet.html"), "--mask-password"});
  ASSERT_EQ(html.status, 0) << html.err;
  EXPECT_EQ(html.out, "Лист настроек сохранён: " + Path("sheet.html") + "\n");
  EXPECT_EQ(html.err, "");
  const std::string sheet = Read("sheet.html");
  const std::string text = Squeezed(HtmlText(sheet));
  ExpectSheetWords(text, 4, "html");  // a masked password is never marked
  EXPECT_TRUE(Holds(text, "Пароль прибора ••••••")) << text;
  MemorySettings settings;
  settings.SetListIndex("ComboBox11", 2);
  for (const SettingInfo& setting : Catalogue()) {
    if (setting.kind != SettingKind::List) continue;
    const std::string option(setting.options[settings.ListIndex(setting.name)]);
    EXPECT_TRUE(Holds(sheet, option)) << setting.name << " " << option;
  }
  for (const std::string part : {"<style>", "@page { size: A4", "<thead>"})
    EXPECT_TRUE(Holds(sheet, part)) << part;
  for (const std::string absent : {"5555", "<script", "src=", "href="})
    EXPECT_FALSE(Holds(sheet, absent)) << absent;
  // Every table has one header with the heading in it, so they part nowhere.
  EXPECT_EQ(Count(sheet, "<thead>\n<tr><th class=\"heading\""),
            Count(sheet, "<table class=\"sheet\""));
}

TEST_F(CliProgramTest, ReportPdfKeepsHeadingsWithTablesAndRepeatsHeaders) {
  const CliRun pdf = Cli({"report", Path("set.json"), "-o", Path("sheet.pdf")});
  ASSERT_EQ(pdf.status, 0) << pdf.err;
  EXPECT_EQ(pdf.out, "Лист настроек сохранён: " + Path("sheet.pdf") + "\n");
  EXPECT_EQ(pdf.err, "");  // nor any of Qt's own warnings
  ASSERT_EQ(Run({"pdftotext", "-layout", Path("sheet.pdf"), Path("sheet.txt")}).status, 0)
      << "pdftotext (poppler-utils) is needed";
  const std::string text = Read("sheet.txt");
  ExpectSheetWords(Squeezed(text), 5, "pdf");
  EXPECT_TRUE(Holds(Squeezed(text), "Пароль прибора ● 5555"));

  const std::vector<std::string> pages = [&] {
    std::vector<std::string> split;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\f', start)) != std::string::npos; start = end + 1)
      split.push_back(text.substr(start, end - start));
    return split;
  }();
  ASSERT_GE(pages.size(), 3u);
  for (std::size_t page = 0; page < pages.size(); ++page) {
    SCOPED_TRACE("page " + std::to_string(page + 1));
    const std::vector<std::string> lines = Lines(Squeezed(pages[page]));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines.back(),
              "стр. " + std::to_string(page + 1) + " из " + std::to_string(pages.size()));
    // The page's last row is a setting's, never a heading, a header or a group's title.
    const std::string& last = lines[lines.size() - 2];
    for (const std::string lone : {"Вкладка «", "Абоненты,", "Место Параметр", "Группа Set"})
      EXPECT_FALSE(last.starts_with(lone)) << last;
    if (page == 0) continue;
    // A continued table shows its heading and header again; a new one starts with them.
    EXPECT_TRUE(lines[0].starts_with("Вкладка «")) << lines[0];
    EXPECT_EQ(lines[1], "Место Параметр Значение");
  }

  // One set of column widths: every header's words stand at the same places.
  ASSERT_EQ(Run({"pdftotext", "-bbox", Path("sheet.pdf"), Path("sheet.bbox")}).status, 0);
  const std::string boxes = Read("sheet.bbox");
  for (const std::string word : {">Параметр<", ">Значение<"}) {
    std::set<std::string> columns;
    for (std::size_t at = boxes.find(word); at != std::string::npos;
         at = boxes.find(word, at + 1)) {
      const std::size_t x = boxes.rfind("xMin=\"", at) + 6;
      columns.insert(boxes.substr(x, boxes.find('.', x) - x));  // whole points
    }
    EXPECT_EQ(columns.size(), 1u) << word;
  }
}

TEST_F(CliProgramTest, ReportWritesNothingOnFailure) {
  const CliRun failed = Cli({"report", "port:/dev/nonexistent", "-o", Path("none.pdf")});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(failed.out, "");
  EXPECT_FALSE(std::filesystem::exists(Path("none.pdf")));
}

}  // namespace
}  // namespace qvx
