// The payload check: a payload the setup can install whole passes; each kind of broken payload is
// named by the fault that breaks it; and the check's count of installed files is what a real
// install of that payload leaves.
#include "flow/payload_needs.h"

#include <gtest/gtest.h>

#include <map>

#include "flow/setup_main.h"
#include "flow/silent_road.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/module_bytes.h"

namespace {

using testing_support::PackOrDie;
using Files = std::map<std::string, std::string>;

constexpr char kDefaultSkin[] = "\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz";  // 冷色瓷面
constexpr char kOtherSkin[] = "\xC5\xAF\xC9\xAB\xC4\xBE\xCE\xC6.tvz";    // 暖色木纹

std::string Program(const std::string& name) { return "MZ" + name + std::string(100, 'p'); }

std::string Skin(const std::vector<std::string>& names) {
  std::vector<archive::NamedContent> entries;
  for (const std::string& name : names) entries.push_back({name, "skin part " + name});
  return PackOrDie(entries);
}

const std::vector<std::string> kSkinFiles = {"tvskin.tvh", "tvsk1.bmp", "tvsk2.bmp", "tvsk3.bmp"};

// A payload the setup installs whole: every needed file, sound, and tables enough for the check.
Files SoundPayload() {
  Files files;
  for (const char* name :
       {"tavohu4.ime", "tavohu64.ime", "tavodel.exe", "tvqdel64.exe", "tavokelv.exe", "tavokel6.exe"}) {
    files[name] = Program(name);
  }
  for (const char* name : {"tavo320.ime", "tavo321.ime", "tavo640.ime", "tavo641.ime"}) {
    files[name] = testing_support::Module(name, "  6.3");
  }
  files["setupw64.exe"] = testing_support::Module("setupw64.exe", "  6.7");
  for (const char* name : {"tavocyzk.tv1", "tavopyck.tv1", "cfontset.tvh", "cwbzlcz1.tvh", "tvwbcmxz.tvh",
                           "tvdhzcm.tvh", "tavodhz.tvh", "tvgbkhz.tvh", "tvszsj43.tvh", "tavodwdw.txt", "tavozdym.tvh",
                           "tvpyzdym.tvh", "tvwbpy.txt", "tavoynhz.txt", "tavozdfh.tvh"}) {
    files[name] = std::string("data of ") + name;
  }
  files[kDefaultSkin] = Skin(kSkinFiles);
  files[kOtherSkin] = Skin(kSkinFiles);
  for (int i = 0; i < 60; ++i) files["t" + std::to_string(i) + ".tvh"] = "table";
  return files;
}

flow::PayloadView View(const Files& files) {
  flow::PayloadView view;
  for (const auto& [name, bytes] : files) view.files.push_back({name, bytes.size()});
  view.read = [&files](const std::string& name, std::string* bytes) {
    auto found = files.find(name);
    if (found == files.end()) return false;
    *bytes = found->second;
    return true;
  };
  return view;
}

std::string Joined(const std::vector<std::string>& faults) {
  std::string text;
  for (const std::string& fault : faults) text += "\n  " + fault;
  return text;
}

TEST(PayloadNeeds, ASoundPayloadAndTheNamesTheSetupUsesPass) {
  const Files files = SoundPayload();
  EXPECT_TRUE(flow::PayloadFaults(View(files)).empty()) << Joined(flow::PayloadFaults(View(files)));
  // The live file of a library the backup copies stands for its entry.
  Files live = files;
  live.erase("cfontset.tvh");
  live["cfontset.tv1"] = "data";
  EXPECT_TRUE(flow::PayloadFaults(View(live)).empty()) << Joined(flow::PayloadFaults(View(live)));
}

// Each broken payload is refused with one fault that names what breaks it.
TEST(PayloadNeeds, EachBrokenPayloadIsNamedByItsFault) {
  struct Case {
    const char* what;
    std::function<void(Files&)> breakIt;
    const char* fault;  // the one fault expected, or a part of it
  };
  const Case cases[] = {
      {"no 64-bit companion", [](Files& f) { f.erase("setupw64.exe"); },
       "setupw64.exe is missing: the program that registers the 64-bit module"},
      {"no Big5 stub, 32-bit", [](Files& f) { f.erase("tavo321.ime"); }, "tavo321.ime is missing"},
      {"no Big5 stub, 64-bit", [](Files& f) { f.erase("tavo641.ime"); }, "tavo641.ime is missing"},
      {"no main program before Vista", [](Files& f) { f.erase("tavokelv.exe"); }, "tavokelv.exe is missing"},
      {"no 64-bit module", [](Files& f) { f.erase("tavohu64.ime"); }, "tavohu64.ime is missing"},
      {"no uninstaller", [](Files& f) { f.erase("tavodel.exe"); }, "tavodel.exe is missing"},
      {"the module under another case",
       [](Files& f) {
         f["TAVOHU4.IME"] = f["tavohu4.ime"];
         f.erase("tavohu4.ime");
       },
       "tavohu4.ime is missing"},
      {"no Pinyin library", [](Files& f) { f.erase("tavopyck.tv1"); }, "tavopyck.tv1 is missing"},
      {"a required file of the user's data", [](Files& f) { f.erase("tavoynhz.txt"); },
       "tavoynhz.txt is missing: a file of the user's data"},
      {"a required library neither shipped nor live", [](Files& f) { f.erase("cfontset.tvh"); },
       "cfontset.tv1 (or cfontset.tvh) is missing"},
      {"no default skin but another", [](Files& f) { f.erase(kDefaultSkin); },
       "\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz is missing: the default skin"},
      {"the default skin carries a program",
       [](Files& f) {
         f[kDefaultSkin] = Skin({"tvskin.tvh", "tvsk1.bmp", "tvsk2.bmp", "tvsk3.bmp", "skin.exe"});
       },
       "\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6.tvz carries skin.exe"},
      {"another skin carries a module",
       [](Files& f) {
         f[kOtherSkin] = Skin({"tvskin.tvh", "hook.IME"});
       },
       "\xC5\xAF\xC9\xAB\xC4\xBE\xCE\xC6.tvz carries hook.IME"},
      {"a skin that is no archive", [](Files& f) { f[kOtherSkin] = "BM not an archive"; },
       "is no skin the setup can unpack"},
      {"a skin longer than the setup loads",
       [](Files& f) { f[kOtherSkin] = Skin({"tvskin.tvh"}) + std::string(archive::kSkinLoadSize, 'x'); },
       "but the setup loads only the first 131072 bytes of a skin"},
      {"the module is no program", [](Files& f) { f["tavohu4.ime"] = std::string(200, 'm'); },
       "tavohu4.ime is not a Windows program"},
      {"a stub without the version text", [](Files& f) { f["tavo320.ime"] = Program("tavo320.ime"); },
       "tavo320.ime carries no version text"},
      {"a companion too large to stamp", [](Files& f) { f["setupw64.exe"] += std::string(128 * 1024, 'z'); },
       "bytes: the setup writes the version 7.1 into a program of at most 131072 bytes only"},
      {"an empty file", [](Files& f) { f["t7.tvh"] = ""; }, "t7.tvh is empty"},
      {"a file named as the install's own folder", [](Files& f) { f["filer"] = "x"; },
       "filer: the install keeps this name for its own folder"},
      {"the install's backup archive", [](Files& f) { f["TAVOBACK.TVZ"] = Skin({"tvskin.tvh"}); },
       "TAVOBACK.TVZ: the install keeps this name for its own backup"},
      {"too few files",
       [](Files& f) {
         for (int i = 0; i < 20; ++i) f.erase("t" + std::to_string(i) + ".tvh");
       },
       " files, and the installation check wants at least 74"},
  };
  for (const Case& c : cases) {
    Files files = SoundPayload();
    c.breakIt(files);
    const std::vector<std::string> faults = flow::PayloadFaults(View(files));
    ASSERT_EQ(faults.size(), 1u) << c.what << Joined(faults);
    EXPECT_NE(faults[0].find(c.fault), std::string::npos) << c.what << Joined(faults);
  }
  // Several faults are all told, not only the first.
  Files broken = SoundPayload();
  broken.erase("setupw64.exe");
  broken.erase("tavokelv.exe");
  broken["filer"] = "x";
  EXPECT_EQ(flow::PayloadFaults(View(broken)).size(), 3u) << Joined(flow::PayloadFaults(View(broken)));
}

void PutPayload(platform::fake::FakePlatform& fake, const Files& files) {
  std::vector<archive::NamedContent> entries;
  for (const auto& [name, bytes] : files) entries.push_back({name, bytes});
  fake.resources.images["TVZ/KELVTVZ"] = PackOrDie(entries);
}

// The files of the install directory c:\tavohu\ itself.
std::vector<std::string> InstallDirectory(const platform::fake::FakePlatform& fake) {
  std::vector<std::string> placed;
  for (const std::string& path : fake.files.AllFiles()) {
    if (path.rfind("c:\\tavohu\\", 0) == 0 && path.find('\\', 10) == std::string::npos) placed.push_back(path);
  }
  return placed;
}

// The count the check judges is what the setup's own install leaves in the install directory, on
// each kind of machine (from Vista on, the default directory also gets the second path file).
TEST(PayloadNeeds, TheCountIsWhatAnInstallLeaves) {
  struct Machine {
    int major;
    bool is64;
  };
  for (Machine machine : {Machine{5, false}, Machine{6, false}, Machine{6, true}}) {
    const Files files = SoundPayload();
    platform::fake::FakePlatform fake;
    fake.SetWindows(machine.major, machine.is64);
    PutPayload(fake, files);
    EXPECT_EQ(flow::SetupMain(fake.os(), "settvsrf32", platform::kSwShow), flow::kExitInstalled)
        << machine.major << machine.is64;
    const std::vector<std::string> placed = InstallDirectory(fake);
    EXPECT_EQ(static_cast<int>(placed.size()), flow::InstalledFileCount(View(files)) + (machine.major >= 6 ? 1 : 0))
        << machine.major << machine.is64 << Joined(placed);
  }
}

// At the check's bound: a payload that gives exactly as many files as the installation check
// wants passes both; one file fewer is refused by the check and fails the install's own check.
TEST(PayloadNeeds, AtTheBoundTheCheckAndTheInstallAgree) {
  Files files = SoundPayload();
  for (int i = 0; flow::InstalledFileCount(View(files)) > flow::kInstalledFilesAtLeast; ++i) {
    files.erase("t" + std::to_string(i) + ".tvh");
  }
  for (bool oneFewer : {false, true}) {
    if (oneFewer) files.erase("t59.tvh");
    platform::fake::FakePlatform fake;
    fake.SetWindows(5, false);
    PutPayload(fake, files);
    EXPECT_EQ(flow::PayloadFaults(View(files)).empty(), !oneFewer) << Joined(flow::PayloadFaults(View(files)));
    EXPECT_EQ(flow::SetupMain(fake.os(), "settvsrf32", platform::kSwShow),
              oneFewer ? flow::kExitCheckFailed : flow::kExitInstalled);
  }
}

// What the check refuses is what breaks an install: the silent road on the machine that needs
// the file does not end as installed.
TEST(PayloadNeeds, WhatTheCheckRefusesBreaksAnInstall) {
  struct Case {
    const char* what;
    std::function<void(Files&)> breakIt;
    int major;
    bool is64;
    int code;
  };
  const Case cases[] = {
      {"no 64-bit companion", [](Files& f) { f.erase("setupw64.exe"); }, 6, true, flow::kExitCopyFailed},
      {"no 32-bit uninstaller", [](Files& f) { f.erase("tavodel.exe"); }, 5, false, flow::kExitCopyFailed},
      {"a file named as the install's own folder", [](Files& f) { f["filer"] = "x"; }, 6, false,
       flow::kExitUnpackIncomplete},
      {"no Pinyin library", [](Files& f) { f.erase("tavopyck.tv1"); }, 6, false, flow::kExitCopyFailed},
  };
  for (const Case& c : cases) {
    Files files = SoundPayload();
    c.breakIt(files);
    ASSERT_FALSE(flow::PayloadFaults(View(files)).empty()) << c.what;
    platform::fake::FakePlatform fake;
    fake.SetWindows(c.major, c.is64);
    PutPayload(fake, files);
    EXPECT_EQ(flow::SetupMain(fake.os(), "settvsrf32", platform::kSwShow), c.code) << c.what;
  }
}

}  // namespace
