#include "flow/silent_road.h"

#include <gtest/gtest.h>

namespace {

using core::InstallOutcome;

// The first fault decides, in the order of the codes: a stop before anything was placed, an
// incomplete unpack, copies, entries not written, programs not started, then the check.
TEST(SilentRoad, TheExitCodeTellsTheFirstFault) {
  const struct {
    core::InstallReport report;
    bool checkPassed;
    int code;
  } cases[] = {
      {{InstallOutcome::Done, true, 0, 0}, true, flow::kExitInstalled},
      {{InstallOutcome::Done, true, 0, 0}, false, flow::kExitCheckFailed},
      {{InstallOutcome::Done, true, 0, 1}, true, flow::kExitEntriesFailed},
      {{InstallOutcome::Done, true, 0, 1}, false, flow::kExitEntriesFailed},
      {{InstallOutcome::Done, true, 0, 0, 1}, true, flow::kExitStartFailed},
      {{InstallOutcome::Done, true, 0, 0, 1}, false, flow::kExitStartFailed},
      {{InstallOutcome::Done, true, 0, 1, 1}, true, flow::kExitEntriesFailed},
      {{InstallOutcome::Done, true, 1, 0, 1}, true, flow::kExitCopyFailed},
      {{InstallOutcome::Done, true, 2, 0}, false, flow::kExitCopyFailed},
      {{InstallOutcome::Done, true, 2, 1}, true, flow::kExitCopyFailed},
      {{InstallOutcome::Done, false, 2, 1}, false, flow::kExitUnpackIncomplete},
      {{InstallOutcome::OldImeLocked, true, 0, 0}, true, flow::kExitOldImeLocked},
      {{InstallOutcome::OldImeLocked, false, 1, 1}, false, flow::kExitOldImeLocked},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(flow::SilentExitCode(c.report, c.checkPassed), c.code)
        << c.report.unpackComplete << " " << c.report.copyFailures << " " << c.report.entriesFailed;
  }
}

}  // namespace
