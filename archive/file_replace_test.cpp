#include "archive/file_replace.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"

namespace {

constexpr char kModule[] = "c:\\windows\\system32\\tavohu4.ime";
constexpr char kAside2[] = "c:\\windows\\system32\\tavohu2.ime";
constexpr char kAside1[] = "c:\\windows\\system32\\tavohu1.ime";

// A folder of the module's name is the user's: it is not moved aside, and no aside name is taken.
TEST(MoveFileAside, LeavesAFolderWhereItIs) {
  platform::fake::FakeFiles files;
  files.AddDirectory(kModule);
  EXPECT_FALSE(archive::MoveFileAside(files, kModule));
  EXPECT_TRUE(files.HasDirectory(kModule));
  EXPECT_FALSE(files.HasDirectory(kAside2));
}

TEST(MoveFileAside, TakesTheName2ThenTheName1) {
  struct Case {
    const char* what;
    bool leftover2, leftover2InUse, leftover1InUse;
    bool moved;
    const char* movedTo;
  };
  const Case cases[] = {
      {"no leftover", false, false, false, true, kAside2},
      {"leftover deleted first", true, false, false, true, kAside2},
      {"leftover in use", true, true, false, true, kAside1},
      {"both names in use", true, true, true, false, nullptr},
  };
  // The module is loaded by the system; a leftover in use is an older module, loaded too.
  for (const auto& c : cases) {
    platform::fake::FakeFiles files;
    files.AddFile(kModule, "module");
    files.LoadModule(kModule);
    if (c.leftover2) files.AddFile(kAside2, "left");
    if (c.leftover2InUse) files.LoadModule(kAside2);
    if (c.leftover1InUse) {
      files.AddFile(kAside1, "left1");
      files.LoadModule(kAside1);
    }
    EXPECT_EQ(archive::MoveFileAside(files, kModule), c.moved) << c.what;
    EXPECT_EQ(files.HasFile(kModule), !c.moved) << c.what;
    if (c.movedTo) {
      EXPECT_EQ(files.Contents(c.movedTo), "module") << c.what;
    }
  }
}

// A file another program holds open cannot be renamed: it stays, and no aside name is taken.
TEST(MoveFileAside, LeavesAFileHeldOpenWhereItIs) {
  platform::fake::FakeFiles files;
  files.AddFile(kModule, "module");
  files.HoldOpen(kModule);
  EXPECT_FALSE(archive::MoveFileAside(files, kModule));
  EXPECT_EQ(files.Contents(kModule), "module");
  EXPECT_FALSE(files.HasFile(kAside2));
  EXPECT_FALSE(files.HasFile(kAside1));
}

// The aside name changes the character before a three-letter extension; where a name has no
// such character, that position lies in the directory part and a leftover "deleted" there would
// be another file.
TEST(MoveFileAside, RefusesNamesWithoutACharacterBeforeAThreeLetterExtension) {
  struct Case {
    const char* path;
    const char* bystander;  // a file an unchecked aside name would delete
    bool moved;
  };
  const Case cases[] = {
      {"c:\\tavohu\\abcd", "c:\\tavohu2abcd", false}, {"c:\\tavohu\\abc", "c:\\tavoh2\\abc", false},
      {"c:\\tavohu\\.ime", "c:\\tavohu2.ime", false}, {"c:\\tavohu\\ab.tv", "c:\\tavohu\\2b.tv", false},
      {"c:\\tavohu\\a.ime", nullptr, true},
  };
  for (const auto& c : cases) {
    platform::fake::FakeFiles files;
    files.AddDirectory("c:\\tavohu");
    files.AddDirectory("c:\\tavoh2");
    files.AddFile(c.path, "entry");
    files.LoadModule(c.path);
    if (c.bystander) files.AddFile(c.bystander, "someone else's");
    std::string aside;
    EXPECT_EQ(archive::MoveFileAside(files, c.path, &aside), c.moved) << c.path;
    if (c.bystander) {
      EXPECT_EQ(files.Contents(c.bystander), "someone else's") << c.path;
      EXPECT_EQ(files.Contents(c.path), "entry") << c.path;
    } else {
      EXPECT_EQ(files.Contents(aside), "entry") << c.path;
    }
  }
}

}  // namespace
