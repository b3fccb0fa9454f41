#include "flow/install_sequence.h"

#include <gtest/gtest.h>

#include <map>

#include "core/system_facts.h"
#include "core/texts.h"
#include "flow/open_payload.h"
#include "flow/setup_main.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "system/texts.h"
#include "tests/support/answering_observer.h"
#include "tests/support/archive_fixture.h"
#include "ui/texts.h"

namespace {

using testing_support::PackOrDie;

constexpr char kLayouts[] = "HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts";

// A machine with the payload of a small but complete product in its resources.
struct SequenceMachine : testing_support::ArchiveMachine {
  explicit SequenceMachine(bool is64) {
    fake.SetWindows(6, is64);
    core::FindSystemFacts(s);
    s.WorkBuffer.reset();
    fake.resources.images["TVZ/KELVTVZ"] = PackOrDie({{"tavohu4.ime", "module 32"},
                                                      {"tavohu64.ime", "module 64"},
                                                      {"tavo320.ime", "stub"},
                                                      {"tavo640.ime", "stub"},
                                                      {"tavodel.exe", "del"},
                                                      {"tvqdel64.exe", "del64"},
                                                      {"tavokel6.exe", "kelv6"},
                                                      {"setupw64.exe", "setup64"},
                                                      {"tavocyzk.tv1", "wubi"},
                                                      {"tavopyck.tv1", "pinyin"}});
    s.InstallDir = "c:\\tavohu\\";
  }
  std::vector<std::string> Started() const {
    std::vector<std::string> commands;
    for (const auto& p : fake.processes.started) {
      if (p.commandLine.find("\\icacls.exe ") == std::string::npos) commands.push_back(p.commandLine);
    }
    return commands;
  }
};

TEST(InstallSequence, LaunchesAndQuestionsByRoadAndArchitecture) {
  struct Case {
    bool is64;
    bool silent;
    bool library;  // the answer to the sentence-library question
    std::vector<std::string> started;
  };
  const Case cases[] = {
      {false, false, true, {"c:\\tavohu\\tavokelv.exe hu"}},
      {false, false, false, {}},
      {true, false, true, {"c:\\tavohu\\tavokelv.exe hu", "c:\\tavohu\\setupw64.exe regtv32=c:\\tavohu\\"}},
      {true, false, false, {"c:\\tavohu\\setupw64.exe regtv32=c:\\tavohu\\"}},
      {true, true, true, {"c:\\tavohu\\setupw64.exe regtv32=c:\\tavohu\\"}},
      {false, true, true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << (c.is64 ? "64-bit" : "32-bit") << (c.silent ? ", silent" : ", window")
                                    << (c.library ? ", yes" : ", no"));
    // Run the way the window does: payload and work buffer set up, the directory as typed.
    SequenceMachine run(c.is64);
    run.s.PayloadImage = run.fake.resources.Load("TVZ", "KELVTVZ");
    run.s.WorkBuffer = run.fake.resources.AllocZeroed(2 * 1024 * 1024);
    testing_support::AnsweringObserver user(true, c.library);
    core::SilentObserver nobody;
    core::InstallObserver& observer = c.silent ? static_cast<core::InstallObserver&>(nobody) : user;
    core::InstallReport report = flow::RunInstall(run.s, "c:\\tavohu", observer);
    EXPECT_EQ(report.outcome, core::InstallOutcome::Done);
    EXPECT_EQ(run.Started(), c.started);
    EXPECT_EQ(run.fake.registry.Value("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "tvtasjgl").data,
              "c:\\tavohu\\tavokelv.exe tv");
    // A first install: the sentence library is the only question.
    EXPECT_EQ(user.asked, c.silent ? std::vector<std::string>() : std::vector<std::string>{"add the sentence library"});
    EXPECT_TRUE(run.fake.files.HasDirectory("c:\\tavohu\\filer"));
    EXPECT_TRUE(run.fake.files.HasFile("c:\\tavohu\\tvnetsj.dat"));
  }
}

// A path with a blank is quoted as the first word of a command line, so that Windows cannot
// take "c:\my.exe" for the program; the directory after the companion's switch stays whole.
TEST(InstallSequence, ProgramPathsWithBlanksAreQuoted) {
  SequenceMachine run(true);
  run.s.PayloadImage = run.fake.resources.Load("TVZ", "KELVTVZ");
  run.s.WorkBuffer = run.fake.resources.AllocZeroed(2 * 1024 * 1024);
  testing_support::AnsweringObserver user(true, true);
  EXPECT_EQ(flow::RunInstall(run.s, "c:\\my dir", user).outcome, core::InstallOutcome::Done);
  EXPECT_EQ(run.Started(), (std::vector<std::string>{"\"c:\\my dir\\tavokelv.exe\" hu",
                                                     "\"c:\\my dir\\setupw64.exe\" regtv32=c:\\my dir\\"}));
  EXPECT_EQ(run.fake.registry.Value("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run", "tvtasjgl").data,
            "\"c:\\my dir\\tavokelv.exe\" tv");
}

// The user's work in an earlier install in c:\tavohu: the dictionaries they add words to (long
// enough for the installation check to read), their tables and their settings record; what each
// file holds.
std::map<std::string, std::string> PutUsersWork(platform::fake::FakeFiles& files) {
  std::map<std::string, std::string> user;
  for (const char* base : {"tavocyzk", "cfontset", "cwbzlcz1", "tvwbcmxz", "tvdhzcm", "tavodhz", "tvgbkhz"}) {
    user[std::string(base) + ".tvh"] = std::string("the user's own words of ") + base;
  }
  for (const char* name :
       {"tavodwdw.txt", "tavozdym.tvh", "tvpyzdym.tvh", "tvwbpy.txt", "tavoynhz.txt", "tavozdfh.tvh"}) {
    user[name] = std::string("own ") + name;
  }
  user["tvszsj43.tvh"] = std::string(200, '\x09');
  for (const auto& [name, bytes] : user) files.AddFile("c:\\tavohu\\" + name, bytes);
  return user;
}

// A silent reinstall: nobody is asked, and the user's own dictionaries, settings record and web
// addresses of the earlier install are all still there afterwards.
TEST(InstallSequence, ASilentReinstallKeepsTheUsersDataAndAddresses) {
  SequenceMachine run(false);
  run.fake.resources.images["TVZ/KELVTVZ"] = PackOrDie({{"tavohu4.ime", "module 32"},
                                                        {"tavo320.ime", "stub"},
                                                        {"tavodel.exe", "del"},
                                                        {"tavokel6.exe", "kelv6"},
                                                        {"tavocyzk.tv1", "shipped words"},
                                                        {"tvwbpy.txt", "shipped"},
                                                        {"tvszsj43.tvh", std::string(200, '\x05')}});
  std::map<std::string, std::string> user = PutUsersWork(run.fake.files);
  user["tvnetsj.dat"] = "TVNETURL1=www.unit.cn\r\nTVNETURL2=www.gov.cn\r\nTVNETTIME=1\r\n";
  run.fake.files.AddFile("c:\\tavohu\\tvnetsj.dat", user["tvnetsj.dat"]);

  flow::RunSilentRoad(run.s);
  for (const auto& box : run.fake.dialogs.shown) EXPECT_FALSE(box.wide) << box.text;  // no question
  EXPECT_EQ(run.fake.files.Contents("c:\\tavohu\\tvwbpy.txt"), user["tvwbpy.txt"]);
  EXPECT_EQ(run.fake.files.Contents("c:\\tavohu\\tavocyzk.tv1"), user["tavocyzk.tvh"]);
  EXPECT_EQ(run.fake.files.Contents("c:\\tavohu\\tvszsj43.tvh"), user["tvszsj43.tvh"]);
  EXPECT_EQ(run.s.BackupState, core::Backup::DataKept);
  std::string net = run.fake.files.Contents("c:\\tavohu\\tvnetsj.dat");
  const std::string addresses = "TVNETURL1=www.unit.cn\r\nTVNETURL2=www.gov.cn\r\nTVNETTIME=1\r\n";
  EXPECT_EQ(net.substr(0, addresses.size()), addresses);
}

// A reinstall cut off (power lost, the process ended) after the payload's files went over the
// user's and before theirs were put back: the next run, silent here, puts theirs back from the
// backup the cut-off run wrote, and packs them again only then.
TEST(InstallSequence, AReinstallCutOffBeforeTheUsersFilesAreBackIsFinishedByTheNextRun) {
  SequenceMachine run(false);
  std::vector<archive::NamedContent> payload = testing_support::CompleteProductFiles();
  // Files of the user's that the payload ships too: the unpack lays these over theirs.
  payload.push_back({"tvwbpy.txt", "shipped table"});
  payload.push_back({"tavoynhz.txt", "shipped words"});
  run.fake.resources.images["TVZ/KELVTVZ"] = PackOrDie(payload);
  const std::map<std::string, std::string> user = PutUsersWork(run.fake.files);

  struct CutOff {};
  struct CutBeforeTheRestore : testing_support::AnsweringObserver {
    bool KeepEarlierData() override { throw CutOff{}; }
  } cut;
  ASSERT_TRUE(flow::OpenPayload(run.s));
  ASSERT_EQ(run.s.BackupState, core::Backup::Made);
  EXPECT_THROW(flow::RunInstall(run.s, "c:\\tavohu\\", cut), CutOff);
  ASSERT_EQ(run.fake.files.Contents("c:\\tavohu\\tvwbpy.txt"), "shipped table");

  EXPECT_EQ(flow::SetupMain(run.fake.os(), "settvsrf32", platform::kSwShow), 0);
  for (const auto& [name, bytes] : user) {
    // A dictionary the user works in comes back as the .tv1 it was packed as.
    std::string back = name.size() == 12 && name.substr(8) == ".tvh" && name != "tvszsj43.tvh" &&
                               name != "tavozdym.tvh" && name != "tvpyzdym.tvh" && name != "tavozdfh.tvh"
                           ? name.substr(0, 8) + ".tv1"
                           : name;
    EXPECT_EQ(run.fake.files.Contents("c:\\tavohu\\" + back), bytes) << back;
  }
  EXPECT_FALSE(run.fake.registry.HasValue("HKLM\\Software\\tavowb", "restore"));
}

// On Windows 5.x the IME is moved to place 2 of the preload lists only once the install has
// registered it: a first install whose layout the input method manager refuses is written to the
// end of the user's list, and must not stay there, nor be missing from the default user's list.
TEST(InstallSequence, AFirstInstallOnWindows5EndsAtPlace2OfBothPreloadLists) {
  constexpr char kUserPreload[] = "HKCU\\Keyboard Layout\\Preload";
  constexpr char kDefaultPreload[] = "HKU\\.DEFAULT\\Keyboard Layout\\Preload";
  struct Case {
    std::vector<std::string> user, defaultUser;
    std::vector<std::string> userAfter, defaultUserAfter;
  };
  const Case cases[] = {
      {{"00000804", "00000409", "00000411"},
       {"00000409", "00000804"},
       {"00000804", "e0010804", "00000409", "00000411"},
       {"00000409", "e0010804", "00000804"}},
      {{"00000804", "00000409"},
       {"00000804", "00000411", "00000409"},
       {"00000804", "e0010804", "00000409"},
       {"00000804", "e0010804", "00000411", "00000409"}},
  };
  auto list = [](platform::fake::FakeRegistry& registry, const char* key) {
    std::vector<std::string> ids;
    for (size_t k = 1; registry.HasValue(key, std::to_string(k)); ++k) {
      std::string data = registry.Value(key, std::to_string(k)).data;
      ids.push_back(data.substr(0, data.find('\0')));
    }
    return ids;
  };
  for (const auto& c : cases) {
    SequenceMachine bench(false);
    bench.fake.SetWindows(5, false);
    core::FindSystemFacts(bench.s);
    bench.fake.ime.installResult = 0;  // the manager refuses: the setup writes the layout itself
    for (size_t k = 0; k < c.user.size(); ++k) {
      bench.fake.registry.SetValue(kUserPreload, std::to_string(k + 1), platform::kRegSz, c.user[k]);
      bench.fake.registry.SetValue(std::string(kLayouts) + "\\" + c.user[k], "layout text", platform::kRegSz, "Other");
    }
    for (size_t k = 0; k < c.defaultUser.size(); ++k) {
      bench.fake.registry.SetValue(kDefaultPreload, std::to_string(k + 1), platform::kRegSz, c.defaultUser[k]);
    }
    // The install itself is whole; only the check counts this small payload's files short.
    EXPECT_EQ(flow::RunSilentRoad(bench.s), flow::kExitCheckFailed);
    EXPECT_EQ(bench.fake.registry.Value(std::string(kLayouts) + "\\E0010804", "layout text").data,
              sys::text::kLayoutTextGbk);
    EXPECT_EQ(list(bench.fake.registry, kUserPreload), c.userAfter);
    EXPECT_EQ(list(bench.fake.registry, kDefaultPreload), c.defaultUserAfter);
  }
}

// How the module of the earlier IME is in use: loaded by the system, or held open by another
// program, alone or together with both names it could be moved aside to.
enum class InUse { Loaded, HeldOpen, HeldOpenWithAsideNames };

// An earlier IME in the preload list of a 32-bit machine whose module is in use.
void EarlierIme(SequenceMachine& bench, InUse how) {
  bench.fake.registry.SetValue(std::string(kLayouts) + "\\E0200804", "layout text", platform::kRegSz,
                               sys::text::kLayoutTextGbk);
  bench.fake.registry.SetValue("HKCU\\Keyboard Layout\\Preload", "1", platform::kRegSz, "00000804");
  bench.fake.registry.SetValue("HKCU\\Keyboard Layout\\Preload", "2", platform::kRegSz, "e0200804");
  for (const char* name : {"tavohu4.ime", "tavohu2.ime", "tavohu1.ime"}) {
    std::string path = std::string("c:\\windows\\system32\\") + name;
    bench.fake.files.AddFile(path, "old module");
    if (how == InUse::Loaded) {
      bench.fake.files.LoadModule(path);
    } else {
      bench.fake.files.HoldOpen(path);
    }
    if (how != InUse::HeldOpenWithAsideNames) break;
  }
}

// The earlier module goes only when its replacement is ready to take its place: one that can make
// way neither by deletion nor by a move stops the install there, and stays the machine's module.
TEST(InstallSequence, ALockedOldModuleStopsTheInstallAndStaysInPlace) {
  SequenceMachine bench(false);
  EarlierIme(bench, InUse::HeldOpenWithAsideNames);
  EXPECT_EQ(flow::RunSilentRoad(bench.s), flow::kExitOldImeLocked);
  ASSERT_EQ(bench.fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(bench.fake.dialogs.shown[0].textW, flow::text::kOldImeLocked);
  EXPECT_EQ(bench.fake.dialogs.shown[0].captionW, u"Tavo安装");
  EXPECT_TRUE(bench.fake.files.HasFile("c:\\tavohu\\tvnetsj.dat"));
  EXPECT_TRUE(bench.fake.files.HasDirectory("c:\\tavohu\\filer"));
  EXPECT_EQ(bench.fake.files.Contents("c:\\windows\\system32\\tavohu4.ime"), "old module");
  EXPECT_FALSE(bench.fake.files.HasFile("c:\\windows\\system32\\tavohu4.new"));
  EXPECT_FALSE(bench.fake.files.HasFile("c:\\windows\\system32\\tavodel.exe"));
  EXPECT_TRUE(bench.Started().empty());
}

// A module held open cannot be renamed either, even with both aside names free (the end-to-end
// case reinstall_module_held_open).
TEST(InstallSequence, AnOldModuleHeldOpenStopsTheInstallThoughTheAsideNamesAreFree) {
  SequenceMachine bench(false);
  EarlierIme(bench, InUse::HeldOpen);
  EXPECT_EQ(flow::RunSilentRoad(bench.s), flow::kExitOldImeLocked);
  ASSERT_EQ(bench.fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(bench.fake.dialogs.shown[0].textW, flow::text::kOldImeLocked);
  EXPECT_EQ(bench.fake.files.Contents("c:\\windows\\system32\\tavohu4.ime"), "old module");
  EXPECT_FALSE(bench.fake.files.HasFile("c:\\windows\\system32\\tavohu2.ime"));
  EXPECT_FALSE(bench.fake.files.HasFile("c:\\windows\\system32\\tavohu1.ime"));
  EXPECT_TRUE(bench.Started().empty());
}

// The unpack breaks off (here: the directory after /D= lies on a drive that is not there). The
// module in the preload list is the machine's only one: it stays, and so do the stores, which
// keep naming the directory that works.
TEST(InstallSequence, AnUnpackThatBreaksOffKeepsTheModuleAndTheStores) {
  for (int major : {5, 6}) {
    SCOPED_TRACE(major);
    SequenceMachine bench(false);
    bench.fake.SetWindows(static_cast<uint32_t>(major), false);
    core::FindSystemFacts(bench.s);
    EarlierIme(bench, InUse::Loaded);
    bench.fake.files.AddFile("c:\\tavohu\\tavokelv.exe", "the working install");
    bench.fake.files.AddFile("c:\\windows\\tavopath.tvh", "c:\\tavohu\\");
    bench.fake.registry.SetValue("HKLM\\Software\\tavowb", "path", platform::kRegSz, "c:\\tavohu\\");
    bench.s.InstallDir = "q:\\tavohu\\";
    bench.s.PayloadImage = bench.fake.resources.Load("TVZ", "KELVTVZ");
    bench.s.WorkBuffer = bench.fake.resources.AllocZeroed(2 * 1024 * 1024);
    core::SilentObserver nobody;
    core::InstallReport report = flow::RunInstall(bench.s, "q:\\tavohu\\", nobody);
    EXPECT_FALSE(report.unpackComplete);
    EXPECT_EQ(bench.fake.files.Contents("c:\\windows\\system32\\tavohu4.ime"), "old module");
    EXPECT_EQ(bench.fake.files.Contents("c:\\windows\\tavopath.tvh"), "c:\\tavohu\\");
    EXPECT_EQ(bench.fake.registry.Value("HKLM\\Software\\tavowb", "path").data, "c:\\tavohu\\");
    EXPECT_TRUE(bench.Started().empty());
  }
}

// Any user may write to the install directory: files put there between the unpack and the copies,
// or put there before and held open so that the unpack cannot replace them, never reach the system
// directories and are never started. What is placed comes from the payload the setup carries.
TEST(InstallSequence, FilesPlantedInTheInstallDirectoryAreNeitherPlacedNorStarted) {
  const std::vector<std::string> planted = {"tavohu4.ime", "tavohu64.ime", "tavo320.ime",  "tavo640.ime",
                                            "tavodel.exe", "tvqdel64.exe", "tavokel6.exe", "setupw64.exe"};
  struct Planter : testing_support::AnsweringObserver {
    Planter(platform::fake::FakeFiles& f, const std::vector<std::string>& n) : files(f), names(n) {}
    // After the unpack, before the copies and the starts.
    void Pause() override {
      for (const std::string& name : names) files.AddFile("c:\\tavohu\\" + name, "PLANTED " + name);
    }
    // Yes to the sentence library, which starts the main program; and while it is asked, after
    // everything is placed, the programs are planted once more.
    bool AddSentenceLibrary() override {
      Pause();
      return true;
    }
    platform::fake::FakeFiles& files;
    std::vector<std::string> names;
  };
  for (bool held : {false, true}) {
    for (bool is64 : {false, true}) {
      SCOPED_TRACE(std::string(held ? "held open before the install, " : "written during it, ") +
                   (is64 ? "64-bit" : "32-bit"));
      SequenceMachine bench(is64);
      bench.s.PayloadImage = bench.fake.resources.Load("TVZ", "KELVTVZ");
      bench.s.WorkBuffer = bench.fake.resources.AllocZeroed(2 * 1024 * 1024);
      std::vector<std::string> plantedToo = planted;
      plantedToo.push_back("tavokelv.exe");
      Planter planter(bench.fake.files, held ? std::vector<std::string>() : plantedToo);
      if (held) {
        for (const std::string& name : plantedToo) {
          bench.fake.files.AddFile("c:\\tavohu\\" + name, "PLANTED " + name);
          bench.fake.files.HoldOpen("c:\\tavohu\\" + name);
        }
      }
      core::InstallReport report = flow::RunInstall(bench.s, "c:\\tavohu\\", planter);
      for (const std::string& file : bench.fake.files.AllFiles()) {
        if (file.rfind("c:\\tavohu\\", 0) != 0) {
          EXPECT_EQ(bench.fake.files.Contents(file).find("PLANTED"), std::string::npos) << file;
        }
      }
      // Held open, the planted files make the unpack break off: the machine keeps the module it had
      // (none here). Otherwise the modules are the payload's.
      const std::string system = "c:\\windows\\system32\\";
      EXPECT_EQ(bench.fake.files.Contents(system + "tavohu4.ime"), held ? "" : is64 ? "module 64" : "module 32");
      EXPECT_EQ(bench.fake.files.Contents(system + "tavodel.exe"), is64 ? "del64" : "del");
      if (is64) {
        EXPECT_EQ(bench.fake.files.Contents("c:\\windows\\syswow64\\tavohu4.ime"), held ? "" : "module 32");
      }
      EXPECT_TRUE(bench.Started().empty());
      EXPECT_GT(report.copyFailures, 0);
      // Each program that was not started is reported like a copy that failed; before that, the
      // check of the programs once they are protected names those changed after they were placed.
      std::vector<std::string> named;
      for (const auto& box : bench.fake.dialogs.shown) {
        for (const char* program : {"c:\\tavohu\\tavokelv.exe", "c:\\tavohu\\setupw64.exe"}) {
          if (box.text.find(program) != std::string::npos) named.push_back(program);
        }
      }
      std::vector<std::string> expected;
      if (!held) {
        expected.push_back("c:\\tavohu\\setupw64.exe");
        if (is64) expected.push_back("c:\\tavohu\\tavokelv.exe");  // placed in the first pass only
      }
      expected.push_back("c:\\tavohu\\tavokelv.exe");
      if (is64) expected.push_back("c:\\tavohu\\setupw64.exe");
      // Held open, the main program could not be placed either: each copy is reported first (on
      // 32-bit Windows it is placed in both passes).
      if (held) expected.insert(expected.begin(), is64 ? 1 : 2, "c:\\tavohu\\tavokelv.exe");
      EXPECT_EQ(named, expected);
    }
  }
}

// The programs and modules in the install directory, which the Run value starts at every user's
// logon, get an access list that lets the users read and run them but not change them; the data
// files stay as the product needs them. One that cannot get it makes the install unfinished.
TEST(InstallSequence, ProgramsInTheInstallDirectoryAreLeftToTheUsersToRunOnly) {
  for (bool failing : {false, true}) {
    SCOPED_TRACE(failing ? "the access list cannot be set" : "set");
    SequenceMachine run(true);
    run.s.PayloadImage = run.fake.resources.Load("TVZ", "KELVTVZ");
    run.s.WorkBuffer = run.fake.resources.AllocZeroed(2 * 1024 * 1024);
    // Once the main program is placed (64-bit: in the first pass), its file takes no changes.
    struct Denier : testing_support::AnsweringObserver {
      explicit Denier(platform::fake::FakeFiles* f) : files(f) {}
      void Pause() override {
        if (files && ++pauses == 3) files->DenyWrites("c:\\tavohu\\tavokelv.exe");
      }
      platform::fake::FakeFiles* files;
      int pauses = 0;
    } denier(failing ? &run.fake.files : nullptr);
    core::InstallReport report = flow::RunInstall(run.s, "c:\\tavohu\\", denier);
    for (const std::string& file : run.fake.files.AllFiles()) {
      if (file.rfind("c:\\tavohu\\", 0) != 0) continue;
      const std::string extension = file.substr(file.size() - 4);
      bool program = extension == ".exe" || extension == ".ime" || extension == ".dll";
      if (failing && file == "c:\\tavohu\\tavokelv.exe") program = false;
      EXPECT_EQ(run.fake.files.IsReadAndRunOnly(file), program) << file;
    }
    EXPECT_TRUE(run.fake.files.HasFile("c:\\tavohu\\tavohu32.ime"));
    EXPECT_EQ(report.entriesFailed, failing ? 1 : 0);
    EXPECT_EQ(report.copyFailures, 0);
  }
}

// The programs the setup placed are started by their full path, held open until they have started.
TEST(InstallSequence, PlacedProgramsAreStartedByPathAndHeld) {
  SequenceMachine run(true);
  run.s.PayloadImage = run.fake.resources.Load("TVZ", "KELVTVZ");
  run.s.WorkBuffer = run.fake.resources.AllocZeroed(2 * 1024 * 1024);
  testing_support::AnsweringObserver user(true, true);
  core::InstallReport report = flow::RunInstall(run.s, "c:\\tavohu\\", user);
  EXPECT_EQ(report.copyFailures, 0);
  std::vector<std::string> programs;
  for (const auto& p : run.fake.processes.started) {
    if (p.commandLine.find("\\icacls.exe ") != std::string::npos) continue;
    EXPECT_TRUE(p.held) << p.commandLine;
    programs.push_back(p.program);
  }
  EXPECT_EQ(programs, (std::vector<std::string>{"c:\\tavohu\\tavokelv.exe", "c:\\tavohu\\setupw64.exe"}));
  // The hold ends with the start: the files can be changed again.
  EXPECT_TRUE(run.fake.files.Delete("c:\\tavohu\\tavokelv.exe"));
}

TEST(InstallSequence, AnOldModuleThatIsOnlyLoadedIsMovedAside) {
  SequenceMachine bench(false);
  EarlierIme(bench, InUse::Loaded);
  bench.fake.ime.installResult = 0;  // and the fallback registration reuses the earlier key
  int code = flow::RunSilentRoad(bench.s);
  EXPECT_EQ(bench.fake.files.Contents("c:\\windows\\system32\\tavohu2.ime"), "old module");
  EXPECT_EQ(bench.fake.files.Contents("c:\\windows\\system32\\tavohu4.ime"), "module 32");
  EXPECT_EQ(bench.fake.registry.Value(std::string(kLayouts) + "\\E0200804", "IME file").data, "TAVOHU4.IME");
  EXPECT_EQ(code, flow::kExitCheckFailed);  // this small payload has far fewer than 74 files
}

TEST(InstallSequence, SilentRoadExitCodes) {
  SequenceMachine missing(true);
  missing.fake.resources.images.clear();
  EXPECT_EQ(flow::RunSilentRoad(missing.s), flow::kExitNoPayload);
  ASSERT_EQ(missing.fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(missing.fake.dialogs.shown[0].textW, core::text::kNoPayload);
  EXPECT_TRUE(missing.fake.files.AllFiles().empty());

  SequenceMachine noMemory(true);
  noMemory.fake.resources.failAllocation = true;
  EXPECT_EQ(flow::RunSilentRoad(noMemory.s), flow::kExitNoPayload);

  SequenceMachine incomplete(true);
  incomplete.fake.resources.images["TVZ/KELVTVZ"] = PackOrDie({{"empty.txt", ""}});
  EXPECT_EQ(flow::RunSilentRoad(incomplete.s), flow::kExitUnpackIncomplete);

  SequenceMachine copyFails(true);
  copyFails.fake.files.DenyWrites("c:\\windows\\syswow64");
  EXPECT_EQ(flow::RunSilentRoad(copyFails.s), flow::kExitCopyFailed);

  // A complete product: 74 files and more.
  SequenceMachine complete(true);
  complete.fake.resources.images["TVZ/KELVTVZ"] = PackOrDie(testing_support::CompleteProductFiles());
  EXPECT_EQ(flow::RunSilentRoad(complete.s), flow::kExitInstalled);
  EXPECT_TRUE(complete.fake.dialogs.shown.empty());
  EXPECT_FALSE(complete.fake.files.HasFile("c:\\tavohu\\tavoback.tvz"));  // nothing to keep, no archive
  EXPECT_FALSE(complete.s.WorkBuffer);
}

}  // namespace
