// Every failure of every system call, one at a time. Each road is run once on a whole fake machine
// to count its calls, then once more per call with that call failing as Windows makes it fail. After
// every run: the silent road ends with 0, and the window says it is done, only over a complete
// install; the user's own data are still there with their bytes; another input method and the lists
// of keyboard layouts lose nothing; and nothing is written outside the install directory, the
// system directories and the product's own entries.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "archive/archive_writer.h"
#include "archive/texts.h"
#include "core/path_format.h"
#include "core/setup_state.h"
#include "flow/interactive_road.h"
#include "flow/setup_main.h"
#include "flow/startup.h"
#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/faulty_platform.h"
#include "system/texts.h"
#include "tests/support/archive_fixture.h"
#include "ui/setup_window.h"
#include "ui/texts.h"

namespace {

using platform::fake::FakePlatform;
using platform::fake::FaultyPlatform;

constexpr char kLayouts[] = "HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr char kOtherIme[] = "E0210804";
constexpr char kUserPreload[] = "HKCU\\Keyboard Layout\\Preload";
constexpr char kDefaultPreload[] = "HKU\\.DEFAULT\\Keyboard Layout\\Preload";

// Names and keys folded as the fake folds them, to compare the machine before and after.
std::string Folded(std::string_view text) { return platform::FoldAsciiCase(text, platform::kCodePageGbk); }
// The user's own data of an earlier install, as the backup list names them.
// The user's own data of an earlier install: each live file, and where else its bytes may be
// found after a reinstall (a dictionary the user works in is packed and put back as its .tv1).
const std::vector<std::pair<std::string, std::string>> kUserFiles = {{"tavocyzk.tvh", "tavocyzk.tv1"},
                                                                     {"tvszsj43.tvh", "tvszsj43.tvh"},
                                                                     {"userck.txt", "userck.txt"},
                                                                     {"tavodwdw.txt", "tavodwdw.txt"}};

// Answers as a user who keeps the data and wants no sentence library now; every other box: OK.
class Answers : public platform::Dialogs {
 public:
  int MessageA(const std::string& text, const std::string&, uint32_t type) override {
    shownA.push_back(text);
    return type == platform::kMbYesNo ? platform::kIdNo : platform::kIdOk;
  }
  int MessageW(const std::u16string& text, const std::u16string&, uint32_t type) override {
    shownW.push_back(text);
    if (type != platform::kMbYesNo) return platform::kIdOk;
    return text == ui::text::kKeepDataQuestion ? platform::kIdYes : platform::kIdNo;
  }
  bool Said(const std::u16string& text) const { return std::find(shownW.begin(), shownW.end(), text) != shownW.end(); }
  std::vector<std::string> shownA;
  std::vector<std::u16string> shownW;
};

// A 74-file product with its modules, programs and user data files.
std::string Payload() {
  std::vector<archive::NamedContent> files = {
      {"tavohu4.ime", std::string(40, 'm')},
      {"tavohu64.ime", std::string(40, 'M')},
      {"tavo320.ime", "stub32"},
      {"tavo321.ime", "stub32 big5"},
      {"tavo640.ime", "stub64"},
      {"tavo641.ime", "stub64 big5"},
      {"tavodel.exe", "uninstaller"},
      {"tvqdel64.exe", "uninstaller 64"},
      {"tavokel6.exe", "main program"},
      {"setupw64.exe", "companion"},
      {"tavocyzk.tv1", std::string(40, 'w')},
      {"tavopyck.tv1", std::string(40, 'p')},
      {"tvszsj43.tvh", std::string(200, '\x05')},
  };
  // The dictionaries and lists an earlier install leaves for the user to change.
  for (const char* name :
       {"cfontset.tv1", "cwbzlcz1.tv1", "tvwbcmxz.tv1", "tvdhzcm.tv1", "tavodhz.tv1", "tvgbkhz.tv1", "tavodwdw.txt",
        "tavozdym.tvh", "tvpyzdym.tvh", "tvwbpy.txt", "tavoynhz.txt", "tavozdfh.tvh", "userck.txt"}) {
    files.push_back({name, std::string("shipped ") + name});
  }
  for (int i = 0; i < 50; ++i) files.push_back({"t" + std::to_string(i) + ".tvh", "table " + std::to_string(i)});
  return testing_support::PackOrDie(files);
}

// Everything on the machine's disk and in its registry, as path -> bytes.
std::map<std::string, std::string> Files(const FakePlatform& m) {
  std::map<std::string, std::string> tree;
  for (const std::string& path : m.files.AllFiles()) tree[Folded(path)] = m.files.Contents(path);
  return tree;
}

void DumpKey(const FakePlatform& m, const std::string& key, std::map<std::string, std::string>* out) {
  for (const std::string& name : m.registry.ValueNames(key)) {
    auto value = m.registry.Value(key, name);
    (*out)[Folded(key + "|" + name)] = std::to_string(value.type) + ":" + value.data;
  }
  for (const std::string& sub : m.registry.SubKeys(key)) DumpKey(m, key + "\\" + sub, out);
}

std::map<std::string, std::string> Registry(const FakePlatform& m) {
  std::map<std::string, std::string> tree;
  for (const char* root : {"HKLM", "HKCU", "HKU"}) DumpKey(m, root, &tree);
  return tree;
}

// The layout identifiers of a preload list in place order, without those of this product's IME.
std::vector<std::string> OthersInList(const FakePlatform& m, const std::string& key,
                                      const std::set<std::string>& ours) {
  std::vector<std::string> ids;
  for (int k = 1; m.registry.HasValue(key, std::to_string(k)); ++k) {
    std::string id = Folded(core::UpToNul(m.registry.Value(key, std::to_string(k)).data));
    if (!ours.count(id)) ids.push_back(id);
  }
  return ids;
}

// The layout keys whose IME file is this product's module.
std::set<std::string> OurLayouts(const FakePlatform& m) {
  std::set<std::string> ids;
  for (const std::string& id : m.registry.SubKeys(kLayouts)) {
    std::string key = std::string(kLayouts) + "\\" + id;
    if (m.registry.HasValue(key, "IME file") &&
        Folded(core::UpToNul(m.registry.Value(key, "IME file").data)) == "tavohu4.ime") {
      ids.insert(Folded(id));
    }
  }
  return ids;
}

enum class Road { Silent, Interactive, Register };

struct Scenario {
  const char* name;
  Road road;
  bool is64;
  uint32_t major;
  bool earlierInstall;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

// What one run left: its exit code, whether the window said it was done, the machine.
struct Outcome {
  int code = 0;
  bool saidDone = false;
};

// A machine of the scenario, before the road: Windows, payload, another input method in both lists,
// and for a reinstall an earlier install whose user data the user has since changed.
void Prepare(FakePlatform& m, const Scenario& sc, const std::string& payload);

Outcome RunRoad(FakePlatform& m, const Scenario& sc, long failAt, long* calls, std::string* failed) {
  Answers answers;
  platform::Platform machine{m.files, m.registry, m.system, m.ime, m.processes, m.resources, answers, m.windows};
  FaultyPlatform faulty(machine, failAt);
  Outcome outcome;
  {
    core::SetupState s(faulty.os());
    switch (sc.road) {
      case Road::Silent:
        outcome.code = flow::SetupMain(faulty.os(), "settvsrf32", platform::kSwShow);
        break;
      case Road::Register:
        outcome.code = flow::SetupMain(faulty.os(), "regtv32=c:\\tavohu", platform::kSwShow);
        break;
      case Road::Interactive: {
        if (flow::StartUp(s, "") != flow::Road::Interactive) break;
        flow::WindowSteps steps(s);
        ui::SetupWindow window(s, steps);
        if (!window.RegisterSetupClass() || !window.CreateSetupWindow(platform::kSwShow)) break;
        // The user confirms every page; the 64-bit road's try-out page comes with the timer.
        for (int click = 0; click < 12 && m.windows.destroyPosts == 0; ++click) {
          if (window.CurrentPage() == ui::Page::Processing && !m.windows.timers.empty()) window.OnTimer(2);
          window.OnButtonDown(60, 255, 1, (255 << 16) | 60);
        }
        outcome.code = m.windows.RunMessageLoop();
        break;
      }
    }
  }
  outcome.saidDone = answers.Said(ui::text::kDone) || answers.Said(ui::text::kDoneRestartNow);
  *calls = faulty.Calls();
  // Named with its error: the same kind of call fails in different ways across the sweep.
  *failed = faulty.Failed();
  if (faulty.FailedError() != 0) *failed += " (error " + std::to_string(faulty.FailedError()) + ")";
  return outcome;
}

void Prepare(FakePlatform& m, const Scenario& sc, const std::string& payload) {
  m.SetWindows(sc.major, sc.is64);
  m.files.AddDirectory("c:\\tavohu");
  m.resources.images["TVZ/KELVTVZ"] = payload;
  m.registry.SetValue(std::string(kLayouts) + "\\" + kOtherIme, "layout text", platform::kRegSz, "Other IME");
  m.registry.SetValue(std::string(kLayouts) + "\\" + kOtherIme, "IME file", platform::kRegSz, "OTHER.IME");
  m.registry.SetValue(std::string(kLayouts) + "\\00000804", "layout text", platform::kRegSz, "Chinese");
  m.registry.SetValue(std::string(kLayouts) + "\\00000409", "layout text", platform::kRegSz, "US");
  for (const char* list : {kUserPreload, kDefaultPreload}) {
    m.registry.SetValue(list, "1", platform::kRegSz, "00000804");
    m.registry.SetValue(list, "2", platform::kRegSz, "00000409");
    m.registry.SetValue(list, "3", platform::kRegSz, kOtherIme);
  }
  if (!sc.earlierInstall) return;
  long calls = 0;
  std::string failed;
  Scenario silent = sc;
  silent.road = Road::Silent;
  RunRoad(m, silent, 0, &calls, &failed);
  m.processes.started.clear();
  m.windows = platform::fake::FakeWindows();
  for (const auto& [live, kept] : kUserFiles) m.files.AddFile("c:\\tavohu\\" + live, "the user's own " + live);
}

// The files of the user's own data and their backup: the user's bytes belong there, checked on their own.
bool UserData(const std::string& path) {
  static const char* const kNames[] = {
      "tavoback.tvz", "tavocyzk.tvh", "cfontset.tvh", "cwbzlcz1.tvh", "tvwbcmxz.tvh", "tvdhzcm.tvh", "tavodhz.tvh",
      "tvgbkhz.tvh",  "tavocyzk.tv1", "cfontset.tv1", "cwbzlcz1.tv1", "tvwbcmxz.tv1", "tvdhzcm.tv1", "tavodhz.tv1",
      "tvgbkhz.tv1",  "tvszsj43.tvh", "tavodwdw.txt", "tavozdym.tvh", "tvpyzdym.tvh", "tvwbpy.txt",  "tavoynhz.txt",
      "tavozdfh.tvh", "userck.txt",   "delck.txt",    "fttvzdym.txt", "ftpyzdym.txt", "cwb.ov1",     "tavopymb.ov1",
      "tvgbkbh.tvh",  "tvszsj05.tvh", "tvszsj06.tvh", "tavocyzk.tvu"};
  for (const char* name : kNames) {
    if (path == std::string("c:\\tavohu\\") + name) return true;
  }
  return false;
}

// The keys of the IME's registration: its layout's number and its place in the lists may differ
// between the input method manager's registration and the setup's own.
bool Registration(const std::string& folded) {
  return folded.rfind(Folded(kLayouts) + "\\", 0) == 0 || folded.rfind(Folded(kUserPreload) + "|", 0) == 0 ||
         folded.rfind(Folded(kDefaultPreload) + "|", 0) == 0;
}

bool Allowed(const std::string& path) {
  for (const char* place : {"c:\\tavohu\\", "c:\\windows\\system32\\", "c:\\windows\\syswow64\\"}) {
    if (path.rfind(place, 0) == 0) return true;
  }
  return path == "c:\\windows\\tavopath.tvh";
}

bool AllowedKey(const std::string& folded, const std::set<std::string>& ours) {
  static const char* const kOwn[] = {
      "hklm\\software\\wow6432node\\tavowb|",
      "hklm\\software\\tavowb|",
      "hklm\\software\\wow6432node\\microsoft\\windows\\currentversion\\uninstall\\tavoqwb|",
      "hklm\\software\\microsoft\\windows\\currentversion\\uninstall\\tavoqwb|",
      "hklm\\software\\wow6432node\\microsoft\\windows\\currentversion\\run|tvtasjgl",
      "hklm\\software\\microsoft\\windows\\currentversion\\run|tvtasjgl",
      "hkcu\\keyboard layout\\preload|",
      "hku\\.default\\keyboard layout\\preload|",
  };
  for (const char* own : kOwn) {
    if (folded.rfind(own, 0) == 0) return true;
  }
  if (folded.find("\\user agent\\post platform|") != std::string::npos) return true;
  for (const std::string& id : ours) {
    if (folded.rfind(Folded(kLayouts) + "\\" + id + "|", 0) == 0) return true;
  }
  return false;
}

class FaultSweep : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultSweep, EveryFailedCallLeavesAnHonestResultAndLosesNothing) {
  const Scenario sc = GetParam();
  const std::string payload = Payload();

  // The machine before the road, prepared once (for a reinstall that is a whole install); every
  // run starts from a copy of it.
  FakePlatform before;
  Prepare(before, sc, payload);
  const auto filesBefore = Files(before);
  const auto registryBefore = Registry(before);
  const std::vector<std::string> othersBefore[] = {OthersInList(before, kUserPreload, OurLayouts(before)),
                                                   OthersInList(before, kDefaultPreload, OurLayouts(before))};

  {  // a copy is the machine a preparation of its own makes
    FakePlatform fresh;
    Prepare(fresh, sc, payload);
    const FakePlatform copy(before);
    ASSERT_EQ(Files(copy), Files(fresh));
    ASSERT_EQ(Registry(copy), Registry(fresh));
  }

  // The clean run: how many calls, and what a complete install leaves.
  FakePlatform clean(before);
  long total = 0;
  std::string failed;
  Outcome reference = RunRoad(clean, sc, 0, &total, &failed);
  const auto completeFiles = Files(clean);
  const auto completeRegistry = Registry(clean);
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
                                    flow::kExitBadTargetDir,     flow::kExitNoAdminRights, flow::kExitEntriesFailed};

  int reported = 0;
  for (long k = 1; k <= total; ++k) {
    FakePlatform m(before);
    long calls = 0;
    Outcome out = RunRoad(m, sc, k, &calls, &failed);
    const std::string what = std::string(sc.name) + ": call " + std::to_string(k) + " (" + failed + ") failing";
    const auto files = Files(m);
    const auto registry = Registry(m);

    // An honest result: done only over a complete install.
    std::string missing;  // the first thing a complete install has and this one lacks
    for (const auto& [path, bytes] : completeFiles) {
      if (UserData(path)) continue;  // the user's, whatever a complete install shipped there
      auto it = files.find(path);
      if (missing.empty() && (it == files.end() || it->second != bytes)) missing = path;
    }
    for (const auto& [key, value] : completeRegistry) {
      if (Registration(key)) continue;  // which layout number and place: checked below
      auto it = registry.find(key);
      if (missing.empty() && (it == registry.end() || it->second != value)) missing = key;
    }
    // The IME is registered: by the input method manager (the fake records what reached it), or by
    // the setup's own layout key, which then stands in the user's preload list (on Windows 6.x
    // the system adds it there itself).
    const std::set<std::string> registered = OurLayouts(m);
    if (missing.empty() && registered.empty() && m.ime.installs.empty()) missing = "the IME's keyboard layout";
    if (missing.empty() && !registered.empty() && sc.major <= 5) {
      bool listed = false;
      for (int place = 1; m.registry.HasValue(kUserPreload, std::to_string(place)); ++place) {
        std::string id = Folded(core::UpToNul(m.registry.Value(kUserPreload, std::to_string(place)).data));
        listed = listed || registered.count(id) > 0;
      }
      if (!listed) missing = "the IME in the preload list";
    }
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
    // directories are still there, whole (their earlier bytes, or the new ones).
    for (const auto& [path, bytes] : filesBefore) {
      if (path.rfind("c:\\windows\\sys", 0) != 0) continue;
      auto it = files.find(path);
      auto placed = completeFiles.find(path);
      bool whole =
          it != files.end() && (it->second == bytes || (placed != completeFiles.end() && it->second == placed->second));
      EXPECT_TRUE(whole) << what << ": " << path << (it == files.end() ? " gone" : " not whole");
    }

    // The user's own data.
    if (sc.earlierInstall) {
      for (const auto& [live, kept] : kUserFiles) {
        auto inLive = files.find("c:\\tavohu\\" + live);
        auto inKept = files.find("c:\\tavohu\\" + kept);
        bool found = (inLive != files.end() && inLive->second == "the user's own " + live) ||
                     (inKept != files.end() && inKept->second == "the user's own " + live);
        EXPECT_TRUE(found) << what << ": the user's " << live << " lost";
      }
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
    for (const auto& [path, bytes] : files) {
      auto it = filesBefore.find(path);
      if (it == filesBefore.end() || it->second != bytes) {
        EXPECT_TRUE(Allowed(path)) << what << ": wrote " << path;
      }
    }
    for (const auto& [path, bytes] : filesBefore) {
      if (!files.count(path)) {
        EXPECT_TRUE(Allowed(path)) << what << ": removed " << path;
      }
    }
    for (const auto& [key, value] : registry) {
      auto it = registryBefore.find(key);
      if (it == registryBefore.end() || it->second != value) {
        EXPECT_TRUE(AllowedKey(key, ours)) << what << ": wrote " << key;
      }
    }
    if (::testing::Test::HasFailure() && ++reported >= 8) return;  // enough to read
  }
}

const Scenario kScenarios[] = {
    {"SilentFirst64", Road::Silent, true, 6, false},     {"SilentReinstall64", Road::Silent, true, 6, true},
    {"SilentReinstallXp", Road::Silent, false, 5, true}, {"WindowReinstall", Road::Interactive, false, 6, true},
    {"RegisterOver64", Road::Register, true, 6, true},
};

INSTANTIATE_TEST_SUITE_P(Roads, FaultSweep, ::testing::ValuesIn(kScenarios),
                         [](const ::testing::TestParamInfo<Scenario>& param) { return std::string(param.param.name); });

}  // namespace
