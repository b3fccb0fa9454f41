#include "platform/fake/faulty_platform.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "platform/unchecked.h"

namespace {

using platform::OpenMode;
using platform::fake::FakePlatform;
using platform::fake::FaultyPlatform;
using platform::fake::RunStopped;
using platform::fake::StopAfter;

// Four calls: create, write, copy, delete; the second and third carry bytes.
void WriteCopyDelete(platform::Platform& os) {
  auto file = os.files.Create("c:\\d\\new.txt");
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->Write("12345678", 8), 8);
  file.reset();
  EXPECT_TRUE(os.files.Copy("c:\\d\\source.txt", "c:\\d\\copy.txt", false));
  EXPECT_TRUE(os.files.Delete("c:\\d\\old.txt"));
}

FakePlatform Machine() {
  FakePlatform m;
  m.files.AddFile("c:\\d\\source.txt", "abcdefghij");
  m.files.AddFile("c:\\d\\old.txt", "old");
  return m;
}

TEST(FaultyPlatformStop, ARunWithoutAStopListsTheCallsThatChangeTheMachine) {
  FakePlatform m = Machine();
  FaultyPlatform faulty(m.os(), StopAfter{});
  WriteCopyDelete(faulty.os());
  ASSERT_EQ(faulty.Changes().size(), 4u);
  const bool cuttable[] = {false, true, true, false};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(faulty.Changes()[i].call, static_cast<long>(i + 1));
    EXPECT_EQ(faulty.Changes()[i].cuttable, cuttable[i]) << i;
  }
  EXPECT_EQ(m.files.Contents("c:\\d\\copy.txt"), "abcdefghij");
  EXPECT_EQ(faulty.StoppedAfter(), "");
}

TEST(FaultyPlatformStop, ReadsAndLooksAreNoChanges) {
  FakePlatform m = Machine();
  FaultyPlatform faulty(m.os(), StopAfter{});
  std::string bytes;
  EXPECT_TRUE(platform::ReadSmallFile(faulty.os().files, "c:\\d\\source.txt", 100, &bytes));
  EXPECT_NE(faulty.os().files.GetAttributes("c:\\d\\old.txt"), platform::kInvalidAttributes);
  EXPECT_GT(faulty.Calls(), 2);
  EXPECT_TRUE(faulty.Changes().empty());
}

// Each stop leaves the machine as the calls before it and the one it comes after made it, and
// nothing of the calls after.
struct StopCase {
  StopAfter stop;
  const char* newFile;  // nullptr: not there
  const char* copy;
  bool oldThere;
  const char* named;
};

TEST(FaultyPlatformStop, TheRunEndsRightAfterTheChosenCallAndACutKeepsHalfTheBytes) {
  const StopCase cases[] = {
      {{1, false}, "", nullptr, true, "create c:\\d\\new.txt"},
      {{2, true}, "1234", nullptr, true, "write in c:\\d\\new.txt (cut short)"},
      {{2, false}, "12345678", nullptr, true, "write in c:\\d\\new.txt"},
      {{3, true}, "12345678", "abcde", true, "copy c:\\d\\copy.txt (cut short)"},
      {{3, false}, "12345678", "abcdefghij", true, "copy c:\\d\\copy.txt"},
      {{4, false}, "12345678", "abcdefghij", false, "delete c:\\d\\old.txt"},
  };
  for (const StopCase& c : cases) {
    FakePlatform m = Machine();
    FaultyPlatform faulty(m.os(), c.stop);
    EXPECT_THROW(WriteCopyDelete(faulty.os()), RunStopped) << c.named;
    EXPECT_EQ(faulty.StoppedAfter(), c.named);
    EXPECT_EQ(faulty.Calls(), c.stop.call) << c.named;
    EXPECT_EQ(m.files.Contents("c:\\d\\new.txt"), c.newFile) << c.named;
    EXPECT_EQ(m.files.HasFile("c:\\d\\copy.txt"), c.copy != nullptr) << c.named;
    if (c.copy) {
      EXPECT_EQ(m.files.Contents("c:\\d\\copy.txt"), c.copy) << c.named;
    }
    EXPECT_EQ(m.files.HasFile("c:\\d\\old.txt"), c.oldThere) << c.named;
    EXPECT_EQ(m.files.Contents("c:\\d\\source.txt"), "abcdefghij") << c.named;
  }
}

TEST(FaultyPlatformStop, AStopAfterAReadEndsTheRunToo) {
  FakePlatform m = Machine();
  FaultyPlatform faulty(m.os(), StopAfter{2, true});
  auto file = faulty.os().files.Open("c:\\d\\source.txt", OpenMode::Read);
  ASSERT_NE(file, nullptr);
  char buffer[4];
  EXPECT_THROW(platform::Unchecked(file->Read(buffer, 4)), RunStopped);
  EXPECT_EQ(faulty.StoppedAfter(), "read in c:\\d\\source.txt");
}

TEST(FaultyPlatformStop, EveryCallAfterTheStopThrowsAndReachesNothing) {
  FakePlatform m = Machine();
  FaultyPlatform faulty(m.os(), StopAfter{1, false});
  EXPECT_THROW(platform::Unchecked(faulty.os().files.Delete("c:\\d\\old.txt")), RunStopped);
  EXPECT_THROW(platform::Unchecked(faulty.os().files.Delete("c:\\d\\source.txt")), RunStopped);
  EXPECT_THROW(faulty.os().processes.Start("x.exe", 1), RunStopped);
  std::unique_ptr<platform::RegKey> key;
  EXPECT_THROW(platform::Unchecked(faulty.os().registry.OpenKey(platform::RegRoot::CurrentUser, "Software", 0, &key)),
               RunStopped);
  EXPECT_FALSE(m.files.HasFile("c:\\d\\old.txt"));
  EXPECT_TRUE(m.files.HasFile("c:\\d\\source.txt"));
  EXPECT_TRUE(m.processes.started.empty());
  EXPECT_EQ(faulty.Calls(), 1);
}

// Tidies up in its destructor, as a scope guard of the setup would.
struct DeletesWhenGone {
  platform::Files& files;
  ~DeletesWhenGone() { platform::Unchecked(files.Delete("c:\\d\\source.txt")); }
};

TEST(FaultyPlatformStop, ACallWhileTheStopUnwindsIsRefusedWithoutReachingTheMachine) {
  FakePlatform m = Machine();
  FaultyPlatform faulty(m.os(), StopAfter{2, true});
  EXPECT_THROW(
      {
        DeletesWhenGone guard{faulty.os().files};
        auto file = faulty.os().files.Open("c:\\d\\old.txt", OpenMode::Write);
        platform::Unchecked(file->Write("OLD", 3));
      },
      RunStopped);
  // The handle the unwinding closed changed nothing more either.
  EXPECT_EQ(m.files.Contents("c:\\d\\old.txt"), "Old");
  EXPECT_TRUE(m.files.HasFile("c:\\d\\source.txt"));
}

}  // namespace
