#include "flow/payload_files.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "tests/support/archive_fixture.h"

namespace {

using flow::Placed;
using flow::Source;
using testing_support::PackOrDie;

constexpr char kTarget[] = "c:\\windows\\system32\\tavodel.exe";

// A file is written whole under a fresh name, and only then does the one under the name make way:
// whatever happens, the name holds the old file or the new one, and nothing is left beside it.
TEST(PayloadFiles, TheNameHoldsTheOldFileOrTheNewOneAndNothingIsLeftBeside) {
  enum class Before { Nothing, File, HeldFile, FullDisk, NotInPayload };
  struct Case {
    const char* what;
    Before before;
    Placed placed;
    std::string after;
  };
  const Case cases[] = {
      {"no file there", Before::Nothing, Placed::Yes, "del32"},
      {"an earlier file", Before::File, Placed::Yes, "del32"},
      {"an earlier file held open", Before::HeldFile, Placed::InTheWay, "earlier"},
      {"a full disk", Before::FullDisk, Placed::NotWritten, "earlier"},
      {"no such entry in the payload", Before::NotInPayload, Placed::NotWritten, "earlier"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing_support::ArchiveMachine machine;
    machine.SetPayload(PackOrDie({{"tavodel.exe", "del32"}}));
    if (c.before != Before::Nothing) machine.fake.files.AddFile(kTarget, "earlier", platform::kAttrReadOnly);
    if (c.before == Before::HeldFile) machine.fake.files.HoldOpen(kTarget);
    if (c.before == Before::FullDisk) machine.fake.files.FillDisk("c:\\windows\\system32");
    core::InstallReport report;
    const char* entry = c.before == Before::NotInPayload ? "tvqdel64.exe" : "tavodel.exe";
    EXPECT_EQ(flow::PlaceFile(machine.s, report, Source{entry}, kTarget, false), c.placed);
    EXPECT_EQ(machine.fake.files.Contents(kTarget), c.after);
    EXPECT_EQ(report.copyFailures, c.placed == Placed::Yes ? 0 : 1);
    EXPECT_FALSE(machine.fake.files.HasFile("c:\\windows\\system32\\tavodel.new"));
    EXPECT_FALSE(machine.fake.files.HasFile("c:\\windows\\system32\\tavodel.old"));
    EXPECT_TRUE(machine.fake.dialogs.shown.empty());  // telling the user is the caller's
  }
}

}  // namespace
