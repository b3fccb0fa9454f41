#include "core/system_folders.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/faulty_platform.h"
#include "tests/support/encoding.h"

namespace {

using platform::fake::FakePlatform;
using testing_support::Encode;

// The machines the setup meets, each with its system's folders where that Windows puts them.
void Windows7(FakePlatform&) {}
void Windows7x64(FakePlatform& m) { m.SetWindows(6, true); }
void WindowsXp(FakePlatform& m) { m.SetWindows(5, false); }
void Windows98(FakePlatform& m) {
  m.system.win9x = true;
  m.SetWindows(4, false);
}
void WindowsOnD(FakePlatform& m) {
  m.files.SetDriveType('d', platform::kDriveFixed);
  m.files.SetWindowsDirectory("D:\\WINNT");
  m.SetWindows(6, false);
}
// A system that could tell none of its folders but the Windows and system directories.
void FoldersUnknown(FakePlatform& m) { m.files.SetSystemFolders({}); }

struct Case {
  const char* machine;
  std::function<void(FakePlatform&)> make;
  std::string dir;
  bool system;
};

TEST(SystemFolders, TheSystemsFoldersAreKnownByTheDirectoryNotBySpelling) {
  const Case cases[] = {
      {"7", Windows7, "c:\\windows", true},
      {"7", Windows7, "C:\\WINDOWS\\", true},
      {"7", Windows7, "c:\\Windows\\", true},
      {"7", Windows7, "c:\\program files", true},
      {"7", Windows7, "C:\\PROGRA~1\\", true},  // its short name
      {"7", Windows7, "c:\\ProgramData", true},
      {"7", Windows7, "c:\\users\\", true},
      {"7", Windows7, "c:\\Documents and Settings", true},  // the junction to c:\Users
      {"7", Windows7, "c:\\Program Files (x86)", false},    // no such folder on 32-bit Windows
      {"7", Windows7, "c:\\tavohu", false},
      {"7", Windows7, "c:\\windows2", false},
      {"7", Windows7, "c:\\window", false},
      {"7", Windows7, "d:\\windows", false},
      {"7 64-bit", Windows7x64, "C:\\Program Files (x86)\\", true},
      {"7 64-bit", Windows7x64, "c:\\progra~2", true},
      {"7 64-bit", Windows7x64, "c:\\Program Files", true},
      {"7 64-bit", Windows7x64, "c:\\tavohu", false},
      {"XP", WindowsXp, "c:\\Documents and Settings\\", true},
      {"XP", WindowsXp, "c:\\DOCUME~1", true},
      {"XP", WindowsXp, "c:\\program files", true},
      {"XP", WindowsXp, "c:\\windows", true},
      {"XP", WindowsXp, "c:\\ProgramData", false},  // a folder of Windows 6.x
      {"98", Windows98, "c:\\windows", true},
      {"98", Windows98, "c:\\Program Files", true},
      {"98", Windows98, "c:\\My Documents", false},
      // Windows on d:, as Windows names it: c:\windows is then a folder like any other.
      {"on d:", WindowsOnD, "d:\\winnt", true},
      {"on d:", WindowsOnD, "D:\\WinNT\\", true},
      {"on d:", WindowsOnD, "d:\\Program Files", true},
      {"on d:", WindowsOnD, "d:\\PROGRA~1", true},
      {"on d:", WindowsOnD, "d:\\users", true},
      {"on d:", WindowsOnD, "c:\\windows", false},
      {"on d:", WindowsOnD, "c:\\tavohu", false},
      // What the system cannot tell is not known; the rest still is.
      {"folders unknown", FoldersUnknown, "c:\\Program Files", false},
      {"folders unknown", FoldersUnknown, "c:\\windows\\", true},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    c.make(machine);
    EXPECT_EQ(core::IsSystemFolder(machine.files, c.dir, 936), c.system) << c.machine << ": " << c.dir;
  }
}

// Names in a double-byte code page are compared character by character: a second byte 0x5C is no
// separator, and one that looks like a letter is no letter.
TEST(SystemFolders, DoubleByteNamesAreReadWhole) {
  const std::string xu = Encode("許", "BIG5");  // B3 5C
  struct DoubleByteCase {
    uint32_t codePage;
    std::string windows;
    std::string dir;
    bool system;
  };
  const DoubleByteCase cases[] = {
      {950, "C:\\" + xu, "c:\\" + xu, true},
      {950, "C:\\" + xu, "c:\\" + xu + "\\", true},
      {950, "C:\\" + xu + "x", "c:\\" + xu, false},
      // GBK 81 41 and 81 61 are two characters, not one in two letter cases.
      {936, "C:\\\x81\x41", "c:\\\x81\x41", true},
      {936, "C:\\\x81\x41", "c:\\\x81\x61", false},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.files.SetWindowsDirectory(c.windows);
    EXPECT_EQ(core::IsSystemFolder(machine.files, c.dir, c.codePage), c.system) << c.codePage << " " << c.dir;
  }
}

// A folder the system names by a drive-less path or a drive root holds no directory to refuse.
TEST(SystemFolders, FoldersWithoutAFolderBelowARootArePassedOver) {
  FakePlatform machine;
  machine.files.SetSystemFolders({"\\\\server\\profiles", "c:\\"});
  EXPECT_FALSE(core::IsSystemFolder(machine.files, "c:\\server", 936));
  EXPECT_FALSE(core::IsSystemFolder(machine.files, "c:\\profiles", 936));
  EXPECT_FALSE(core::IsSystemFolder(machine.files, "c:\\tavohu", 936));
  EXPECT_TRUE(core::IsSystemFolder(machine.files, "c:\\windows", 936));
}

// A comparison that fails is no verdict either way and ends no search: the profiles folder spelt
// as the system spells it (the last folder it names) stays refused, an ordinary folder stays
// accepted, whichever call fails.
TEST(SystemFolders, AFailedComparisonChangesNoVerdictItDoesNotNeed) {
  FakePlatform machine;
  for (const auto& [dir, system] : {std::pair<const char*, bool>{"C:\\USERS", true}, {"c:\\tavohu", false}}) {
    long total = 0;
    {
      platform::fake::FaultyPlatform counting(machine.os(), 0);
      EXPECT_EQ(core::IsSystemFolder(counting.os().files, dir, 936), system) << dir;
      total = counting.Calls();
    }
    EXPECT_GT(total, 0) << dir;
    for (long k = 1; k <= total; ++k) {
      platform::fake::FaultyPlatform faulty(machine.os(), k);
      EXPECT_EQ(core::IsSystemFolder(faulty.os().files, dir, 936), system) << dir << ", call " << k << " failing";
    }
  }
}

}  // namespace
