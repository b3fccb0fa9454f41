#include "platform/files.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/faulty_platform.h"

namespace {

using platform::fake::FakeFiles;
using platform::fake::FakePlatform;
using platform::fake::FaultyPlatform;

constexpr char kModule[] = "c:\\windows\\system32\\tavohu4.ime";
constexpr char kPathFile[] = "c:\\windows\\tavopath.tvh";
constexpr char kFresh[] = "c:\\windows\\tavopath.new";

TEST(DeleteIfPresent, RemovesWhateverItCanAndSaysWhenAFileStays) {
  FakeFiles files;
  EXPECT_TRUE(platform::DeleteIfPresent(files, kModule));
  files.AddFile(kModule, "x", platform::kAttrReadOnly | platform::kAttrHidden | platform::kAttrSystem);
  EXPECT_TRUE(platform::DeleteIfPresent(files, kModule));
  EXPECT_FALSE(files.HasFile(kModule));
  // A module loaded by the system, and a file another program holds open.
  files.AddFile(kModule, "x");
  int module = files.LoadModule(kModule);
  EXPECT_FALSE(platform::DeleteIfPresent(files, kModule));
  EXPECT_TRUE(files.HasFile(kModule));
  files.Unload(module);
  files.HoldOpen(kModule);
  EXPECT_FALSE(platform::DeleteIfPresent(files, kModule));
  EXPECT_TRUE(files.HasFile(kModule));
}

// True only when nothing stays under the name: a folder of that name is not deleted, and a hard
// link goes without the attributes of the file it names being touched.
TEST(DeleteIfPresent, AFolderStaysAndALinkGoesAlone) {
  FakeFiles files;
  files.AddDirectory(kModule);
  EXPECT_FALSE(platform::DeleteIfPresent(files, kModule));
  EXPECT_TRUE(files.HasDirectory(kModule));

  const std::string link = "c:\\windows\\system32\\tavohu1.ime";
  files.AddFile("c:\\other\\theirs.dll", "theirs", platform::kAttrHidden);
  files.AddHardLink("c:\\other\\theirs.dll", link);
  EXPECT_TRUE(platform::DeleteIfPresent(files, link));
  EXPECT_FALSE(files.HasFile(link));
  EXPECT_EQ(files.GetAttributes("c:\\other\\theirs.dll"), platform::kAttrHidden);
}

TEST(FreshName, TakesThePlaceOfTheExtension) {
  EXPECT_EQ(platform::FreshName("c:\\windows\\tavopath.tvh"), "c:\\windows\\tavopath.new");
  EXPECT_EQ(platform::FreshName("c:\\tavo.hu\\wbpybz"), "c:\\tavo.hu\\wbpybz.new");
  EXPECT_EQ(platform::BesideName("c:\\windows\\system32\\tavodel.exe", "old"), "c:\\windows\\system32\\tavodel.old");
}

// Whatever was under the name and beside it, the name holds the old file or the new one afterwards,
// the result says which, and nothing is left under the fresh name.
TEST(WriteWholeFile, TheNameHoldsTheOldFileOrTheNewOneAndNothingStaysBeside) {
  enum class Before {
    Nothing,
    File,
    ReadOnlyFile,
    HeldFile,
    LoadedFile,
    Folder,
    HardLink,
    FullDisk,
    LeftoverPiece,
    LeftoverReadOnly,
    LeftoverLink,
    LeftoverFolder
  };
  struct Case {
    const char* what;
    Before before;
    bool written;
  };
  const Case cases[] = {
      {"nothing there", Before::Nothing, true},
      {"an earlier file", Before::File, true},
      {"an earlier read-only file", Before::ReadOnlyFile, false},
      {"an earlier file held open", Before::HeldFile, false},
      {"an earlier file loaded as a module", Before::LoadedFile, false},
      {"a folder of the name", Before::Folder, false},
      {"a hard link to someone else's file", Before::HardLink, true},
      {"a full disk", Before::FullDisk, false},
      {"a piece a cut-off run left under the fresh name", Before::LeftoverPiece, true},
      {"a read-only piece left under the fresh name", Before::LeftoverReadOnly, true},
      {"a hard link left under the fresh name", Before::LeftoverLink, true},
      {"a folder under the fresh name", Before::LeftoverFolder, false},
  };
  const std::string theirs = "c:\\other\\theirs.txt";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeFiles files;
    files.AddFile(theirs, "someone else's", platform::kAttrHidden);
    const bool old = c.before == Before::File || c.before == Before::ReadOnlyFile || c.before == Before::HeldFile ||
                     c.before == Before::LoadedFile || c.before == Before::FullDisk;
    if (old) files.AddFile(kPathFile, "d:\\old\\", c.before == Before::ReadOnlyFile ? platform::kAttrReadOnly : 0x20);
    if (c.before == Before::HeldFile) files.HoldOpen(kPathFile);
    if (c.before == Before::LoadedFile) files.LoadModule(kPathFile);
    if (c.before == Before::Folder) files.AddDirectory(kPathFile);
    if (c.before == Before::HardLink) files.AddHardLink(theirs, kPathFile);
    if (c.before == Before::FullDisk) files.FillDisk("c:\\windows");
    if (c.before == Before::LeftoverPiece) files.AddFile(kFresh, "d:\\ne");
    if (c.before == Before::LeftoverReadOnly) files.AddFile(kFresh, "d:\\ne", platform::kAttrReadOnly);
    if (c.before == Before::LeftoverLink) files.AddHardLink(theirs, kFresh);
    if (c.before == Before::LeftoverFolder) files.AddDirectory(kFresh);

    EXPECT_EQ(platform::WriteWholeFile(files, kPathFile, "d:\\new\\"), c.written);
    if (c.written) {
      EXPECT_EQ(files.Contents(kPathFile), "d:\\new\\");
      EXPECT_EQ(files.LinkCount(kPathFile), 1u);
    } else if (old) {
      EXPECT_EQ(files.Contents(kPathFile), "d:\\old\\");
    }
    EXPECT_EQ(files.HasDirectory(kPathFile), c.before == Before::Folder);
    EXPECT_FALSE(files.HasFile(kFresh));
    EXPECT_EQ(files.HasDirectory(kFresh), c.before == Before::LeftoverFolder);
    EXPECT_EQ(files.Contents(theirs), "someone else's");
    EXPECT_EQ(files.GetAttributes(theirs), platform::kAttrHidden);
  }
}

// Every call of the rewrite failing once, and the run cut off at every call (power lost, process
// killed; a write there lands half its bytes): the name holds the old bytes or the new ones, whole,
// and a failure says so. After a cut the next write puts the new bytes in place and takes away
// what the cut left beside them.
TEST(WriteWholeFile, AFailureOrACutAtAnyCallLeavesTheOldFileOrTheNewOne) {
  const std::string oldBytes = "d:\\old\\", newBytes = "d:\\a new directory\\";
  FakePlatform before;
  before.files.AddFile(kPathFile, oldBytes);
  long total = 0;
  {
    FakePlatform m(before);
    FaultyPlatform counting(m.os(), 0);
    ASSERT_TRUE(platform::WriteWholeFile(counting.os().files, kPathFile, newBytes));
    total = counting.Calls();
  }
  ASSERT_GT(total, 3);
  for (bool cut : {false, true}) {
    for (long k = 1; k <= total; ++k) {
      FakePlatform m(before);
      bool written = false;
      std::string failed;
      {
        std::unique_ptr<FaultyPlatform> faulty =
            cut ? std::make_unique<FaultyPlatform>(m.os(), platform::fake::StopAfter{k, true})
                : std::make_unique<FaultyPlatform>(m.os(), k);
        try {
          written = platform::WriteWholeFile(faulty->os().files, kPathFile, newBytes);
        } catch (const platform::fake::RunStopped&) {
        }
        failed = cut ? faulty->StoppedAfter() : faulty->Failed();
      }
      SCOPED_TRACE((cut ? "cut off at " : "failing ") + failed);
      const std::string now = m.files.Contents(kPathFile);
      EXPECT_TRUE(now == oldBytes || now == newBytes) << "[" << now << "]";
      if (!cut) {
        EXPECT_EQ(now, written ? newBytes : oldBytes);
        EXPECT_FALSE(m.files.HasFile(kFresh));
        continue;
      }
      ASSERT_TRUE(platform::WriteWholeFile(m.files, kPathFile, newBytes));
      EXPECT_EQ(m.files.Contents(kPathFile), newBytes);
      EXPECT_FALSE(m.files.HasFile(kFresh));
    }
  }
}

}  // namespace
