// Every moment a run can be cut off at, one at a time, as when the power goes or the process is
// killed. Each road is run once on a whole fake machine to list the calls that change it, then once
// per such call, ended right after it. A stop after a call that only looks leaves the same machine
// as the stop after the change before it, so only changes are stopped after: every write, creation,
// copy, move, deletion, attribute or access-list change, registry key or value created, set or
// deleted, program start and IME registration or activation; and every write or copy a second time,
// cut to the first half of its bytes, as one under way when the power goes lands. After the stop the
// system directories hold whole modules and programs only (the system loads them as they are);
// then the same road runs again to its end on the machine the stop left, and must leave a complete
// install, the user's own data as they were before the first run, nothing written outside the
// product's places and no temporary file.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "flow/silent_road.h"
#include "flow/texts.h"
#include "platform/fake/fake_window.h"
#include "platform/unchecked.h"
#include "tests/sweep/sweep_machine.h"

namespace sweep {
namespace {

using platform::fake::StopAfter;

// Names the setup writes on the way to a file and removes once it is in place: the fresh copy
// beside the target, the earlier file made way under its "old" name, and a module or program moved
// aside (archive::MoveFileAside: the character before the extension becomes 2, then 1) where a
// complete install has no file of that name.
class Leftovers {
 public:
  Leftovers(const Snapshot& before, const Snapshot& complete) : before_(before) {
    for (const auto& [path, bytes] : complete.files) {
      if (path.size() < 5 || path[path.size() - 4] != '.') continue;
      const std::string extension = path.substr(path.size() - 3);
      if (extension != "ime" && extension != "exe") continue;
      for (char digit : {'2', '1'}) {
        std::string aside = path;
        aside[path.size() - 5] = digit;
        if (!complete.files.count(aside)) asideNames_.insert(aside);  // "tavohu32.ime" is a file of its own
      }
    }
  }
  // Those in the install and system directories that were not there before the first run.
  std::vector<std::string> In(const Snapshot& now) const {
    std::vector<std::string> left;
    for (const auto& [path, bytes] : now.files) {
      if (InProductDirectory(path) && Temporary(path) && !before_.files.count(path)) left.push_back(path);
    }
    return left;
  }

 private:
  bool Temporary(const std::string& path) const {
    for (const char* extension : {".new", ".old"}) {
      if (path.size() > 4 && path.compare(path.size() - 4, 4, extension) == 0) return true;
    }
    return asideNames_.count(path) > 0;
  }
  const Snapshot& before_;
  std::set<std::string> asideNames_;
};

// What each check found over the stops of a road: how many stops it failed, and the first few.
class Tally {
 public:
  void Add(const std::string& check, const std::string& stop, const std::string& detail) {
    Found& found = checks_[check];
    if (found.stops.empty() || found.stops.back() != stop) {
      found.stops.push_back(stop);
      if (found.examples.size() < kExamples) found.examples.push_back(stop + ": " + detail);
    }
  }
  // One line per check that failed, with its examples.
  std::string Report(const char* road) const {
    std::string report;
    for (const auto& [check, found] : checks_) {
      report += std::string(road) + ": " + std::to_string(found.stops.size()) + " stops: " + check + "\n";
      for (const std::string& example : found.examples) report += "    " + example + "\n";
    }
    return report;
  }
  bool Empty() const { return checks_.empty(); }

 private:
  static constexpr size_t kExamples = 3;
  struct Found {
    std::vector<std::string> stops;
    std::vector<std::string> examples;
  };
  std::map<std::string, Found> checks_;
};

constexpr char kModuleCut[] = "a module or program in the system directories is not whole after the stop";
constexpr char kNotDone[] = "the second run does not end installed";
constexpr char kIncomplete[] = "the install is not complete after the second run";
constexpr char kUserDataLost[] = "the user's data are lost after the second run";
constexpr char kOutside[] = "something outside the setup's places is changed after the second run";
constexpr char kTemporary[] = "a temporary file is left after the second run";

class CrashSweep : public ::testing::TestWithParam<Scenario> {};

TEST_P(CrashSweep, EveryStopLeavesWholeModulesAndASecondRunMakesTheInstallWhole) {
  const Scenario sc = GetParam();
  const auto started = std::chrono::steady_clock::now();

  // The machine before the road, prepared once; every stop starts from a copy of it.
  FakePlatform before;
  Prepare(before, sc, Payload());
  const Snapshot snapBefore = Snap(before);
  const std::string startDirectory = before.files.CurrentDirectory();

  // The clean run: which calls change the machine, and what a complete install leaves.
  FakePlatform clean(before);
  Record record;
  const Outcome reference = RunRoad(clean, sc, StopAfter{}, &record);
  const Snapshot full = Snap(clean);
  if (sc.road == Road::Silent) {
    ASSERT_EQ(reference.code, flow::kExitInstalled);
  }
  if (sc.road == Road::Interactive) {
    ASSERT_TRUE(reference.saidDone);
  }
  const Leftovers leftovers(snapBefore, full);
  ASSERT_EQ(leftovers.In(full), std::vector<std::string>()) << "left by a complete run";
  std::vector<StopAfter> stops;
  for (const FaultyPlatform::Change& change : record.changes) {
    stops.push_back({change.call, false});
    if (change.cuttable) stops.push_back({change.call, true});
  }
  ASSERT_GT(stops.size(), 20u);
  std::printf("%s: %zu stops, after the %zu of %ld calls that change the machine\n", sc.name, stops.size(),
              record.changes.size(), record.calls);

  Tally tally;
  for (const StopAfter& stop : stops) {
    FakePlatform m(before);
    RunRoad(m, sc, stop, &record);
    const std::string where = "after call " + std::to_string(stop.call) + " (" + record.stoppedAfter + ")";
    ASSERT_TRUE(record.stopped) << sc.name << ": the run went past its stop " << where;

    // What the system loads must be whole at any moment: a piece of a module in the system
    // directory is what the next logon runs.
    for (const std::string& broken : SystemFilesNotWhole(snapBefore, Snap(m), full)) {
      tally.Add(kModuleCut, where, broken);
    }

    // The same road again, by a new process on the machine as the stop left it: the old process's
    // windows are gone and the new one starts where the first did.
    m.windows = platform::fake::FakeWindows();
    platform::Unchecked(m.files.ChangeDirectory(startDirectory));
    Record again;
    const Outcome out = RunRoad(m, sc, StopAfter{}, &again);
    const Snapshot now = Snap(m);
    if (sc.road == Road::Silent && out.code != flow::kExitInstalled) {
      tally.Add(kNotDone, where, "exit code " + std::to_string(out.code));
    }
    if (sc.road == Road::Interactive && !out.saidDone) tally.Add(kNotDone, where, "the window did not say done");
    const std::string missing = Missing(m, sc, now, full, Size::Any);
    if (!missing.empty()) tally.Add(kIncomplete, where, "lacks " + missing);
    if (sc.earlierInstall) {
      for (const std::string& live : LostUserFiles(now)) tally.Add(kUserDataLost, where, live);
    }
    for (const std::string& outside : WrittenOutside(snapBefore, now, OurLayouts(m))) {
      tally.Add(kOutside, where, outside);
    }
    for (const std::string& path : leftovers.In(now)) tally.Add(kTemporary, where, path);
  }

  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  std::printf("%s: %zu stops swept in %.1f s\n", sc.name, stops.size(), seconds);
  EXPECT_TRUE(tally.Empty()) << tally.Report(sc.name);
}

INSTANTIATE_TEST_SUITE_P(Roads, CrashSweep,
                         ::testing::Values(kSilentFirst64, kSilentReinstall64, kSilentReinstallXp, kWindowReinstall),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace sweep
