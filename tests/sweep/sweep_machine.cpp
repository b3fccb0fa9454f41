#include "tests/sweep/sweep_machine.h"

#include <algorithm>

#include "core/path_format.h"
#include "core/setup_state.h"
#include "flow/interactive_road.h"
#include "flow/setup_main.h"
#include "flow/startup.h"
#include "flow/version_stamp.h"
#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "tests/support/archive_fixture.h"
#include "ui/setup_window.h"
#include "ui/texts.h"

namespace sweep {
namespace {

// The user's own data of an earlier install: each live file, and where else its bytes may be
// found after a reinstall (a dictionary the user works in is packed and put back as its .tv1).
const std::vector<std::pair<std::string, std::string>> kUserFiles = {{"tavocyzk.tvh", "tavocyzk.tv1"},
                                                                     {"tvszsj43.tvh", "tvszsj43.tvh"},
                                                                     {"userck.txt", "userck.txt"},
                                                                     {"tavodwdw.txt", "tavodwdw.txt"}};

std::string UsersOwn(const std::string& name) { return "the user's own " + name; }

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

void RunThrough(platform::Platform& os, FakePlatform& m, const Scenario& sc, Outcome* outcome) {
  core::SetupState s(os);
  switch (sc.road) {
    case Road::Silent:
      outcome->code = flow::SetupMain(os, "settvsrf32", platform::kSwShow);
      break;
    case Road::Register:
      outcome->code = flow::SetupMain(os, "regtv32=c:\\tavohu", platform::kSwShow);
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
      outcome->code = m.windows.RunMessageLoop();
      break;
    }
  }
}

template <typename Plan>
Outcome Run(FakePlatform& m, const Scenario& sc, Plan plan, Record* record) {
  Answers answers;
  platform::Platform machine{m.files, m.registry, m.system, m.ime, m.processes, m.resources, answers, m.windows};
  FaultyPlatform faulty(machine, plan);
  Outcome outcome;
  record->stopped = false;
  try {
    RunThrough(faulty.os(), m, sc, &outcome);
  } catch (const platform::fake::RunStopped&) {
    record->stopped = true;
  }
  outcome.saidDone = answers.Said(ui::text::kDone) || answers.Said(ui::text::kDoneRestartNow);
  record->calls = faulty.Calls();
  // Named with its error: the same kind of call fails in different ways across the sweep.
  record->failed = faulty.Failed();
  if (faulty.FailedError() != 0) record->failed += " (error " + std::to_string(faulty.FailedError()) + ")";
  record->stoppedAfter = faulty.StoppedAfter();
  record->changes = faulty.Changes();
  return outcome;
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

bool InSystemDirectory(const std::string& path) {
  return path.rfind("c:\\windows\\system32\\", 0) == 0 || path.rfind("c:\\windows\\syswow64\\", 0) == 0;
}

// A module or program: a name the system loads or runs, as opposed to a file on its way to one.
bool LoadedOrRun(const std::string& path) {
  for (const char* extension : {".ime", ".exe", ".dll"}) {
    if (path.size() > 4 && path.compare(path.size() - 4, 4, extension) == 0) return true;
  }
  return false;
}

bool Allowed(const std::string& path) { return InProductDirectory(path) || path == "c:\\windows\\tavopath.tvh"; }

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

void DumpKey(const FakePlatform& m, const std::string& key, std::map<std::string, std::string>* out) {
  for (const std::string& name : m.registry.ValueNames(key)) {
    auto value = m.registry.Value(key, name);
    (*out)[Folded(key + "|" + name)] = std::to_string(value.type) + ":" + value.data;
  }
  for (const std::string& sub : m.registry.SubKeys(key)) DumpKey(m, key + "\\" + sub, out);
}

}  // namespace

bool InProductDirectory(const std::string& path) {
  for (const char* place : {"c:\\tavohu\\", "c:\\windows\\system32\\", "c:\\windows\\syswow64\\"}) {
    if (path.rfind(place, 0) == 0) return true;
  }
  return false;
}

std::string Folded(std::string_view text) { return platform::FoldAsciiCase(text, platform::kCodePageGbk); }

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

std::vector<archive::NamedContent> PayloadFiles() {
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
  return files;
}

std::string Payload() { return testing_support::PackOrDie(PayloadFiles()); }

Outcome RunRoad(FakePlatform& m, const Scenario& sc, long failAt, Record* record) { return Run(m, sc, failAt, record); }

Outcome RunRoad(FakePlatform& m, const Scenario& sc, platform::fake::StopAfter stop, Record* record) {
  return Run(m, sc, stop, record);
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
  Scenario silent = sc;
  silent.road = Road::Silent;
  Record record;
  RunRoad(m, silent, 0, &record);
  m.processes.started.clear();
  m.windows = platform::fake::FakeWindows();
  for (const auto& [live, kept] : kUserFiles) m.files.AddFile("c:\\tavohu\\" + live, UsersOwn(live));
}

Snapshot Snap(const FakePlatform& m) {
  Snapshot snapshot;
  for (const std::string& path : m.files.AllFiles()) snapshot.files[Folded(path)] = m.files.Contents(path);
  for (const char* root : {"HKLM", "HKCU", "HKU"}) DumpKey(m, root, &snapshot.registry);
  return snapshot;
}

std::vector<std::string> OthersInList(const FakePlatform& m, const std::string& key,
                                      const std::set<std::string>& ours) {
  std::vector<std::string> ids;
  for (int k = 1; m.registry.HasValue(key, std::to_string(k)); ++k) {
    std::string id = Folded(core::UpToNul(m.registry.Value(key, std::to_string(k)).data));
    if (!ours.count(id)) ids.push_back(id);
  }
  return ids;
}

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

std::string Missing(const FakePlatform& m, const Scenario& sc, const Snapshot& now, const Snapshot& complete,
                    Size size) {
  static const std::string kSize = "|estimatedsize";
  for (const auto& [path, bytes] : complete.files) {
    if (UserData(path)) continue;  // the user's, whatever a complete install shipped there
    auto it = now.files.find(path);
    if (it == now.files.end() || it->second != bytes) return path;
  }
  for (const auto& [key, value] : complete.registry) {
    if (Registration(key)) continue;  // which layout number and place: checked below
    auto it = now.registry.find(key);
    if (it == now.registry.end()) return key;
    const bool measured = key.size() > kSize.size() && key.compare(key.size() - kSize.size(), kSize.size(), kSize) == 0;
    if (it->second != value && !(size == Size::Any && measured)) return key;
  }
  // The input method manager's registration shows in what reached it (the fake records it); the
  // setup's own layout key must stand in the user's preload list, where on Windows 6.x the
  // system adds it itself.
  const std::set<std::string> registered = OurLayouts(m);
  if (registered.empty() && m.ime.installs.empty()) return "the IME's keyboard layout";
  if (!registered.empty() && sc.major <= 5) {
    for (int place = 1; m.registry.HasValue(kUserPreload, std::to_string(place)); ++place) {
      std::string id = Folded(core::UpToNul(m.registry.Value(kUserPreload, std::to_string(place)).data));
      if (registered.count(id)) return std::string();
    }
    return "the IME in the preload list";
  }
  return std::string();
}

std::vector<std::string> SystemFilesNotWhole(const Snapshot& before, const Snapshot& now, const Snapshot& complete) {
  static const std::set<std::string> kPayload = [] {
    std::set<std::string> whole;
    for (const archive::NamedContent& file : PayloadFiles()) {
      std::string stamped = file.bytes;
      whole.insert(file.bytes);
      if (flow::StampVersion(reinterpret_cast<uint8_t*>(stamped.data()), stamped.size())) whole.insert(stamped);
    }
    return whole;
  }();
  std::set<std::string> earlier;
  for (const auto& [path, bytes] : before.files) {
    if (InSystemDirectory(path)) earlier.insert(bytes);
  }
  auto whole = [&](const std::string& path, const std::string& bytes) {
    for (const Snapshot* snapshot : {&before, &complete}) {
      auto it = snapshot->files.find(path);
      if (it != snapshot->files.end() && it->second == bytes) return true;
    }
    return kPayload.count(bytes) > 0 || earlier.count(bytes) > 0;
  };
  std::vector<std::string> broken;
  for (const auto& [path, bytes] : before.files) {
    if (InSystemDirectory(path) && !now.files.count(path)) broken.push_back(path + " gone");
  }
  for (const auto& [path, bytes] : now.files) {
    if (!InSystemDirectory(path) || !(before.files.count(path) || LoadedOrRun(path))) continue;
    if (!whole(path, bytes)) broken.push_back(path + " not whole (" + std::to_string(bytes.size()) + " bytes)");
  }
  return broken;
}

std::vector<std::string> LostUserFiles(const Snapshot& now) {
  std::vector<std::string> lost;
  for (const auto& [live, kept] : kUserFiles) {
    auto inLive = now.files.find("c:\\tavohu\\" + live);
    auto inKept = now.files.find("c:\\tavohu\\" + kept);
    bool found = (inLive != now.files.end() && inLive->second == UsersOwn(live)) ||
                 (inKept != now.files.end() && inKept->second == UsersOwn(live));
    if (!found) lost.push_back(live);
  }
  return lost;
}

std::vector<std::string> WrittenOutside(const Snapshot& before, const Snapshot& now,
                                        const std::set<std::string>& ours) {
  std::vector<std::string> outside;
  for (const auto& [path, bytes] : now.files) {
    auto it = before.files.find(path);
    if ((it == before.files.end() || it->second != bytes) && !Allowed(path)) outside.push_back("wrote " + path);
  }
  for (const auto& [path, bytes] : before.files) {
    if (!now.files.count(path) && !Allowed(path)) outside.push_back("removed " + path);
  }
  for (const auto& [key, value] : now.registry) {
    auto it = before.registry.find(key);
    if ((it == before.registry.end() || it->second != value) && !AllowedKey(key, ours)) {
      outside.push_back("wrote " + key);
    }
  }
  return outside;
}

}  // namespace sweep
