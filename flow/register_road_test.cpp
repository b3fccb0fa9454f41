#include "flow/register_road.h"

#include <gtest/gtest.h>

#include "core/install_location.h"
#include "core/path_format.h"
#include "flow/startup.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"

namespace {

using flow::Road;
using platform::fake::FakePlatform;
using testing_support::Encode;

// The start-up, and the registration-only road when it chose that one, as the program runs them.
Road StartAndRegister(core::SetupState& s, const std::string& commandLine) {
  Road road = flow::StartUp(s, commandLine);
  if (road == Road::RegisterOnly) {
    EXPECT_EQ(flow::RunRegisterRoad(s, commandLine), 0);
  }
  return road;
}

class RegisterRoad : public ::testing::Test {
 protected:
  void Machine(uint32_t major, bool is64) { fake.SetWindows(major, is64); }
  FakePlatform fake;
  core::SetupState s{fake.os()};
};

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

TEST_F(RegisterRoad, RegistrationOnlyRoadRecordsTheDirectoryAndRegisters) {
  Machine(6, true);
  EXPECT_EQ(StartAndRegister(s, "regtv32=C:\\tavohu7"), Road::RegisterOnly);
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

TEST_F(RegisterRoad, RegistrationMessageIsShownAlsoWhenTheImeIsRefused) {
  Machine(6, true);
  fake.ime.installResult = 0;
  EXPECT_EQ(StartAndRegister(s, "regtv32=C:\\tavohu7"), Road::RegisterOnly);
  EXPECT_EQ(s.ImeLayoutHandle, 0u);
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(fake.dialogs.shown[0].textW, flow::text::kRegisterSuccess);
}

TEST_F(RegisterRoad, RegistrationWithoutALowerCaseSwitchSavesTheStartUpDirectory) {
  Machine(6, true);
  fake.files.AddFile("c:\\windows\\tavopath.tvh", "d:\\earlier");
  for (const char* commandLine : {"REGTV32=e:\\new", "-r regtv32=e:\\new"}) {
    core::SetupState state(fake.os());
    EXPECT_EQ(StartAndRegister(state, commandLine), Road::RegisterOnly);
    EXPECT_EQ(state.InstallDir, "d:\\earlier\\") << commandLine;
    EXPECT_EQ(fake.files.Contents("c:\\windows\\tavopath.tvh"), "d:\\earlier\\");
  }
}

TEST_F(RegisterRoad, RegistrationKeepsBlanksAndAddsTheBackslash) {
  Machine(6, true);
  StartAndRegister(s, "regtv32=d:\\my tavo dir");
  EXPECT_EQ(s.InstallDir, "d:\\my tavo dir\\");
  EXPECT_EQ(fake.registry.Value("HKLM\\Software\\tavowb", "path").data, "d:\\my tavo dir\\");
}

// "regtv32=" without an installable directory: the road still registers and says so, and the
// directory found at start-up stays in InstallDir and in every store.
TEST_F(RegisterRoad, RegistrationWithoutAnInstallableDirectoryKeepsTheStores) {
  for (const char* commandLine : {"regtv32=", "regtv32=\\", "regtv32=tavohu", "regtv32=d:\\..\\", "regtv32=d:\\",
                                  "regtv32=c:\\windows", "regtv32=c:\\Program Files (x86)\\"}) {
    FakePlatform machine;
    machine.SetWindows(6, true);
    core::SetupState state(machine.os());
    EXPECT_EQ(StartAndRegister(state, commandLine), Road::RegisterOnly);
    EXPECT_EQ(state.InstallDir, "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.files.Contents("c:\\windows\\tavopath.tvh"), "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.files.Contents("c:\\tavohu\\tavopath.tvh"), "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.registry.Value("HKLM\\Software\\tavowb", "path").data, "c:\\tavohu\\") << commandLine;
    EXPECT_EQ(machine.ime.installs.size(), 1u) << commandLine;
    ASSERT_EQ(machine.dialogs.shown.size(), 1u) << commandLine;
    EXPECT_EQ(machine.dialogs.shown[0].textW, flow::text::kRegisterSuccess);
  }
}

}  // namespace
