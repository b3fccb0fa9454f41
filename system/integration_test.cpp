#include "system/integration.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"

namespace {

using platform::fake::FakePlatform;

constexpr char kUninstall[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tavoqwb";
constexpr char kRun[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kPostPlatform[] =
    "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent\\Post Platform";

class Integration : public ::testing::Test {
 protected:
  Integration() {
    fake.registry.AddKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent");
  }
  FakePlatform fake;
  core::SetupState s{fake.os()};
};

TEST_F(Integration, UninstallEntryIsWrittenInUtf16WithoutNul) {
  EXPECT_TRUE(sys::WriteUninstallEntry(s));
  auto name = fake.registry.Value(kUninstall, "DisplayName");
  EXPECT_TRUE(name.wide);
  EXPECT_EQ(name.type, platform::kRegSz);
  EXPECT_EQ(name.data, std::string("K\0e\0l\0v\0o\0", 10));
  auto uninstall = fake.registry.Value(kUninstall, "UninstallString");
  EXPECT_EQ(uninstall.data, platform::Utf16Bytes(u"C:\\windows\\system32\\tavodel.exe"));
}

TEST_F(Integration, RunEntryReplacesAnOlderCommand) {
  fake.registry.SetValue(kRun, "tvtasjgl", platform::kRegSz, "c:\\old\\tavokelv.exe tv");
  fake.registry.SetValue(kRun, "other", platform::kRegSz, "keep");
  EXPECT_TRUE(sys::WriteRunEntry(s, "D:\\tavohu\\tavokelv.exe tv"));
  auto value = fake.registry.Value(kRun, "tvtasjgl");
  EXPECT_EQ(value.data, "D:\\tavohu\\tavokelv.exe tv");
  EXPECT_FALSE(value.wide);
  EXPECT_EQ(fake.registry.Value(kRun, "other").data, "keep");
}

TEST_F(Integration, UserAgentTokenReplacesTheOlderOnesButNot6900) {
  for (const char* name : {"kelv6300", "kelv6800", "kelv6900", "kelv7000", "other"}) {
    fake.registry.SetValue(kPostPlatform, name, platform::kRegSz, "");
  }
  EXPECT_TRUE(sys::WriteUserAgentToken(s));
  EXPECT_EQ(fake.registry.ValueNames(kPostPlatform), (std::vector<std::string>{"kelv6900", "kelv7100", "other"}));
  auto token = fake.registry.Value(kPostPlatform, "kelv7100");
  EXPECT_EQ(token.type, platform::kRegSz);
  EXPECT_EQ(token.data, "");
  // Deleted in the order of the versions, before the write.
  std::vector<std::string> ops;
  for (const auto& w : fake.registry.Writes()) ops.push_back(w.op + " " + w.name);
  std::vector<std::string> expected = {"delete-value kelv6300", "delete-value kelv6800", "delete-value kelv7000",
                                       "set kelv7100"};
  EXPECT_EQ(ops, expected);
}

TEST_F(Integration, NothingIsWrittenWhenTheParentKeyIsMissingOrLocked) {
  FakePlatform bare;
  core::SetupState state(bare.os());
  EXPECT_TRUE(sys::WriteUserAgentToken(state));  // no "User Agent" key: nowhere to put it, nothing wrong
  EXPECT_TRUE(bare.registry.Writes().empty());
  fake.registry.DenyWrites(platform::RegRoot::LocalMachine);
  EXPECT_FALSE(sys::WriteUninstallEntry(s));
  EXPECT_FALSE(sys::WriteRunEntry(s, "x"));
  EXPECT_FALSE(sys::WriteUserAgentToken(s));
  EXPECT_TRUE(fake.registry.Writes().empty());
}

TEST_F(Integration, IntegrityLevelCommandQuotesTheDirectory) {
  struct Case {
    const char* installDir;
    const char* command;  // null: not started
    uint32_t codePage = 936;
  };
  const Case cases[] = {
      {"D:\\tavohu\\", "icacls.exe \"D:\\tavohu\" /SetIntegrityLevel Level: L"},
      // icacls receives the directory itself: "D:" alone would be the current directory of D:,
      // and a single backslash before the closing quote would escape it.
      {"D:\\", "icacls.exe \"D:\\\\\" /SetIntegrityLevel Level: L"},
      {"c:\\x\\\\", "icacls.exe \"c:\\x\" /SetIntegrityLevel Level: L"},
      {"D:\\my dir", "icacls.exe \"D:\\my dir\" /SetIntegrityLevel Level: L"},
      // The second byte of a double-byte character may be 0x5C; it stays: "d:\許\".
      {"d:\\\xB3\x5C\\", "icacls.exe \"d:\\\xB3\x5C\" /SetIntegrityLevel Level: L"},
      {"d:\\\x83\x5C\\", "icacls.exe \"d:\\\x83\x5C\" /SetIntegrityLevel Level: L", 932},
      // Lead bytes are those of the ANSI code page: 0xB3 is a katakana of its own in Shift JIS,
      // 0xE9 an e-acute in 1252, and the backslash after them goes (else it would escape the quote).
      {"d:\\\xB3\\", "icacls.exe \"d:\\\xB3\" /SetIntegrityLevel Level: L", 932},
      {"d:\\caf\xE9\\", "icacls.exe \"d:\\caf\xE9\" /SetIntegrityLevel Level: L", 1252},
      {"D:\\a\" /grant Everyone:F \"x\\", nullptr},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    core::SetupState state(machine.os());
    state.InstallDir = c.installDir;
    state.AnsiCodePage = c.codePage;
    sys::LowerIntegrityLevel(state);
    if (!c.command) {
      EXPECT_TRUE(machine.processes.started.empty()) << c.installDir;
      continue;
    }
    ASSERT_EQ(machine.processes.started.size(), 1u);
    // Named by its full path: never an icacls.exe beside the setup.
    EXPECT_EQ(machine.processes.started[0].commandLine, std::string("C:\\windows\\system32\\") + c.command);
    EXPECT_EQ(machine.processes.started[0].show, platform::kSwShow);
  }
}

}  // namespace
