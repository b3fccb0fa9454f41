// Every failure of every system call, one at a time. Each road is run once on a whole fake machine
// to count its calls, then once more per call with that call failing as Windows makes it fail. After
// every run: the silent road ends with 0, and the window says it is done, only over a complete
// install; the user's own data are still there with their bytes; another input method and the lists
// of keyboard layouts lose nothing; and nothing is written outside the install directory, the
// system directories and the product's own entries.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "flow/silent_road.h"
#include "tests/sweep/sweep_machine.h"

namespace sweep {
namespace {

class FaultSweep : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultSweep, EveryFailedCallLeavesAnHonestResultAndLosesNothing) {
  const Scenario sc = GetParam();
  const std::string payload = Payload();

  // The machine before the road, prepared once (for a reinstall that is a whole install); every
  // run starts from a copy of it.
  FakePlatform before;
  Prepare(before, sc, payload);
  const Snapshot snapBefore = Snap(before);
  const auto& registryBefore = snapBefore.registry;
  const std::vector<std::string> othersBefore[] = {OthersInList(before, kUserPreload, OurLayouts(before)),
                                                   OthersInList(before, kDefaultPreload, OurLayouts(before))};

  {  // a copy is the machine a preparation of its own makes
    FakePlatform fresh;
    Prepare(fresh, sc, payload);
    const FakePlatform copy(before);
    const Snapshot copied = Snap(copy);
    const Snapshot made = Snap(fresh);
    ASSERT_EQ(copied.files, made.files);
    ASSERT_EQ(copied.registry, made.registry);
  }

  // The clean run: how many calls, and what a complete install leaves.
  FakePlatform clean(before);
  Record record;
  Outcome reference = RunRoad(clean, sc, 0, &record);
  const long total = record.calls;
  const Snapshot full = Snap(clean);
  const auto& completeFiles = full.files;
  if (sc.road == Road::Silent) {
    ASSERT_EQ(reference.code, flow::kExitInstalled);
  }
  if (sc.road == Road::Interactive) {
    ASSERT_TRUE(reference.saidDone);
  }
  ASSERT_GT(total, 20);
  std::printf("%s: %ld calls, each made to fail once\n", sc.name, total);
  const std::set<int> documented = {flow::kExitInstalled,        flow::kExitNoPayload,     flow::kExitOldImeLocked,
                                    flow::kExitUnpackIncomplete, flow::kExitCopyFailed,    flow::kExitCheckFailed,
                                    flow::kExitBadTargetDir,     flow::kExitNoAdminRights, flow::kExitEntriesFailed,
                                    flow::kExitStartFailed};

  int reported = 0;
  for (long k = 1; k <= total; ++k) {
    FakePlatform m(before);
    Outcome out = RunRoad(m, sc, k, &record);
    const std::string what = std::string(sc.name) + ": call " + std::to_string(k) + " (" + record.failed + ") failing";
    const Snapshot now = Snap(m);
    const auto& files = now.files;
    const auto& registry = now.registry;

    // An honest result: done only over a complete install.
    const std::string missing = Missing(m, sc, now, full);
    const bool complete = missing.empty();
    if (sc.road == Road::Silent) {
      EXPECT_TRUE(documented.count(out.code)) << what << ": exit code " << out.code;
      if (out.code == flow::kExitInstalled) {
        EXPECT_TRUE(complete) << what << ": exit 0 over an incomplete install (" << missing << ")";
      }
    }
    if (sc.road == Road::Interactive && out.saidDone) {
      EXPECT_TRUE(complete) << what << ": the window said done over an incomplete install (" << missing << ")";
    }

    // No piece of a file: a write that broke off must not leave an empty file under a name that
    // a complete install fills, least of all a module the system directory takes over.
    for (const auto& [path, bytes] : completeFiles) {
      auto it = files.find(path);
      if (!bytes.empty() && it != files.end() && it->second.empty()) {
        EXPECT_TRUE(false) << what << ": left " << path << " empty";
        break;
      }
    }

    // The machine keeps a working IME: the earlier install's modules and uninstaller in the system
    // directories are still there, whole (their earlier bytes, or the new ones), and so is every
    // module or program placed there.
    for (const std::string& path : SystemFilesNotWhole(snapBefore, now, full)) ADD_FAILURE() << what << ": " << path;

    // The user's own data.
    if (sc.earlierInstall) {
      for (const std::string& live : LostUserFiles(now)) ADD_FAILURE() << what << ": the user's " << live << " lost";
    }

    // Another input method and the lists of layouts lose nothing.
    const std::set<std::string> ours = OurLayouts(m);
    EXPECT_EQ(ours.count(Folded(kOtherIme)), 0u) << what << ": the other IME's key was taken";
    for (const auto& [key, value] : registryBefore) {
      if (key.rfind(Folded(std::string(kLayouts) + "\\" + kOtherIme), 0) == 0) {
        EXPECT_EQ(registry.count(key) ? registry.at(key) : "(gone)", value) << what << ": " << key;
      }
    }
    EXPECT_EQ(OthersInList(m, kUserPreload, ours), othersBefore[0]) << what << ": " << kUserPreload;
    EXPECT_EQ(OthersInList(m, kDefaultPreload, ours), othersBefore[1]) << what << ": " << kDefaultPreload;

    // Nothing written outside the places the product owns.
    for (const std::string& outside : WrittenOutside(snapBefore, now, ours)) ADD_FAILURE() << what << ": " << outside;
    if (::testing::Test::HasFailure() && ++reported >= 8) return;  // enough to read
  }
}

INSTANTIATE_TEST_SUITE_P(Roads, FaultSweep,
                         ::testing::Values(kSilentFirst64, kSilentReinstall64, kSilentReinstallXp, kWindowReinstall,
                                           kRegisterOver64),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace sweep
