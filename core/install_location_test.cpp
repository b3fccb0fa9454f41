#include "core/install_location.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"

namespace {

using platform::fake::FakePlatform;
using testing_support::Encode;

constexpr char kPathFile1[] = "C:\\windows\\tavopath.tvh";
constexpr char kRegistryKey[] = "HKLM\\Software\\tavowb";

class InstallLocation : public ::testing::Test {
 protected:
  FakePlatform fake;
  core::SetupState s{fake.os()};
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
      // A store that holds no installable directory is passed over like a missing one.
      {"no path in path file 1", "not a path", nullptr, nullptr, true, "c:\\tavohu\\"},
      {"empty path file 1", "", "e:\\two\\", nullptr, true, "e:\\two\\"},
      {"drive root", "e:\\", nullptr, "e:\\three\\", true, "e:\\three\\"},
      {"parent of a root", "e:\\..\\", "e:\\.\\", "e:\\three\\", true, "e:\\three\\"},
      {"relative directories", "\\", "A..\\", "tavohu\\", true, "c:\\tavohu\\"},
      {"two levels", "e:\\a\\b\\", "e:\\two\\", nullptr, true, "e:\\two\\"},
      {"no drive letter", "7:\\tavohu\\", nullptr, nullptr, true, "c:\\tavohu\\"},
      {"forbidden character", "e:\\a|b\\", nullptr, "e:\\three\\", true, "e:\\three\\"},
      {"the administrator test's marker", "tavoisadmin\\", nullptr, nullptr, true, "c:\\tavohu\\"},
      // A directory stored without its backslash is read with it: names are joined to it.
      {"path file 1 without the backslash", "e:\\one", nullptr, nullptr, true, "e:\\one\\"},
      {"registry without the backslash", nullptr, "e:\\two", nullptr, true, "e:\\two\\"},
      {"path file 2 without the backslash", nullptr, nullptr, "e:\\three", true, "e:\\three\\"},
      // A folder of the system is no directory to install into, however it is spelt.
      {"path file 2 naming the Windows directory", nullptr, nullptr, "c:\\windows\\", true, "c:\\tavohu\\"},
      {"path file 2 naming it in capitals", nullptr, nullptr, "C:\\WINDOWS", true, "c:\\tavohu\\"},
      {"path file 1 naming the Windows directory", "c:\\Windows\\", "e:\\two\\", nullptr, true, "e:\\two\\"},
      {"registry naming Program Files", nullptr, "c:\\program files\\", "e:\\three\\", true, "e:\\three\\"},
      {"registry naming Program Files by its short name", nullptr, "C:\\PROGRA~1", "e:\\three\\", true, "e:\\three\\"},
      {"path file 2 naming ProgramData", nullptr, nullptr, "c:\\ProgramData\\", true, "c:\\tavohu\\"},
      {"path file 2 naming the profiles folder", nullptr, nullptr, "c:\\Users\\", true, "c:\\tavohu\\"},
      {"path file 2 naming its junction", nullptr, nullptr, "c:\\Documents and Settings", true, "c:\\tavohu\\"},
      {"a folder named like the Windows directory", nullptr, nullptr, "c:\\windows.old\\", true, "c:\\windows.old\\"},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    if (c.pathFile1) machine.files.AddFile(kPathFile1, c.pathFile1);
    if (c.registry) machine.registry.SetValue(kRegistryKey, "path", platform::kRegSz, c.registry);
    if (c.pathFile2) machine.files.AddFile("c:\\tavohu\\tavopath.tvh", c.pathFile2);
    if (!c.admin) machine.DropAdminRights();
    core::SetupState state(machine.os());
    EXPECT_EQ(core::ReadInstallPath(state), c.expected) << c.name;
  }
}

// The system's folders are those this machine's Windows names: on 64-bit Windows both Program
// Files, on XP "Documents and Settings", with Windows on d: its directory there.
TEST_F(InstallLocation, ReadInstallPathPassesOverTheFoldersOfThisMachinesSystem) {
  enum class Store { PathFile1, Registry, PathFile2 };
  struct Case {
    const char* machine;
    std::function<void(FakePlatform&)> make;
    Store store;
    const char* stored;
    // The next store holds e:\three\ (path file 2 comes last: then the default, c:\tavohu\).
    const char* expected;
  };
  auto x64 = [](FakePlatform& m) { m.SetWindows(6, true); };
  auto xp = [](FakePlatform& m) { m.SetWindows(5, false); };
  auto onD = [](FakePlatform& m) {
    m.files.SetWindowsDirectory("D:\\WINNT");
    m.SetWindows(6, false);
  };
  const Case cases[] = {
      {"7 64-bit", x64, Store::PathFile1, "c:\\Program Files (x86)\\", "e:\\three\\"},
      {"7 64-bit", x64, Store::Registry, "C:\\PROGRA~2\\", "e:\\three\\"},
      {"7 64-bit", x64, Store::PathFile2, "c:\\program files", "c:\\tavohu\\"},
      {"XP", xp, Store::PathFile1, "c:\\Documents and Settings\\", "e:\\three\\"},
      {"XP", xp, Store::PathFile2, "C:\\DOCUME~1\\", "c:\\tavohu\\"},
      {"XP", xp, Store::Registry, "c:\\ProgramData\\", "c:\\ProgramData\\"},  // a folder of 6.x only
      {"on d:", onD, Store::PathFile1, "d:\\winnt\\", "e:\\three\\"},
      {"on d:", onD, Store::Registry, "D:\\WinNT", "e:\\three\\"},
      {"on d:", onD, Store::PathFile2, "d:\\users\\", "c:\\tavohu\\"},
      {"on d:", onD, Store::PathFile2, "c:\\windows\\", "c:\\windows\\"},  // nobody's there
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    c.make(machine);
    const std::string pathFile1 = machine.files.WindowsDirectory() + "\\tavopath.tvh";
    const std::string pathFile2 = "c:\\tavohu\\tavopath.tvh";
    switch (c.store) {
      case Store::PathFile1:
        machine.files.AddFile(pathFile1, c.stored);
        machine.registry.SetValue(kRegistryKey, "path", platform::kRegSz, "e:\\three\\");
        break;
      case Store::Registry:
        machine.registry.SetValue(kRegistryKey, "path", platform::kRegSz, c.stored);
        machine.files.AddFile(pathFile2, "e:\\three\\");
        break;
      case Store::PathFile2:
        machine.files.AddFile(pathFile2, c.stored);
        break;
    }
    core::SetupState state(machine.os());
    EXPECT_EQ(core::ReadInstallPath(state), c.expected) << c.machine << ": " << c.stored;
  }
}

// Only a text is a directory: a number or binary value in "path" is passed over whatever its bytes.
TEST_F(InstallLocation, ReadInstallPathTakesOnlyATextFromTheRegistry) {
  struct Case {
    uint32_t type;
    std::string data;
    const char* expected;
  };
  const Case cases[] = {
      {platform::kRegSz, "e:\\two\\", "e:\\two\\"},
      {platform::kRegDword, std::string("\x41\x2E\x2E\x5C", 4), "e:\\three\\"},  // 0x5c2e2e41: "A..\"
      {3, "e:\\two\\", "e:\\three\\"},                                           // REG_BINARY
      {2, "e:\\two\\", "e:\\three\\"},                                           // REG_EXPAND_SZ
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.registry.SetValue(kRegistryKey, "path", c.type, c.data);
    machine.files.AddFile("c:\\tavohu\\tavopath.tvh", "e:\\three\\");
    core::SetupState state(machine.os());
    EXPECT_EQ(core::ReadInstallPath(state), c.expected) << c.type;
  }
}

// A double-byte directory read from a store is the directory it names, trail byte 0x5C included.
TEST_F(InstallLocation, ReadInstallPathTakesDoubleByteDirectories) {
  const std::string xu = Encode("許", "BIG5");  // B3 5C
  struct Case {
    uint32_t codePage;
    std::string stored;
    std::string expected;
  };
  const Case cases[] = {
      {950, "c:\\" + xu + "\\", "c:\\" + xu + "\\"},
      // Without its own backslash it gets one: the trail byte 0x5C is none.
      {950, "c:\\" + xu, "c:\\" + xu + "\\"},
      {936, "d:\\" + Encode("億", "GBK") + "\\", "d:\\" + Encode("億", "GBK") + "\\"},
      // In a single-byte code page the 0x5C is a backslash of its own: two levels.
      {1252, "c:\\" + xu + "\\", "c:\\tavohu\\"},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.files.AddFile(kPathFile1, c.stored);
    core::SetupState state(machine.os());
    state.AnsiCodePage = c.codePage;
    EXPECT_EQ(core::ReadInstallPath(state), c.expected) << c.codePage;
  }
}

TEST_F(InstallLocation, ReadInstallPathKeepsADrivePathAlreadySet) {
  fake.files.AddFile(kPathFile1, "e:\\stored\\");
  const char* kept[] = {"d:\\typed", "?:\\first byte not examined"};
  for (const char* dir : kept) {
    s.InstallDir = dir;
    EXPECT_EQ(core::ReadInstallPath(s), dir);
  }
  s.InstallDir = "d:tavohu";
  EXPECT_EQ(core::ReadInstallPath(s), "e:\\stored\\");
}

TEST_F(InstallLocation, StoresTooLongForTheBufferAreSkippedNotOverflowed) {
  fake.files.AddFile(kPathFile1, "d:\\" + std::string(230, 'a'));
  fake.registry.SetValue(kRegistryKey, "path", platform::kRegSz, std::string(200, 'b'));
  fake.files.AddFile("c:\\tavohu\\tavopath.tvh", "f:\\fits\\");
  EXPECT_EQ(core::ReadInstallPath(s), "f:\\fits\\");

  // 199 characters still fit.
  FakePlatform machine;
  std::string longest = "d:\\" + std::string(196, 'x');
  machine.files.AddFile(kPathFile1, longest);
  core::SetupState state(machine.os());
  EXPECT_EQ(core::ReadInstallPath(state), longest);
}

TEST_F(InstallLocation, StoredTextEndsAtItsFirstNul) {
  fake.files.AddFile(kPathFile1, std::string("d:\\tavohu\\\0junk", 15));
  EXPECT_EQ(core::ReadInstallPath(s), "d:\\tavohu\\");
}

TEST_F(InstallLocation, SaveInstallPathWritesEveryStoreWithoutTerminatingZero) {
  fake.files.SetDriveType('d', platform::kDriveFixed);
  s.WindowsMajor = 6;
  s.InstallDir = "d:\\tavohu";
  EXPECT_TRUE(core::SaveInstallPath(s));

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

// The backslash is added after the last character, not after a byte 0x5C that is the second half
// of one: "d:\\許" (Big5 B3 5C) is saved as "d:\\許\\", so files go inside it, not into the root.
TEST_F(InstallLocation, SaveInstallPathAddsTheBackslashAfterWholeCharacters) {
  const std::string xu = Encode("許", "BIG5");
  struct Case {
    uint32_t codePage;
    std::string dir;
    std::string saved;
  };
  const Case cases[] = {
      {950, "d:\\" + xu, "d:\\" + xu + "\\"},
      {950, "d:\\" + xu + "\\", "d:\\" + xu + "\\"},
      {936, "d:\\" + xu, "d:\\" + xu + "\\"},
      {932, "d:\\\x83\x5C", "d:\\\x83\x5C\\"},  // ソ
      {932, "d:\\\xB3\\", "d:\\\xB3\\"},        // a katakana and the backslash
      {1252, "d:\\caf\xE9\\", "d:\\caf\xE9\\"},
      {936, "d:\\caf\xE9\\", "d:\\caf\xE9\\\\"},  // E9 5C is one character in GBK
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    core::SetupState state(machine.os());
    state.WindowsMajor = 6;
    state.AnsiCodePage = c.codePage;
    state.InstallDir = c.dir;
    EXPECT_TRUE(core::SaveInstallPath(state));
    EXPECT_EQ(state.InstallDir, c.saved) << c.codePage << " " << c.dir;
    EXPECT_EQ(machine.files.Contents(kPathFile1), c.saved) << c.codePage << " " << c.dir;
    EXPECT_EQ(machine.registry.Value(kRegistryKey, "path").data, c.saved) << c.codePage << " " << c.dir;
  }
}

TEST_F(InstallLocation, SaveInstallPathOnWindows5WritesNoSecondPathFile) {
  s.WindowsMajor = 5;
  s.InstallDir = "c:\\mine\\";
  EXPECT_TRUE(core::SaveInstallPath(s));
  EXPECT_EQ(s.InstallDir, "c:\\mine\\");
  EXPECT_EQ(fake.files.Contents(kPathFile1), "c:\\mine\\");
  EXPECT_FALSE(fake.files.HasDirectory("c:\\tavohu"));
  EXPECT_FALSE(fake.files.HasFile("c:\\tavohu\\tavopath.tvh"));
}

TEST_F(InstallLocation, SaveInstallPathWithoutAdminRightsSkipsWhatItCannotWrite) {
  fake.DropAdminRights();
  s.WindowsMajor = 6;
  s.InstallDir = "c:\\mine";
  EXPECT_FALSE(core::SaveInstallPath(s));  // path file 1 and the registry value cannot be written
  EXPECT_FALSE(fake.files.HasFile(kPathFile1));
  EXPECT_FALSE(fake.registry.HasKey(kRegistryKey));
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tavopath.tvh"), "c:\\mine\\");
}

TEST_F(InstallLocation, NoFixedDriveWritesPathFile2IntoTheCurrentDirectory) {
  fake.files.SetDriveType('c', platform::kDriveRemovable);
  s.WindowsMajor = 6;
  s.InstallDir = "c:\\mine\\";
  EXPECT_TRUE(core::SaveInstallPath(s));
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
      {{{'c', platform::kDriveFixed},
        {'g', platform::kDriveRemovable},
        {'f', platform::kDriveCdrom},
        {'e', platform::kDriveRemote}},
       "c:\\tavohu\\"},
      {{{'c', platform::kDriveRemovable}}, ""},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    for (auto [letter, type] : c.drives) machine.files.SetDriveType(letter, type);
    core::SetupState state(machine.os());
    EXPECT_EQ(core::DefaultInstallDir(state), c.expected);
  }
}

TEST_F(InstallLocation, ThePageAcceptsOneFolderBelowARootAndOffersACorrection) {
  fake.files.SetDriveType('e', platform::kDriveFixed);
  struct Case {
    const char* typed;
    bool bad;
    const char* offered;  // after a refusal
  };
  const Case cases[] = {
      {"d:\\tavohu", 0, ""},
      {"d:\\tavohu\\", 0, ""},
      {"d:\\xy", 0, ""},
      {"7:\\drive letter not examined", 0, ""},
      {"d:\\x", 1, "d:\\tavohu"},
      {"d:\\", 1, "d:\\tavohu"},
      {"d:\\a\\b", 1, "d:\\tavohu"},
      {"d:\\a\\b\\", 1, "d:\\tavohu"},
      {"d:\\a\\b\\c", 1, "d:\\tavohu"},
      {"d:\\a\\\\", 1, "d:\\tavohu"},
      {"d:\\\\ab", 1, "d:\\tavohu"},
      // "." and ".." are the root itself; Windows drops a trailing dot or blank.
      {"d:\\..", 1, "d:\\tavohu"},
      {"d:\\..\\", 1, "d:\\tavohu"},
      {"d:\\.", 1, "d:\\tavohu"},
      {"d:\\.\\", 1, "d:\\tavohu"},
      {"d:\\tavohu.", 1, "d:\\tavohu"},
      {"d:\\tavohu \\", 1, "d:\\tavohu"},
      {"d:\\   ", 1, "d:\\tavohu"},
      {"d:\\.tavo", 0, ""},
      {"d:\\my tavo", 0, ""},
      // A forward slash is a separator too; characters Windows refuses in a name.
      {"d:\\a/b", 1, "d:\\tavohu"},
      {"d:\\ab/", 1, "d:\\tavohu"},
      {"d:\\a|b", 1, "d:\\tavohu"},
      {"d:\\a<b", 1, "d:\\tavohu"},
      {"d:\\a?b", 1, "d:\\tavohu"},
      {"d:\\a*b", 1, "d:\\tavohu"},
      {"d:\\a\"b", 1, "d:\\tavohu"},
      {"d:\\a:b", 1, "d:\\tavohu"},
      {"d:\\a\tb", 1, "d:\\tavohu"},
      {"tavohu", 1, "e:\\tavohu"},
      {"d:/tavohu", 1, "e:\\tavohu"},
      {"", 1, "e:\\tavohu"},
      {"d:", 1, "e:\\tavohu"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(core::IsAcceptedInstallDir(s, c.typed), !c.bad) << c.typed;
    if (c.bad) {
      EXPECT_EQ(core::CorrectedInstallDir(s, c.typed), c.offered) << c.typed;
    }
  }
}

// Separators and forbidden characters are read character by character in the ANSI code page.
TEST_F(InstallLocation, ThePageReadsDoubleByteCharactersWhole) {
  fake.files.SetDriveType('e', platform::kDriveFixed);
  const std::string xu = Encode("許", "BIG5");  // B3 5C
  struct Case {
    uint32_t codePage;
    std::string typed;
    bool bad;
    std::string offered;  // after a refusal
  };
  const Case cases[] = {
      {950, "d:\\" + xu, 0, ""},
      {950, "d:\\" + xu + "\\", 0, ""},
      {950, "d:\\" + xu + "\\a", 1, "d:\\tavohu"},
      {950, "e:\\" + Encode("四", "BIG5"), 0, ""},  // A5 7C
      {950, "d:\\" + Encode("會計", "BIG5"), 0, ""},
      {936, "d:\\" + Encode("億", "GBK"), 0, ""},  // 83 7C
      {936, "d:\\" + Encode("安装", "GBK") + "\\", 0, ""},
      {932, "d:\\\x83\x5C", 0, ""},
      // Where these bytes are single characters, 0x5C and 0x7C are what they look like.
      {1252, "d:\\" + xu, 0, ""},  // one folder and its backslash
      {1252, "d:\\" + xu + "a", 1, "d:\\tavohu"},
      {1252, "e:\\\xA5|", 1, "e:\\tavohu"},
      // A character cut in half would take the backslash added after it as its second byte.
      {936, "d:\\ab\xB3", 1, "d:\\tavohu"},
      // A lead byte in front takes the ':' as its second byte: no drive at all, and the default
      // directory's drive is offered.
      {936, "\xB3:\\tavohu", 1, "e:\\tavohu"},
      {1252, "\xB3:\\tavohu", 0, ""},
  };
  for (const auto& c : cases) {
    s.AnsiCodePage = c.codePage;
    EXPECT_EQ(core::IsAcceptedInstallDir(s, c.typed), !c.bad) << c.codePage << " " << c.typed;
    if (c.bad) {
      EXPECT_EQ(core::CorrectedInstallDir(s, c.typed), c.offered) << c.codePage << " " << c.typed;
    }
  }
}

}  // namespace
