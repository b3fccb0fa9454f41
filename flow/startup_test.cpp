#include "flow/startup.h"

#include <gtest/gtest.h>

#include "core/install_location.h"
#include "core/path_format.h"
#include "core/system_facts.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"

namespace {

using flow::Road;
using platform::fake::FakePlatform;
using testing_support::Encode;

TEST(ContainsSwitch, FoldsOnlyTheTextSide) {
  struct Case {
    std::string text;
    const char* keyword;
    bool expected;
  };
  const Case cases[] = {
      {"regtv32=C:\\tavohu7", "regtv32", 1},
      {"REGTV32=D:\\X", "regtv32", 1},
      {"/SETTVSRF32", "settvsrf32", 1},
      {"x settvsrf32", "settvsrf32", 1},
      {"settvsrf3", "settvsrf32", 0},
      {"regtv", "regtv32", 0},
      {"", "regtv32", 0},
      {"", "", 0},
      {"abc", "", 1},
      {"ABC", "ABC", 1},    // equal bytes match without folding
      {"abc", "ABC", 0},    // the keyword side is not folded
      {"\xC1", "\xE1", 0},  // bytes above 0x7F compare exactly
      {"\xC4\xE3regtv32", "regtv32", 1},
      {std::string("reg\0tv32", 8), "regtv32", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(flow::ContainsSwitch(c.text, c.keyword), c.expected) << c.text << " / " << c.keyword;
  }
}

TEST(ParseRegisterPath, TakesEverythingAfterTheSwitchAtTheFirstLowerCaseR) {
  struct Case {
    std::string commandLine;
    std::string expected;
  };
  const std::string kOld = "c:\\old\\";
  const Case cases[] = {
      {"regtv32=C:\\tavohu7", "C:\\tavohu7\\"},  // taken with its backslash
      {"regtv32=d:\\my dir\\", "d:\\my dir\\"},
      {"xregtv32=d:\\xy", "d:\\xy\\"},
      {"regtv32=c:\\" + Encode("許", "BIG5"), "c:\\" + Encode("許", "BIG5") + "\\"},
      // Only a directory the directory page would accept is taken: the stores send every later
      // silent install there.
      {"regtv32=\"d:\\q\" more", kOld},
      {"xregtv32=d:\\x", kOld},
      {"regtv32=", kOld},
      {"regtv32=\\", kOld},
      {"regtv32=tavohu\\", kOld},
      {"regtv32=d:tavohu", kOld},
      {"regtv32=d:\\", kOld},
      {"regtv32=d:\\..\\", kOld},
      {"regtv32=d:\\a\\b\\", kOld},
      {"regtv32=d:\\a/b", kOld},
      {"regtv32=d:\\a|b", kOld},
      {"regtv32=7:\\tavohu", kOld},
      // Nor one of the system's folders, however it is spelt.
      {"regtv32=c:\\windows", kOld},
      {"regtv32=C:\\WINDOWS\\", kOld},
      {"regtv32=c:\\Program Files\\", kOld},
      {"regtv32=c:\\PROGRA~1", kOld},
      {"regtv32=c:\\ProgramData", kOld},
      {"regtv32=c:\\Users\\", kOld},
      {"regtv32=c:\\windows2", "c:\\windows2\\"},
      {"REGTV32=d:\\x", kOld},
      {"-r regtv32=d:\\x", kOld},
      {"regtv3=d:\\x", kOld},
      {"settvsrf32", kOld},
      {"", kOld},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    core::SetupState s(fake.os());
    s.InstallDir = kOld;
    EXPECT_EQ(flow::ParseRegisterPath(s, c.commandLine), c.expected != kOld) << c.commandLine;
    EXPECT_EQ(s.InstallDir, c.expected) << c.commandLine;
  }
}

TEST(ParseRegisterPath, RefusesADirectoryThatCannotFitWithItsBackslash) {
  struct Case {
    std::string directory;
    bool taken;
  };
  const Case cases[] = {
      {"d:\\" + std::string(195, 'a'), true},         // 198 + the backslash to come = 199
      {"d:\\" + std::string(196, 'a'), false},        // 199 has no room for the backslash
      {"d:\\" + std::string(195, 'a') + "\\", true},  // 199 ending in a backslash
      {"d:\\" + std::string(197, 'a'), false},        // 200 bytes
      {"d:\\" + std::string(600, 'a'), false},
      // 199 bytes ending in a double-byte character whose second byte is 0x5C: no room for the
      // backslash, which must not be taken as already there.
      {"d:\\" + std::string(194, 'a') + "\xB3\x5C", false},
      {"d:\\" + std::string(193, 'a') + "\xB3\x5C", true},
  };
  for (const auto& c : cases) {
    FakePlatform fake;
    core::SetupState s(fake.os());
    s.InstallDir = "c:\\old\\";
    flow::ParseRegisterPath(s, "regtv32=" + c.directory);
    EXPECT_EQ(s.InstallDir, c.taken ? core::WithTrailingBackslash(c.directory, s.AnsiCodePage) : "c:\\old\\")
        << c.directory.size();
    EXPECT_TRUE(core::SaveInstallPath(s)) << c.directory.size();
    EXPECT_LE(s.InstallDir.size(), core::kMaxPathChars);
    EXPECT_TRUE(core::EndsWithBackslash(s.InstallDir, s.AnsiCodePage)) << c.directory.size();
  }
}

class Admin : public ::testing::Test {
 protected:
  void SetUp() override { core::FindSystemFacts(s); }

  FakePlatform fake;
  core::SetupState s{fake.os()};
};

TEST_F(Admin, NoTestBeforeWindows6) {
  fake.system.major = 5;
  core::FindSystemFacts(s);
  fake.DropAdminRights();
  s.InstallDir = "d:\\old";
  EXPECT_FALSE(flow::LacksAdminRights(s));
  EXPECT_TRUE(fake.files.AllFiles().empty());
  EXPECT_EQ(s.InstallDir, "d:\\old");
}

TEST_F(Admin, AnAdministratorPassesAndTheStoresHoldTheRealDirectoryAgain) {
  s.InstallDir = "d:\\old";
  EXPECT_FALSE(flow::LacksAdminRights(s));
  EXPECT_EQ(s.InstallDir, "d:\\old\\");
  EXPECT_EQ(fake.files.Contents("c:\\windows\\tavopath.tvh"), "d:\\old\\");
  EXPECT_EQ(fake.registry.Value("HKLM\\Software\\tavowb", "path").data, "d:\\old\\");
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tavopath.tvh"), "d:\\old\\");
}

TEST_F(Admin, WithoutRightsAnEarlierInstallIsReadBackAndRefused) {
  fake.files.AddFile("c:\\windows\\tavopath.tvh", "d:\\old\\");
  fake.DropAdminRights();
  s.InstallDir = "d:\\old\\";
  EXPECT_TRUE(flow::LacksAdminRights(s));
  EXPECT_EQ(fake.files.Contents("c:\\windows\\tavopath.tvh"), "d:\\old\\");
}

TEST_F(Admin, WithoutRightsAFreshMachineIsRefusedToo) {
  // Anyone may create c:\tavohu and its path file; only the Windows directory and the machine
  // registry prove the rights.
  fake.DropAdminRights();
  s.InstallDir = "c:\\tavohu\\";
  EXPECT_TRUE(flow::LacksAdminRights(s));
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tavopath.tvh"), "c:\\tavohu\\");
}

class StartUp : public ::testing::Test {
 protected:
  void Machine(uint32_t major, bool is64) { fake.SetWindows(major, is64); }
  FakePlatform fake;
  core::SetupState s{fake.os()};
};

TEST_F(StartUp, ChoosesTheRoadFromTheCommandLine) {
  struct Case {
    const char* commandLine;
    uint32_t major;
    bool is64;
    Road road;
    int mode;
  };
  const Case cases[] = {
      {"", 6, true, Road::Interactive, core::kInteractive},
      {"", 5, false, Road::Interactive, core::kInteractive},
      {"settvsrf32", 6, false, Road::Silent, core::kSilent},
      {"/SETTVSRF32", 5, false, Road::Silent, core::kSilent},
      {"settvsrf32", 6, true, Road::Silent, core::kSilent},
      {"regtv32=c:\\x settvsrf32", 6, false, Road::Interactive, core::kInteractive},
      {"regtv32=c:\\x", 5, true, Road::Interactive, core::kInteractive},  // XP x64 counts as 32-bit
      {"regtv32=c:\\x", 6, true, Road::RegisterOnly, core::kInteractive},
      {"REGTV32=c:\\x settvsrf32", 6, true, Road::RegisterOnly, core::kInteractive},
      {"unrelated text", 6, true, Road::Interactive, core::kInteractive},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.SetWindows(c.major, c.is64);
    machine.system.oemCodePage = 950;
    core::SetupState state(machine.os());
    state.CurrentPage = 4;
    EXPECT_EQ(flow::StartUp(state, c.commandLine), c.road) << c.commandLine;
    EXPECT_EQ(state.InstallMode, c.mode) << c.commandLine;
    EXPECT_EQ(state.OemCodePage, 950u);
    EXPECT_EQ(state.CurrentPage, 0);
    EXPECT_EQ(machine.dialogs.shown.size(), c.road == Road::RegisterOnly ? 1u : 0u) << c.commandLine;
    EXPECT_EQ(machine.ime.installs.size(), c.road == Road::RegisterOnly ? 1u : 0u) << c.commandLine;
  }
}

TEST_F(StartUp, RegistrationOnlyRoadRecordsTheDirectoryAndRegisters) {
  Machine(6, true);
  EXPECT_EQ(flow::StartUp(s, "regtv32=C:\\tavohu7"), Road::RegisterOnly);
  EXPECT_EQ(s.InstallDir, "C:\\tavohu7\\");
  EXPECT_EQ(fake.files.Contents("c:\\windows\\tavopath.tvh"), "C:\\tavohu7\\");
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tavopath.tvh"), "C:\\tavohu7\\");
  auto value = fake.registry.Value("HKLM\\Software\\tavowb", "path");
  EXPECT_EQ(value.data, "C:\\tavohu7\\");
  EXPECT_EQ(value.type, platform::kRegSz);

  ASSERT_EQ(fake.ime.installs.size(), 1u);
  EXPECT_EQ(fake.ime.installs[0].file, u"C:\\windows\\system32\\tavohu4.ime");
  EXPECT_EQ(fake.ime.installs[0].description, u"Tavo输入平台  7.1");
  EXPECT_EQ(s.ImeLayoutHandle, 0xE0200804u);

  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  const auto& box = fake.dialogs.shown[0];
  EXPECT_TRUE(box.wide);
  EXPECT_EQ(box.captionW, u"Tavo");
  EXPECT_EQ(box.textW, u"Tavo已安装成功，如不能使用，请重新启动计算机！");
  EXPECT_EQ(box.type, platform::kMbOk);
}

TEST_F(StartUp, RegistrationMessageIsShownAlsoWhenTheImeIsRefused) {
  Machine(6, true);
  fake.ime.installResult = 0;
  EXPECT_EQ(flow::StartUp(s, "regtv32=C:\\tavohu7"), Road::RegisterOnly);
  EXPECT_EQ(s.ImeLayoutHandle, 0u);
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(fake.dialogs.shown[0].textW, flow::text::kRegisterSuccess);
}

TEST_F(StartUp, RegistrationWithoutALowerCaseSwitchSavesTheStartUpDirectory) {
  Machine(6, true);
  fake.files.AddFile("c:\\windows\\tavopath.tvh", "d:\\earlier");
  for (const char* commandLine : {"REGTV32=e:\\new", "-r regtv32=e:\\new"}) {
    core::SetupState state(fake.os());
    EXPECT_EQ(flow::StartUp(state, commandLine), Road::RegisterOnly);
    EXPECT_EQ(state.InstallDir, "d:\\earlier\\") << commandLine;
    EXPECT_EQ(fake.files.Contents("c:\\windows\\tavopath.tvh"), "d:\\earlier\\");
  }
}

// "regtv32=" without an installable directory: the road still registers and says so, and the
// directory found at start-up stays in InstallDir and in every store.
TEST_F(StartUp, RegistrationWithoutAnInstallableDirectoryKeepsTheStores) {
  for (const char* commandLine : {"regtv32=", "regtv32=\\", "regtv32=tavohu", "regtv32=d:\\..\\", "regtv32=d:\\",
                                  "regtv32=c:\\windows", "regtv32=c:\\Program Files (x86)\\"}) {
    FakePlatform machine;
    machine.SetWindows(6, true);
    core::SetupState state(machine.os());
    EXPECT_EQ(flow::StartUp(state, commandLine), Road::RegisterOnly);
    EXPECT_EQ(state.InstallDir, "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.files.Contents("c:\\windows\\tavopath.tvh"), "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.files.Contents("c:\\tavohu\\tavopath.tvh"), "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.registry.Value("HKLM\\Software\\tavowb", "path").data, "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.ime.installs.size(), 1u) << commandLine;
    ASSERT_EQ(machine.dialogs.shown.size(), 1u) << commandLine;
    EXPECT_EQ(machine.dialogs.shown[0].textW, flow::text::kRegisterSuccess);
  }
}

// Start-up reads the ANSI code page from the system, and paths are judged in it: "c:\\caf\xE9\\"
// is a folder and its backslash in code page 1252, but ends in the double-byte character E9 5C in
// GBK.
TEST_F(StartUp, PathsAreReadInTheSystemsAnsiCodePage) {
  struct Case {
    uint32_t codePage;
    const char* installDir;
  };
  const Case cases[] = {{1252, "c:\\caf\xE9\\"}, {936, "c:\\caf\xE9\\\\"}};
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.SetWindows(6, false);
    machine.system.ansiCodePage = c.codePage;
    machine.files.AddFile("c:\\windows\\tavopath.tvh", "c:\\caf\xE9\\");
    core::SetupState state(machine.os());
    EXPECT_EQ(flow::StartUp(state, ""), Road::Interactive);
    EXPECT_EQ(state.AnsiCodePage, c.codePage);
    EXPECT_EQ(state.InstallDir, c.installDir) << c.codePage;
  }
}

TEST_F(StartUp, RegistrationKeepsBlanksAndAddsTheBackslash) {
  Machine(6, true);
  flow::StartUp(s, "regtv32=d:\\my tavo dir");
  EXPECT_EQ(s.InstallDir, "d:\\my tavo dir\\");
  EXPECT_EQ(fake.registry.Value("HKLM\\Software\\tavowb", "path").data, "d:\\my tavo dir\\");
}

TEST_F(StartUp, WithoutAdminRightsEveryRoadIsRefused) {
  for (const char* commandLine : {"", "settvsrf32", "regtv32=c:\\x"}) {
    FakePlatform machine;
    machine.SetWindows(6, true);
    machine.DropAdminRights();
    core::SetupState state(machine.os());
    EXPECT_EQ(flow::StartUp(state, commandLine), Road::Refused);
    ASSERT_EQ(machine.dialogs.shown.size(), 1u);
    EXPECT_EQ(machine.dialogs.shown[0].captionW, u"Tavo");
    EXPECT_EQ(machine.dialogs.shown[0].textW, flow::text::kAdminRefusal);
    EXPECT_EQ(machine.dialogs.shown[0].type, platform::kMbOk);
    EXPECT_TRUE(machine.ime.installs.empty());
  }
}

TEST_F(StartUp, EveryStartOnWindows6RewritesTheStoresAndMakesTheDefaultDirectory) {
  Machine(6, false);
  fake.files.SetDriveType('e', platform::kDriveFixed);
  EXPECT_EQ(flow::StartUp(s, ""), Road::Interactive);
  EXPECT_TRUE(fake.files.HasDirectory("e:\\tavohu"));
  EXPECT_EQ(fake.files.Contents("c:\\windows\\tavopath.tvh"), "e:\\tavohu\\");
  EXPECT_EQ(fake.files.Contents("e:\\tavohu\\tavopath.tvh"), "e:\\tavohu\\");
  EXPECT_EQ(s.InstallDir, "e:\\tavohu\\");
}

TEST_F(StartUp, OnWindows5NothingIsWrittenBeforeTheRoad) {
  Machine(5, false);
  EXPECT_EQ(flow::StartUp(s, ""), Road::Interactive);
  EXPECT_TRUE(fake.files.AllFiles().empty());
  EXPECT_TRUE(fake.registry.Writes().empty());
  EXPECT_EQ(s.InstallDir, "c:\\tavohu\\");
}

}  // namespace
