#include "flow/deploy.h"

#include <gtest/gtest.h>

#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/system_facts.h"
#include "platform/constants.h"
#include "system/settings_files.h"
#include "tests/support/answering_observer.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/encoding.h"
#include "tests/support/module_bytes.h"

namespace {

using testing_support::Encode;
using testing_support::PackOrDie;

using testing_support::Module;
using testing_support::Stamped;

struct DeployMachine : testing_support::ArchiveMachine {
  DeployMachine() {
    std::vector<archive::NamedContent> files = {
        {"tavohu4.ime", Module("tavohu4", "  7.1")},
        {"tavohu64.ime", Module("tavohu64", "  7.1")},
        {"tavo320.ime", Module("tavo320", "  6.3")},
        {"tavo321.ime", Module("tavo321", "  6.3")},
        {"tavo640.ime", Module("tavo640", "  6.3")},
        {"tavo641.ime", Module("tavo641", "  6.3")},
        {"setupw64.exe", Module("setupw64", "  6.7")},
        {"tavodel.exe", "del32"},
        {"tvqdel64.exe", "del64"},
        {"tavokelv.exe", "kelv5"},
        {"tavokel6.exe", "kelv6"},
        {"tavocyzk.tv1", "wubi library"},
        {"tavopyck.tv1", "pinyin library"},
        {"tvszsj43.tvh", std::string(200, '\x05')},
    };
    SetPayload(PackOrDie(files));
  }
  void Machine(bool is64, uint32_t major, uint32_t codePage) {
    fake.SetWindows(major, is64);
    fake.system.oemCodePage = codePage;
    core::FindSystemFacts(s);
  }
  void RunPass(int pass) { flow::DeployFiles(s, pass == 0 ? flow::Pass::Stubs : flow::Pass::Modules, nobody, report); }

  core::SilentObserver nobody;
  core::InstallReport report;
  std::string Sys(const std::string& name) { return fake.files.Contents("c:\\windows\\system32\\" + name); }
  std::string Wow(const std::string& name) { return fake.files.Contents("c:\\windows\\syswow64\\" + name); }
};

class Deploy : public ::testing::Test, public DeployMachine {};

TEST_F(Deploy, FileTableByArchitectureVersionCodePageAndPass) {
  struct Case {
    bool is64;
    uint32_t major, codePage;
    // after pass 0 / pass 1: system32, syswow64 (64-bit), tavokelv.exe
    std::string sys0, wow0, kelv0, sys1, wow1;
    std::string uninstaller;
  };
  const Case cases[] = {
      {false, 5, 936, Stamped("tavo320", "  6.3"), "", "kelv5", Module("tavohu4", "  7.1"), "", "del32"},
      {false, 6, 936, Stamped("tavo320", "  6.3"), "", "kelv6", Module("tavohu4", "  7.1"), "", "del32"},
      {false, 6, 950, Stamped("tavo321", "  6.3"), "", "kelv6", Module("tavohu4", "  7.1"), "", "del32"},
      {true, 6, 936, Stamped("tavo640", "  6.3"), Stamped("tavo320", "  6.3"), "kelv6", Module("tavohu64", "  7.1"),
       Module("tavohu4", "  7.1"), "del64"},
      {true, 6, 950, Stamped("tavo641", "  6.3"), Stamped("tavo321", "  6.3"), "kelv6", Module("tavohu64", "  7.1"),
       Module("tavohu4", "  7.1"), "del64"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.is64) + " " + std::to_string(c.major) + " " + std::to_string(c.codePage));
    DeployMachine machine;
    machine.Machine(c.is64, c.major, c.codePage);
    machine.RunPass(0);
    EXPECT_EQ(machine.Sys("tavohu4.ime"), c.sys0);
    EXPECT_EQ(machine.Sys("tavodel.exe"), c.uninstaller);
    if (c.is64) {
      EXPECT_EQ(machine.Wow("tavohu4.ime"), c.wow0);
      EXPECT_EQ(machine.Wow("tavodel.exe"), "");
    }
    EXPECT_EQ(machine.File("tavokelv.exe"), c.kelv0);
    EXPECT_EQ(machine.File("tavohu32.ime"), Module("tavohu4", "  7.1"));
    EXPECT_EQ(machine.File("tavocyzk.tvu"), "wubi library");
    EXPECT_EQ(machine.File("tavopyck.tvu"), "pinyin library");
    EXPECT_EQ(machine.File("setupw64.exe"), Stamped("setupw64", "  6.7"));
    EXPECT_TRUE(machine.fake.registry.HasKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tavoqwb"));
    EXPECT_TRUE(machine.Has("tavo320.ime"));

    machine.RunPass(1);
    EXPECT_EQ(machine.Sys("tavohu4.ime"), c.sys1);
    if (c.is64) {
      EXPECT_EQ(machine.Wow("tavohu4.ime"), c.wow1);
    }
    for (const char* stub : {"tavo320.ime", "tavo321.ime", "tavo640.ime", "tavo641.ime"}) {
      EXPECT_FALSE(machine.Has(stub)) << stub;
    }
    EXPECT_TRUE(machine.fake.dialogs.shown.empty());
    EXPECT_EQ(machine.fake.processes.started.size(), c.major >= 6 ? 2u : 0u);  // icacls in each pass
  }
}

TEST_F(Deploy, AModuleInUseIsMovedAsideAndASecondFailureReported) {
  Machine(false, 6, 936);
  fake.files.AddFile("c:\\windows\\system32\\tavohu4.ime", "old loaded");
  fake.files.LoadModule("c:\\windows\\system32\\tavohu4.ime");
  RunPass(0);
  EXPECT_EQ(Sys("tavohu4.ime"), Stamped("tavo320", "  6.3"));
  EXPECT_EQ(Sys("tavohu2.ime"), "old loaded");
  EXPECT_EQ(report.copyFailures, 0);

  // The new stub is loaded now and both aside names are held too: tavohu2.ime is the old module,
  // still loaded under the name it was moved to, and another program holds tavohu1.ime open.
  fake.files.LoadModule("c:\\windows\\system32\\tavohu4.ime");
  fake.files.AddFile("c:\\windows\\system32\\tavohu1.ime", "held");
  fake.files.HoldOpen("c:\\windows\\system32\\tavohu1.ime");
  RunPass(1);
  EXPECT_EQ(report.copyFailures, 1);
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(
      fake.dialogs.shown[0].text,
      Encode("没有成功复制C:\\windows\\system32\\tavohu4.ime文件，请退出安装程序并手动删除该文件后重新安装！", "GBK"));
  EXPECT_EQ(fake.dialogs.shown[0].caption, Encode("Tavo(Kelvo)安装", "GBK"));
}

// A module is moved aside only when there is a new one to copy over it, and it goes back under
// its name when the copy fails after all: the machine keeps a working module.
TEST_F(Deploy, AGuardedCopyMovesAsideOnlyWhatItCanReplaceAndPutsItBack) {
  struct Case {
    const char* what;
    bool stubInPayload;
    bool diskFull;
  };
  const Case cases[] = {{"the new module is missing", false, false}, {"the copy after the move fails", true, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    DeployMachine machine;
    machine.Machine(false, 6, 936);
    if (!c.stubInPayload) {
      machine.SetPayload(PackOrDie({{"tavodel.exe", "del32"}, {"tavokel6.exe", "kelv6"}}));
    }
    machine.fake.files.AddFile("c:\\windows\\system32\\tavohu4.ime", "old loaded");
    machine.fake.files.LoadModule("c:\\windows\\system32\\tavohu4.ime");
    if (c.diskFull) machine.fake.files.FillDisk("c:\\windows\\system32");
    machine.RunPass(0);
    machine.RunPass(1);
    EXPECT_EQ(machine.Sys("tavohu4.ime"), "old loaded");
    EXPECT_FALSE(machine.fake.files.HasFile("c:\\windows\\system32\\tavohu2.ime"));
    EXPECT_FALSE(machine.fake.files.HasFile("c:\\windows\\system32\\tavohu1.ime"));
    ASSERT_FALSE(machine.fake.dialogs.shown.empty());
    EXPECT_EQ(machine.fake.dialogs.shown[0].text,
              Encode("没有成功复制C:\\windows\\system32\\tavohu4.ime文件，请退出安装程序并手动删除该文件后重新安装！",
                     "GBK"));
  }
}

// On 64-bit Windows this 32-bit program writes the 64-bit files through the sysnative alias; the
// message names them as the user finds them, in the system directory.
TEST_F(Deploy, CopyFailuresOn64BitWindowsNameTheSystemDirectory) {
  Machine(true, 6, 936);
  SetPayload(PackOrDie({{"tavo320.ime", Module("tavo320", "  6.3")},
                        {"tavohu4.ime", Module("tavohu4", "  7.1")},
                        {"tavohu64.ime", Module("tavohu64", "  7.1")},
                        {"tavokel6.exe", "kelv6"}}));
  RunPass(0);
  std::vector<std::string> texts;
  for (const auto& box : fake.dialogs.shown) texts.push_back(box.text);
  const std::string before = Encode("没有成功复制", "GBK");
  const std::string after = Encode("文件，请退出安装程序并手动删除该文件后重新安装！", "GBK");
  EXPECT_EQ(texts, (std::vector<std::string>{before + "C:\\windows\\system32\\tavohu4.ime" + after,
                                             before + "C:\\windows\\system32\\tavodel.exe" + after}));
}

// The install directory's disk fills up: every file created there stays empty. No piece of a file
// is left under its name, and the machine keeps the modules of the earlier install, whole; the
// uninstaller is the payload's, whole. The install is reported incomplete.
TEST_F(Deploy, AFullInstallDiskLeavesNoPieceAndKeepsTheEarlierModules) {
  for (bool is64 : {false, true}) {
    SCOPED_TRACE(is64 ? "64-bit" : "32-bit");
    DeployMachine machine;
    machine.Machine(is64, 6, 936);
    const std::vector<std::string> earlier = {"c:\\windows\\system32\\tavohu4.ime",
                                              "c:\\windows\\system32\\tavodel.exe",
                                              "c:\\windows\\syswow64\\tavohu4.ime"};
    for (const std::string& path : earlier) {
      if (is64 || path.find("syswow64") == std::string::npos) machine.fake.files.AddFile(path, "earlier " + path);
    }
    machine.fake.files.FillDisk("c:\\tavohu");
    machine.RunPass(0);
    machine.RunPass(1);
    EXPECT_FALSE(machine.report.unpackComplete);
    EXPECT_GT(machine.report.copyFailures, 0);
    for (const std::string& file : machine.fake.files.AllFiles()) {
      if (file.rfind("c:\\tavohu\\", 0) == 0) ADD_FAILURE() << "left " << file;
    }
    for (const std::string& path : earlier) {
      if (path.find("tavodel.exe") != std::string::npos) {
        EXPECT_EQ(machine.fake.files.Contents(path), is64 ? "del64" : "del32");
      } else if (is64 || path.find("syswow64") == std::string::npos) {
        EXPECT_EQ(machine.fake.files.Contents(path), "earlier " + path);
      }
    }
  }
}

// The earlier install's data could not be packed (here: it broke off before placing all of them).
// The user's files that are there stay as they are; those it never placed come from the payload,
// or the install could never be made whole again.
// The disk fills up after the unpack: the module's copy in the install directory that it cut short
// is taken away, and the system directory gets the whole module all the same, from the payload.
TEST_F(Deploy, ACopyCutShortByAFullDiskIsTakenAway) {
  Machine(false, 6, 936);
  RunPass(0);
  ASSERT_EQ(Sys("tavohu4.ime"), Stamped("tavo320", "  6.3"));
  ASSERT_TRUE(fake.files.Delete("c:\\tavohu\\tavohu32.ime"));
  fake.files.FillDisk("c:\\tavohu");
  RunPass(1);
  EXPECT_FALSE(Has("tavohu32.ime"));
  EXPECT_FALSE(Has("tavohu32.new"));
  EXPECT_EQ(Sys("tavohu4.ime"), Module("tavohu4", "  7.1"));
  EXPECT_GT(report.copyFailures, 0);
}

// The system directory's disk fills up: the new module is written under a fresh name first, so the
// working module it was to replace is never touched, and nothing of the new one is left behind.
TEST_F(Deploy, AModuleThatCannotBeWrittenWholeLeavesTheWorkingOneInPlace) {
  for (bool loaded : {false, true}) {
    SCOPED_TRACE(loaded ? "loaded" : "not loaded");
    DeployMachine machine;
    machine.Machine(false, 6, 936);
    machine.fake.files.AddFile("c:\\windows\\system32\\tavohu4.ime", "working module");
    if (loaded) machine.fake.files.LoadModule("c:\\windows\\system32\\tavohu4.ime");
    machine.fake.files.FillDisk("c:\\windows\\system32");
    machine.RunPass(0);
    EXPECT_EQ(machine.Sys("tavohu4.ime"), "working module");
    for (const char* name : {"tavohu4.new", "tavohu2.ime", "tavohu1.ime", "tavodel.new"}) {
      EXPECT_FALSE(machine.fake.files.HasFile(std::string("c:\\windows\\system32\\") + name)) << name;
    }
    EXPECT_GT(machine.report.copyFailures, 0);
  }
}

TEST_F(Deploy, WithoutABackupTheUsersFilesStayAndTheMissingOnesAreWritten) {
  Machine(false, 6, 936);
  fake.files.AddFile("c:\\tavohu\\tvszsj43.tvh", "the user's record");
  s.BackupState = core::Backup::Failed;
  RunPass(0);
  EXPECT_EQ(File("tvszsj43.tvh"), "the user's record");
  EXPECT_EQ(File("tavocyzk.tv1"), "wubi library");
  EXPECT_EQ(File("tavocyzk.tvu"), "wubi library");
  EXPECT_TRUE(report.unpackComplete);
  EXPECT_EQ(report.copyFailures, 0);
}

TEST_F(Deploy, KeepDataQuestionAndWhatFollows) {
  struct Case {
    const char* what;
    core::Backup backupState;
    bool backupOnDisk;
    bool keep;  // the answer, when the question is put
    int questions;
    core::Backup stateAfter;
    bool userFileKept;
    bool silent = false;
  };
  const Case cases[] = {
      {"no earlier install", core::Backup::None, false, true, 0, core::Backup::None, false},
      {"keep", core::Backup::Made, true, true, 1, core::Backup::DataKept, true},
      {"replace", core::Backup::Made, true, false, 1, core::Backup::Made, false},
      {"keep, but this run wrote no backup", core::Backup::Made, false, true, 1, core::Backup::Made, false},
      // Nobody to ask: the user's data are kept, as a Yes keeps them.
      {"silent road", core::Backup::Made, true, false, 0, core::Backup::DataKept, true, true},
      {"silent road, first install", core::Backup::None, false, true, 0, core::Backup::None, false, true},
  };
  for (const auto& c : cases) {
    DeployMachine machine;
    machine.Machine(false, 6, 936);
    machine.s.BackupState = c.backupState;
    std::string skin = PackOrDie({{"tvskin.tvh", "fresh skin"}});
    machine.SetPayload(PackOrDie({{"tvszsj43.tvh", std::string(200, '\x05')},
                                  {"tavocyzk.tv1", "shipped"},
                                  {archive::text::kDefaultSkin, skin}}));
    if (c.backupOnDisk) {
      machine.fake.files.AddFile("c:\\tavohu\\tavocyzk.tv1", "user phrases " + testing_support::RandomBytes(200, 1));
      machine.fake.files.AddFile("c:\\tavohu\\tvszsj43.tvh", std::string(200, '\x09'));
      ASSERT_TRUE(archive::AddFileToArchive(machine.s, "c:\\tavohu\\tavoback.tvz", "c:\\tavohu\\tavocyzk.tv1"));
      ASSERT_TRUE(archive::AddFileToArchive(machine.s, "c:\\tavohu\\tavoback.tvz", "c:\\tavohu\\tvszsj43.tvh"));
      ASSERT_TRUE(archive::RememberBackup(machine.s, "c:\\tavohu\\tavoback.tvz"));
    }
    testing_support::AnsweringObserver user(c.keep);
    core::SilentObserver silent;
    flow::DeployFiles(machine.s, flow::Pass::Stubs, c.silent ? static_cast<core::InstallObserver&>(silent) : user,
                      machine.report);
    EXPECT_TRUE(sys::AdjustSettingsRecord(machine.s));
    EXPECT_EQ(static_cast<int>(user.asked.size()), c.questions) << c.what;
    // (This payload has no modules: the copy failures are reported, with ANSI boxes; the install
    // itself asks nothing.)
    for (const auto& box : machine.fake.dialogs.shown) EXPECT_FALSE(box.wide) << c.what;
    EXPECT_EQ(machine.s.BackupState, c.stateAfter) << c.what;
    EXPECT_EQ(machine.File("tavocyzk.tv1") != "shipped", c.userFileKept) << c.what;
    // The skin is unpacked and the record adjusted unless the earlier data were kept.
    EXPECT_EQ(machine.Has("tvskin.tvh"), !c.userFileKept) << c.what;
    std::string record = machine.File("tvszsj43.tvh");
    EXPECT_EQ(record.substr(62, 2), c.userFileKept ? std::string(2, '\x09') : std::string(2, '\0')) << c.what;
  }
}

TEST_F(Deploy, AnIncompleteUnpackIsReportedWithoutTheQuestion) {
  Machine(false, 6, 936);
  s.BackupState = core::Backup::Made;
  SetPayload(PackOrDie({{"empty.txt", ""}}));
  // The user would say No; what was unpacked may lie over their data, which are kept unasked.
  testing_support::AnsweringObserver user(false);
  flow::DeployFiles(s, flow::Pass::Stubs, user, report);
  EXPECT_FALSE(report.unpackComplete);
  EXPECT_TRUE(user.asked.empty());
  ASSERT_GE(fake.dialogs.shown.size(), 2u);  // the entry, the whole unpack, then the copies that fail
  for (const auto& box : fake.dialogs.shown) EXPECT_FALSE(box.wide);
  EXPECT_EQ(fake.dialogs.shown[1].caption, Encode("Tavo(Kelvo)安装", "GBK"));
  EXPECT_EQ(fake.dialogs.shown[1].text,
            Encode("文件解压不完整，请到Tavo网站", "GBK") + archive::text::kHomePage + Encode("重新下载安装。", "GBK"));
}

// Whoever watches sees the directory page twice, the empty bar once and two pauses per pass;
// the silent road's nobody makes nothing wait.
TEST_F(Deploy, EachPassShowsThePageAndTheBarAndPausesTwice) {
  struct Watcher : testing_support::AnsweringObserver {
    void RedrawDirectoryPage() override { seen.push_back("page"); }
    void ShowProgress(int done, int total) override {
      seen.push_back("bar " + std::to_string(done) + "/" + std::to_string(total));
    }
    void Pause() override { seen.push_back("pause"); }
    std::vector<std::string> seen;
  };
  Machine(true, 6, 936);
  Watcher watcher;
  flow::DeployFiles(s, flow::Pass::Stubs, watcher, report);
  flow::DeployFiles(s, flow::Pass::Modules, watcher, report);
  const std::vector<std::string> pass = {"page", "pause", "page", "pause", "bar 0/64"};
  std::vector<std::string> both = pass;
  both.insert(both.end(), pass.begin(), pass.end());
  EXPECT_EQ(watcher.seen, both);
  EXPECT_EQ(report.copyFailures, 0);

  fake.system.sleptMs = 0;
  RunPass(0);
  RunPass(1);
  EXPECT_EQ(fake.system.sleptMs, 0u);
  EXPECT_TRUE(fake.windows.calls.empty());
}

}  // namespace
