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

TEST(ContainsSwitch, AnywhereInTheLineInEitherCase) {
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
      {"\xC4\xE3regtv32", "regtv32", 1},
      // The line is read byte by byte, so an 'R' after 0xB0 starts the switch.
      {"\xB0REGTV32", "regtv32", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(flow::ContainsSwitch(c.text, c.keyword), c.expected) << c.text << " / " << c.keyword;
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
  };
  const Case cases[] = {
      {"", 6, true, Road::Interactive},
      {"", 5, false, Road::Interactive},
      {"settvsrf32", 6, false, Road::Silent},
      {"/SETTVSRF32", 5, false, Road::Silent},
      {"settvsrf32", 6, true, Road::Silent},
      {"regtv32=c:\\x settvsrf32", 6, false, Road::Interactive},
      {"regtv32=c:\\x", 5, true, Road::Interactive},  // XP x64 counts as 32-bit
      {"regtv32=c:\\x", 6, true, Road::RegisterOnly},
      {"REGTV32=c:\\x settvsrf32", 6, true, Road::RegisterOnly},
      {"unrelated text", 6, true, Road::Interactive},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.SetWindows(c.major, c.is64);
    machine.system.oemCodePage = 950;
    core::SetupState state(machine.os());
    EXPECT_EQ(flow::StartUp(state, c.commandLine), c.road) << c.commandLine;
    EXPECT_EQ(state.OemCodePage, 950u);
    // The start-up only chooses: the registration is the road's own work.
    EXPECT_TRUE(machine.dialogs.shown.empty()) << c.commandLine;
    EXPECT_TRUE(machine.ime.installs.empty()) << c.commandLine;
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
