#include "app/install_location.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"

namespace {

using platform::fake::FakePlatform;

constexpr char kPathFile1[] = "C:\\windows\\tavopath.tvh";
constexpr char kRegistryKey[] = "HKLM\\Software\\tavowb";

class InstallLocation : public ::testing::Test {
 protected:
  FakePlatform fake;
  app::SetupState s{fake.os()};
};

// Which store ReadInstallPath takes, in its order: path file 1, registry, path file 2, default.
struct ReadCase {
  const char* name;
  const char* pathFile1;  // null: absent
  const char* registry;
  const char* pathFile2;  // in c:\tavohu\ (the default directory)
  bool admin;
  const char* expected;
};

TEST_F(InstallLocation, ReadInstallPathTakesTheFirstStoreThatAnswers) {
  const ReadCase cases[] = {
      {"path file 1 wins over differing stores", "e:\\one\\", "e:\\two\\", "e:\\three\\", true, "e:\\one\\"},
      {"registry when no path file 1", nullptr, "e:\\two\\", "e:\\three\\", true, "e:\\two\\"},
      {"registry not read without write access", nullptr, "e:\\two\\", "e:\\three\\", false, "e:\\three\\"},
      {"registry not read, no path file 2", nullptr, "e:\\two\\", nullptr, false, "c:\\tavohu\\"},
      {"path file 2 when alone", nullptr, nullptr, "e:\\three\\", true, "e:\\three\\"},
      {"default directory when nothing stored", nullptr, nullptr, nullptr, true, "c:\\tavohu\\"},
      {"a store is used unchanged", "not a path", nullptr, nullptr, true, "not a path"},
      {"an empty path file 1 gives an empty directory", "", "e:\\two\\", nullptr, true, ""},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    if (c.pathFile1) machine.files.AddFile(kPathFile1, c.pathFile1);
    if (c.registry) machine.registry.SetValue(kRegistryKey, "path", platform::kRegSz, c.registry);
    if (c.pathFile2) machine.files.AddFile("c:\\tavohu\\tavopath.tvh", c.pathFile2);
    if (!c.admin) machine.DropAdminRights();
    app::SetupState state(machine.os());
    EXPECT_EQ(app::ReadInstallPath(state), c.expected) << c.name;
  }
}

TEST_F(InstallLocation, ReadInstallPathKeepsADrivePathAlreadySet) {
  fake.files.AddFile(kPathFile1, "e:\\stored\\");
  const char* kept[] = {"d:\\typed", "?:\\first byte not examined"};
  for (const char* dir : kept) {
    s.InstallDir = dir;
    EXPECT_EQ(app::ReadInstallPath(s), dir);
  }
  s.InstallDir = "d:tavohu";
  EXPECT_EQ(app::ReadInstallPath(s), "e:\\stored\\");
}

TEST_F(InstallLocation, StoresTooLongForTheBufferAreSkippedNotOverflowed) {
  fake.files.AddFile(kPathFile1, "d:\\" + std::string(230, 'a'));
  fake.registry.SetValue(kRegistryKey, "path", platform::kRegSz, std::string(200, 'b'));
  fake.files.AddFile("c:\\tavohu\\tavopath.tvh", "f:\\fits\\");
  EXPECT_EQ(app::ReadInstallPath(s), "f:\\fits\\");

  // 199 characters still fit.
  FakePlatform machine;
  std::string longest = "d:\\" + std::string(196, 'x');
  machine.files.AddFile(kPathFile1, longest);
  app::SetupState state(machine.os());
  EXPECT_EQ(app::ReadInstallPath(state), longest);
}

TEST_F(InstallLocation, StoredTextEndsAtItsFirstNul) {
  fake.files.AddFile(kPathFile1, std::string("d:\\tavohu\\\0junk", 15));
  EXPECT_EQ(app::ReadInstallPath(s), "d:\\tavohu\\");
}

TEST_F(InstallLocation, SaveInstallPathWritesEveryStoreWithoutTerminatingZero) {
  fake.files.SetDriveType('d', platform::kDriveFixed);
  s.WindowsMajor = 6;
  s.InstallDir = "d:\\tavohu";
  app::SaveInstallPath(s);

  EXPECT_EQ(s.InstallDir, "d:\\tavohu\\");
  EXPECT_EQ(fake.files.Contents(kPathFile1), "d:\\tavohu\\");
  EXPECT_EQ(fake.files.Contents(kPathFile1).size(), 10u);
  auto value = fake.registry.Value(kRegistryKey, "path");
  EXPECT_EQ(value.type, platform::kRegSz);
  EXPECT_EQ(value.data, "d:\\tavohu\\");
  EXPECT_EQ(value.data.size(), 10u);
  EXPECT_FALSE(value.wide);
  EXPECT_TRUE(fake.files.HasDirectory("d:\\tavohu"));
  EXPECT_EQ(fake.files.Contents("d:\\tavohu\\tavopath.tvh"), "d:\\tavohu\\");
}

TEST_F(InstallLocation, SaveInstallPathOnWindows5WritesNoSecondPathFile) {
  s.WindowsMajor = 5;
  s.InstallDir = "c:\\mine\\";
  app::SaveInstallPath(s);
  EXPECT_EQ(s.InstallDir, "c:\\mine\\");
  EXPECT_EQ(fake.files.Contents(kPathFile1), "c:\\mine\\");
  EXPECT_FALSE(fake.files.HasDirectory("c:\\tavohu"));
  EXPECT_FALSE(fake.files.HasFile("c:\\tavohu\\tavopath.tvh"));
}

TEST_F(InstallLocation, SaveInstallPathWithoutAdminRightsSkipsWhatItCannotWrite) {
  fake.DropAdminRights();
  s.WindowsMajor = 6;
  s.InstallDir = "c:\\mine";
  app::SaveInstallPath(s);
  EXPECT_FALSE(fake.files.HasFile(kPathFile1));
  EXPECT_FALSE(fake.registry.HasKey(kRegistryKey));
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tavopath.tvh"), "c:\\mine\\");
}

TEST_F(InstallLocation, NoFixedDriveWritesPathFile2IntoTheCurrentDirectory) {
  fake.files.SetDriveType('c', platform::kDriveRemovable);
  s.WindowsMajor = 6;
  s.InstallDir = "c:\\mine\\";
  app::SaveInstallPath(s);
  EXPECT_EQ(s.DefaultDir, "");
  EXPECT_EQ(fake.files.CurrentDirectory(), "c:\\");
  EXPECT_EQ(fake.files.Contents("c:\\tavopath.tvh"), "c:\\mine\\");
}

TEST_F(InstallLocation, DefaultInstallDirProbesGDownToC) {
  struct Case {
    std::vector<std::pair<char, uint32_t>> drives;
    const char* expected;
  };
  const Case cases[] = {
      {{{'c', platform::kDriveFixed}}, "c:\\tavohu\\"},
      {{{'c', platform::kDriveFixed}, {'d', platform::kDriveFixed}}, "d:\\tavohu\\"},
      {{{'C', platform::kDriveFixed}, {'G', platform::kDriveFixed}}, "g:\\tavohu\\"},
      {{{'c', platform::kDriveFixed}, {'g', platform::kDriveRemovable}, {'f', platform::kDriveCdrom},
        {'e', platform::kDriveRemote}},
       "c:\\tavohu\\"},
      {{{'c', platform::kDriveRemovable}}, ""},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    for (auto [letter, type] : c.drives) machine.files.SetDriveType(letter, type);
    app::SetupState state(machine.os());
    EXPECT_EQ(app::DefaultInstallDir(state), c.expected);
  }
}

TEST_F(InstallLocation, IsBadInstallDirAcceptsOneFolderBelowARoot) {
  fake.files.SetDriveType('e', platform::kDriveFixed);
  struct Case {
    const char* typed;
    int bad;
    const char* after;
  };
  const Case cases[] = {
      {"d:\\tavohu", 0, "d:\\tavohu"},
      {"d:\\tavohu\\", 0, "d:\\tavohu\\"},
      {"d:\\xy", 0, "d:\\xy"},
      {"7:\\drive letter not examined", 0, "7:\\drive letter not examined"},
      {"d:\\x", 1, "d:\\x"},
      {"d:\\", 1, "d:\\"},
      {"d:\\a\\b", 1, "d:\\a\\b"},
      {"d:\\a\\b\\", 1, "d:\\a\\b\\"},
      {"d:\\a\\b\\c", 1, "d:\\a\\b\\c"},
      {"tavohu", 1, "e:\\tavohu\\"},
      {"d:/tavohu", 1, "e:\\tavohu\\"},
      {"", 1, "e:\\tavohu\\"},
      {"d:", 1, "e:\\tavohu\\"},
  };
  for (const auto& c : cases) {
    std::string buffer = c.typed;
    EXPECT_EQ(app::IsBadInstallDir(s, buffer), c.bad) << c.typed;
    EXPECT_EQ(buffer, c.after) << c.typed;
  }
}

TEST_F(InstallLocation, Is64BitWindowsNeedsVersion6AndSysWow64) {
  struct Case {
    uint32_t major;
    bool sysWow64;
    int expected;
  };
  const Case cases[] = {{5, true, 0}, {5, false, 0}, {6, true, 1}, {6, false, 0}, {10, true, 1}, {0, true, 0}};
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.system.major = c.major;
    if (c.sysWow64) machine.files.AddDirectory("C:\\windows\\syswow64");
    app::SetupState state(machine.os());
    EXPECT_EQ(app::Is64BitWindows(state), c.expected) << c.major << " " << c.sysWow64;
    EXPECT_EQ(state.WindowsMajor, c.major);
    if (c.expected) {
      EXPECT_EQ(state.SysWow64Dir, "C:\\windows\\syswow64");
    }
  }
}

TEST_F(InstallLocation, PathExistsOpensFilesAndDirectories) {
  fake.files.AddFile("c:\\tavohu\\a.txt", "x");
  EXPECT_EQ(app::PathExists(s, "c:\\tavohu"), 1);
  EXPECT_EQ(app::PathExists(s, "c:\\tavohu\\a.txt"), 1);
  EXPECT_EQ(app::PathExists(s, "c:\\tavohu\\b.txt"), 0);
  EXPECT_EQ(app::PathExists(s, "q:\\"), 0);
  EXPECT_EQ(app::GetSysWow64Dir(s), "C:\\windows\\syswow64");
}

}  // namespace
