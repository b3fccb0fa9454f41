#include "platform/fake/faulty_platform.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"

namespace {

using platform::fake::FakePlatform;
using platform::fake::FaultyPlatform;

// A run cut off at a call: what came before it is on the disk, a write cut there has its first
// half there, and nothing after it reaches the machine, whatever kind of call it is.
TEST(FaultyPlatform, ACutOffRunChangesNothingFromItsCallOn) {
  struct Case {
    long cutAt;
    const char* failed;
    const char* bytes;  // of c:\a.txt afterwards
    bool moved;         // whether c:\b.txt reached its new name
  };
  const Case cases[] = {
      {1, "create c:\\a.txt", "", false},         {2, "write", "01234", false}, {3, "flush", "0123456789", false},
      {4, "move c:\\b.txt", "0123456789", false}, {0, "", "0123456789", true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.cutAt);
    FakePlatform m;
    m.files.AddFile("c:\\b.txt", "b");
    FaultyPlatform faulty(m.os(), FaultyPlatform::CutOff{c.cutAt});
    platform::Files& files = faulty.os().files;
    if (auto file = files.Create("c:\\a.txt")) {
      static_cast<void>(file->Write("0123456789", 10));
      static_cast<void>(file->Flush());
    }
    static_cast<void>(files.Move("c:\\b.txt", "c:\\c.txt"));
    std::unique_ptr<platform::RegKey> key;
    const long opened = faulty.os().registry.OpenKey(platform::RegRoot::LocalMachine, "Software", 0, &key);
    EXPECT_EQ(faulty.Failed(), c.failed);
    EXPECT_EQ(m.files.HasFile("c:\\a.txt"), c.cutAt != 1);
    EXPECT_EQ(m.files.Contents("c:\\a.txt"), c.bytes);
    EXPECT_EQ(m.files.HasFile("c:\\c.txt"), c.moved);
    EXPECT_EQ(opened == platform::kErrorSuccess, c.cutAt == 0);
  }
}

}  // namespace
