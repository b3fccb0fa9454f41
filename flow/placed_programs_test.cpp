#include "flow/placed_programs.h"

#include <gtest/gtest.h>

#include "tests/support/archive_fixture.h"

namespace {

using testing_support::PackOrDie;

struct ProgramsMachine : testing_support::ArchiveMachine {
  ProgramsMachine() {
    fake.SetWindows(6, true);
    s.Is64Bit = true;
    s.WindowsMajor = 6;
    SetPayload(PackOrDie({{"tavokel6.exe", "kelv6"}, {"helper.dll", "dll"}, {"words.tv1", "words"}}));
    fake.files.AddFile("c:\\tavohu\\tavokelv.exe", "kelv6");
    fake.files.AddFile("c:\\tavohu\\helper.dll", "dll");
    fake.files.AddFile("c:\\tavohu\\words.tv1", "words");
  }
  core::InstallReport report;
};

// A program is started only as the setup placed it, by its full path, and held until it started.
TEST(PlacedPrograms, StartedOnlyAsPlacedAndHeldUntilStarted) {
  for (bool planted : {false, true}) {
    SCOPED_TRACE(planted ? "changed after it was placed" : "as placed");
    ProgramsMachine machine;
    if (planted) machine.fake.files.AddFile("c:\\tavohu\\tavokelv.exe", "PLANTED");
    flow::StartPlacedProgram(machine.s, machine.report, "tavokelv.exe", "hu");
    ASSERT_EQ(machine.fake.processes.started.size(), planted ? 0u : 1u);
    EXPECT_EQ(machine.report.copyFailures, planted ? 1 : 0);
    EXPECT_EQ(machine.fake.dialogs.shown.size(), planted ? 1u : 0u);
    if (!planted) {
      const auto& start = machine.fake.processes.started[0];
      EXPECT_EQ(start.program, "c:\\tavohu\\tavokelv.exe");
      EXPECT_EQ(start.commandLine, "c:\\tavohu\\tavokelv.exe hu");
      EXPECT_TRUE(start.held);
    }
  }
}

// Programs and modules get the users' read-and-run access list; data files keep the directory's.
TEST(PlacedPrograms, ProgramsAndModulesAreLeftToTheUsersToRunOnly) {
  ProgramsMachine machine;
  flow::ProtectPlacedPrograms(machine.s, machine.report);
  EXPECT_TRUE(machine.fake.files.IsReadAndRunOnly("c:\\tavohu\\tavokelv.exe"));
  EXPECT_TRUE(machine.fake.files.IsReadAndRunOnly("c:\\tavohu\\helper.dll"));
  EXPECT_FALSE(machine.fake.files.IsReadAndRunOnly("c:\\tavohu\\words.tv1"));
  EXPECT_EQ(machine.report.copyFailures, 0);
  EXPECT_EQ(machine.report.entriesFailed, 0);
}

}  // namespace
