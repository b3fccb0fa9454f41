// What the fault sweep and the crash sweep share: the machines of each road and the payload, one
// run of a road through the faulty platform, and the judgements on the machine a run leaves (is
// the install complete, are the user's data there, was anything written outside the product's
// places).
#pragma once
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/faulty_platform.h"

namespace sweep {

using platform::fake::FakePlatform;
using platform::fake::FaultyPlatform;

inline constexpr char kLayouts[] = "HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts";
inline constexpr char kOtherIme[] = "E0210804";
inline constexpr char kUserPreload[] = "HKCU\\Keyboard Layout\\Preload";
inline constexpr char kDefaultPreload[] = "HKU\\.DEFAULT\\Keyboard Layout\\Preload";

// Names and keys folded as the fake folds them, to compare the machine before and after.
std::string Folded(std::string_view text);

// The install directory and the system directories, where the setup places its files (a folded
// path, as in a Snapshot).
bool InProductDirectory(const std::string& path);

enum class Road { Silent, Interactive, Register };

struct Scenario {
  const char* name;
  Road road;
  bool is64;
  uint32_t major;
  bool earlierInstall;
};
void PrintTo(const Scenario& scenario, std::ostream* out);

inline constexpr Scenario kSilentFirst64 = {"SilentFirst64", Road::Silent, true, 6, false};
inline constexpr Scenario kSilentReinstall64 = {"SilentReinstall64", Road::Silent, true, 6, true};
inline constexpr Scenario kSilentReinstallXp = {"SilentReinstallXp", Road::Silent, false, 5, true};
inline constexpr Scenario kWindowReinstall = {"WindowReinstall", Road::Interactive, false, 6, true};
inline constexpr Scenario kRegisterOver64 = {"RegisterOver64", Road::Register, true, 6, true};

// A 74-file product with its modules, programs and user data files; and its packed image.
std::vector<archive::NamedContent> PayloadFiles();
std::string Payload();

// A machine of the scenario, before the road: Windows, payload, another input method in both lists,
// and for a reinstall an earlier install whose user data the user has since changed.
void Prepare(FakePlatform& m, const Scenario& sc, const std::string& payload);

// What one run left: its exit code, whether the window said it was done.
struct Outcome {
  int code = 0;
  bool saidDone = false;
};

// What the faulty platform saw of one run: its calls, the one made to fail (named with its error)
// or the one the run stopped after, and the calls that changed the machine.
struct Record {
  long calls = 0;
  std::string failed;
  bool stopped = false;
  std::string stoppedAfter;
  std::vector<FaultyPlatform::Change> changes;
};

// The road of the scenario on the machine, with the call numbered `failAt` failing (0: none).
Outcome RunRoad(FakePlatform& m, const Scenario& sc, long failAt, Record* record);
// The same, ended after the call `stop` names as by a power cut: what the run had done by then
// stays on the machine. A stop of 0 runs the road to its end.
Outcome RunRoad(FakePlatform& m, const Scenario& sc, platform::fake::StopAfter stop, Record* record);

// Everything on the machine's disk and in its registry, as path -> bytes.
struct Snapshot {
  std::map<std::string, std::string> files;
  std::map<std::string, std::string> registry;
};
Snapshot Snap(const FakePlatform& m);

// The layout identifiers of a preload list in place order, without those of this product's IME.
std::vector<std::string> OthersInList(const FakePlatform& m, const std::string& key, const std::set<std::string>& ours);
// The layout keys whose IME file is this product's module.
std::set<std::string> OurLayouts(const FakePlatform& m);

// The first thing a complete install has and the machine lacks ("" when nothing): every file and
// entry of `complete` but the user's data, and the IME registered, by the input method manager or
// by the setup's own layout key (on Windows 5.x standing in the user's preload list).
// The size the uninstall entry gives counts what lies in the install directory, the backup of the
// user's data included: a run that met another's leftovers is asked only for the entry
// (Size::Any), one from the same machine for the same size.
enum class Size { Same, Any };
std::string Missing(const FakePlatform& m, const Scenario& sc, const Snapshot& now, const Snapshot& complete,
                    Size size = Size::Same);

// The product's modules and programs in the system directories that are not whole, each named
// with what is wrong: one that was there before is gone, or one holds bytes that are neither its
// earlier ones, nor those a complete install leaves there, nor another whole file of the product
// (an earlier module under its aside name, a payload entry as placed, a stub with its version
// stamp): a piece of a file, or an empty one.
std::vector<std::string> SystemFilesNotWhole(const Snapshot& before, const Snapshot& now, const Snapshot& complete);

// The user's own data of an earlier install that are found neither under their own name nor
// where a reinstall keeps them.
std::vector<std::string> LostUserFiles(const Snapshot& now);

// What was written or removed outside the install directory, the system directories and the
// product's own entries since `before`, one line each.
std::vector<std::string> WrittenOutside(const Snapshot& before, const Snapshot& now, const std::set<std::string>& ours);

}  // namespace sweep
