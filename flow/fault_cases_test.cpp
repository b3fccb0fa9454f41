// Failures of single system calls that the flow must ride out, each shown on a small machine with
// that one call failing as Windows makes it fail; and the files the install rewrites, each shown
// with the run cut off at every call (the power lost, the process killed).
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "archive/user_data.h"
#include "core/install_location.h"
#include "core/install_observer.h"
#include "core/install_report.h"
#include "core/system_facts.h"
#include "flow/deploy.h"
#include "flow/payload_files.h"
#include "flow/setup_main.h"
#include "platform/constants.h"
#include "platform/fake/faulty_platform.h"
#include "platform/files.h"
#include "system/settings_files.h"
#include "tests/support/archive_fixture.h"

namespace {

using testing_support::PackOrDie;

constexpr char kUserLibrary[] = "c:\\tavohu\\tavocyzk.tv1";

// A user's file that another program has open a moment when the restore first puts it in place
// is put back by the second try: the fresh file must not stay over the user's. Each is written
// whole beside it and moved over it: the payload's own file is the first move, the restore's the
// second.
TEST(FaultCases, AUserFileTheRestoreCannotWriteAtFirstIsPutBackByTheRetry) {
  testing_support::ArchiveMachine m;
  m.fake.SetWindows(6, false);
  m.fake.system.oemCodePage = 936;
  m.fake.resources.images["TVZ/KELVTVZ"] =
      PackOrDie({{"tavocyzk.tv1", "shipped"}, {"tvszsj43.tvh", std::string(200, '\x05')}});
  const std::string phrases = "user phrases " + testing_support::RandomBytes(300, 7);
  m.fake.files.AddFile(kUserLibrary, phrases);

  const std::string move = "move replacing c:\\tavohu\\tavocyzk.new";
  platform::fake::FaultyPlatform faulty(m.fake.os(), move, 2, platform::kErrorSharingViolation);
  core::SetupState s(faulty.os());
  s.InstallDir = m.s.InstallDir;
  s.WorkBuffer = std::move(m.s.WorkBuffer);
  s.PayloadImage = s.os.resources.Load("TVZ", "KELVTVZ");
  core::FindSystemFacts(s);
  ASSERT_TRUE(archive::AddFileToArchive(s, "c:\\tavohu\\tavoback.tvz", kUserLibrary));
  ASSERT_TRUE(archive::RememberBackup(s, "c:\\tavohu\\tavoback.tvz"));
  s.BackupState = core::Backup::Made;

  core::SilentObserver nobody;
  core::InstallReport report;
  flow::DeployFiles(s, flow::Pass::Stubs, nobody, report);
  EXPECT_EQ(faulty.Failed(), move);
  EXPECT_EQ(faulty.FailedError(), platform::kErrorSharingViolation);
  EXPECT_TRUE(report.unpackComplete);
  EXPECT_EQ(m.fake.files.Contents(kUserLibrary), phrases);
  EXPECT_EQ(s.BackupState, core::Backup::DataKept);
}

// A Windows 7 machine with drives c: and d: (the default directory d:\tavohu) and a complete
// product in its resources.
void CompleteProductMachine(platform::fake::FakePlatform& fake, bool is64) {
  fake.SetWindows(6, is64);
  fake.files.SetDriveType('d', platform::kDriveFixed);
  fake.files.AddDirectory("d:");
  fake.resources.images["TVZ/KELVTVZ"] = PackOrDie(testing_support::CompleteProductFiles());
}

// Its silent install on 64-bit Windows run with one kind of call failing.
struct SilentRun {
  SilentRun(const std::string& call, int occurrence, long error) {
    CompleteProductMachine(fake, true);
    platform::fake::FaultyPlatform faulty(fake.os(), call, occurrence, error);
    code = flow::SetupMain(faulty.os(), "settvsrf32", platform::kSwShow);
    failed = faulty.Failed();
  }
  platform::fake::FakePlatform fake;
  int code = -1;
  std::string failed;
};

// The first pass writes the module into the install directory before anything registers it. A
// write that fails once is tried again; one that never lands leaves no module there, and the
// silent road must not end as installed.
TEST(FaultCases, AModuleThePassCannotWriteIntoTheInstallDirectoryIsNoInstall) {
  struct Case {
    const char* what;
    int occurrence;
    int code;
    bool modulePlaced;
  };
  const Case cases[] = {
      {"the first write fails, the second lands", 1, flow::kExitInstalled, true},
      {"no write lands", 0, flow::kExitCopyFailed, false},
  };
  for (const Case& c : cases) {
    SilentRun run("create d:\\tavohu\\tavohu32.new", c.occurrence, platform::kErrorDiskFull);
    EXPECT_EQ(run.failed, "create d:\\tavohu\\tavohu32.new") << c.what;
    EXPECT_EQ(run.code, c.code) << c.what;
    EXPECT_EQ(run.fake.files.HasFile("d:\\tavohu\\tavohu32.ime"), c.modulePlaced) << c.what;
    EXPECT_FALSE(run.fake.files.HasFile("d:\\tavohu\\tavohu32.new")) << c.what;
  }
}

// A program the install starts that the system does not start (the 64-bit companion that
// registers the 64-bit module) is no install: the log says so and the silent road ends with 10.
TEST(FaultCases, AProgramTheSystemDoesNotStartIsNoInstall) {
  platform::fake::FakePlatform fake;
  CompleteProductMachine(fake, true);
  fake.processes.refused = {"d:\\tavohu\\setupw64.exe"};
  EXPECT_EQ(flow::SetupMain(fake.os(), "settvsrf32 /LOG=c:\\setup.log", platform::kSwShow), flow::kExitStartFailed);
  EXPECT_NE(fake.files.Contents("c:\\setup.log").find("start d:\\tavohu\\setupw64.exe regtv32=d:\\tavohu\\: failed"),
            std::string::npos)
      << fake.files.Contents("c:\\setup.log");
  for (const auto& started : fake.processes.started) EXPECT_NE(started.program, "d:\\tavohu\\setupw64.exe");
}

// The IME that neither the input method manager nor the setup's own keys could register is no
// install: a layout key that cannot be written ends the silent road with 9, after its message.
TEST(FaultCases, AnImeNeitherWayRegisteredIsNoInstall) {
  platform::fake::FakePlatform fake;
  CompleteProductMachine(fake, false);
  fake.ime.installResult = 0;
  fake.registry.DenyKey("HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts");
  EXPECT_EQ(flow::SetupMain(fake.os(), "settvsrf32", platform::kSwShow), flow::kExitEntriesFailed);
  EXPECT_TRUE(fake.files.HasFile("d:\\tavohu\\tavohu4.ime"));
}

// Each store of the install path is written a third time by the install (the start-up's
// administrator test writes it and puts it back before); one that cannot be written then ends the
// silent road with exit 9, though everything else is in place.
TEST(FaultCases, AnInstallPathStoreThatCannotBeWrittenEndsWithExit9) {
  for (const char* store : {"create C:\\windows\\tavopath.new", "set value path", "create d:\\tavohu\\tavopath.new"}) {
    SilentRun run(store, 3, platform::kErrorAccessDenied);
    EXPECT_EQ(run.failed, store);
    EXPECT_EQ(run.code, flow::kExitEntriesFailed) << store;
    EXPECT_TRUE(run.fake.files.HasFile("d:\\tavohu\\tavokelv.exe")) << store;
  }
  // The same store written: installed.
  SilentRun whole("create C:\\windows\\tavopath.new", 4, platform::kErrorAccessDenied);
  EXPECT_EQ(whole.failed, "");
  EXPECT_EQ(whole.code, flow::kExitInstalled);
}

// A file the install rewrites, on a machine where an earlier install left it, and the step that
// rewrites it.
struct Rewrite {
  const char* what;
  std::vector<std::string> files;
  std::function<void(platform::fake::FakePlatform&)> earlier;
  std::function<bool(core::SetupState&)> step;
};

std::vector<Rewrite> Rewrites() {
  auto put = [](platform::fake::FakePlatform& m, const std::string& name, const std::string& bytes) {
    m.files.AddFile("c:\\tavohu\\" + name, bytes);
  };
  return {
      {"the settings files",
       {"c:\\tavohu\\wbpybz.tvh", "c:\\tavohu\\tvnetsj.dat"},
       [put](platform::fake::FakePlatform& m) {
         put(m, "wbpybz.tvh", "TVWBPYBZ=1");
         put(m, "tvnetsj.dat", "TVNETURL1=www.old.cn\r\nTVNETURL2=\r\n");
       },
       [](core::SetupState& s) {
         s.ServerAddress1 = "www.unit.cn";
         return sys::WriteSettingsFiles(s);
       }},
      {"the path files",
       {"c:\\windows\\tavopath.tvh", "c:\\tavohu\\tavopath.tvh"},
       [put](platform::fake::FakePlatform& m) {
         m.files.AddFile("c:\\windows\\tavopath.tvh", "c:\\old\\");
         put(m, "tavopath.tvh", "c:\\old\\");
       },
       [](core::SetupState& s) { return core::SaveInstallPath(s); }},
      {"the settings record",
       {"c:\\tavohu\\tvszsj43.tvh"},
       [put](platform::fake::FakePlatform& m) { put(m, "tvszsj43.tvh", std::string(200, '\x01')); },
       [](core::SetupState& s) { return sys::AdjustSettingsRecord(s); }},
      {"the backup archive",
       {"c:\\tavohu\\tavoback.tvz"},
       [put](platform::fake::FakePlatform& m) {
         put(m, "tavoback.tvz", testing_support::PackOrDie({{"userck.txt", "an older backup"}}));
         put(m, "userck.txt", "the user's words " + testing_support::RandomBytes(300, 3));
         put(m, "tvwbpy.txt", "the user's phrases " + testing_support::RandomBytes(300, 4));
       },
       [](core::SetupState& s) { return archive::BackupUserData(s) != core::Backup::None; }},
      {"a module in the system directory",
       {"c:\\windows\\system32\\tavohu4.ime"},
       [](platform::fake::FakePlatform& m) {
         m.files.AddFile("c:\\windows\\system32\\tavohu4.ime", "the working module");
         m.resources.images["TVZ/KELVTVZ"] = PackOrDie({{"tavohu4.ime", "the new module"}});
       },
       [](core::SetupState& s) {
         s.PayloadImage = s.os.resources.Load("TVZ", "KELVTVZ");
         s.WorkBuffer = s.os.resources.AllocZeroed(archive::kWorkBufferSize);
         core::InstallReport report;
         return flow::PlaceFile(s, report, flow::Source{"tavohu4.ime"}, "c:\\windows\\system32\\tavohu4.ime", true) ==
                flow::Placed::Yes;
       }},
  };
}

// The step on the machine, through `faulty` when given; the Windows 7 install into c:\tavohu.
bool RunStep(const Rewrite& rewrite, platform::fake::FakePlatform& m, platform::fake::FaultyPlatform* faulty) {
  core::SetupState s(faulty ? faulty->os() : m.os());
  s.WindowsMajor = 6;
  s.InstallDir = "c:\\tavohu\\";
  return rewrite.step(s);
}

// The machine the earlier install left.
platform::fake::FakePlatform EarlierInstall(const Rewrite& rewrite) {
  platform::fake::FakePlatform m;
  m.files.AddDirectory("c:\\tavohu");
  rewrite.earlier(m);
  return m;
}

std::map<std::string, std::string> Disk(const platform::fake::FakePlatform& m) {
  std::map<std::string, std::string> disk;
  for (const std::string& path : m.files.AllFiles()) disk[path] = m.files.Contents(path);
  return disk;
}

// Cut off at any call, a run leaves each file it rewrites with its old bytes or its new ones,
// whole: never a piece, never missing. The next run puts the new bytes in place and leaves
// nothing of the cut beside them.
TEST(CutOff, EachRewrittenFileHoldsItsOldBytesOrItsNewOnes) {
  for (const Rewrite& rewrite : Rewrites()) {
    SCOPED_TRACE(rewrite.what);
    const platform::fake::FakePlatform before = EarlierInstall(rewrite);
    platform::fake::FakePlatform done(before);
    long total = 0;
    {
      platform::fake::FaultyPlatform counting(done.os(), 0);
      ASSERT_TRUE(RunStep(rewrite, done, &counting));
      total = counting.Calls();
    }
    for (long k = 1; k <= total; ++k) {
      for (bool half : {false, true}) {
        platform::fake::FakePlatform m(before);
        std::string failed;
        {
          platform::fake::FaultyPlatform cut(m.os(), platform::fake::StopAfter{k, half});
          try {
            static_cast<void>(RunStep(rewrite, m, &cut));
          } catch (const platform::fake::RunStopped&) {
          }
          failed = cut.StoppedAfter();
        }
        for (const std::string& path : rewrite.files) {
          const std::string now = m.files.Contents(path);
          EXPECT_TRUE(m.files.HasFile(path) && (now == before.files.Contents(path) || now == done.files.Contents(path)))
              << path << " after a cut at " << failed << ": [" << now << "]";
        }
        EXPECT_TRUE(RunStep(rewrite, m, nullptr));
        EXPECT_EQ(Disk(m), Disk(done)) << "the run after a cut at " << failed;
      }
    }
  }
}

// Whatever lies under a fresh name when the install comes to rewrite a file, a piece left by a
// run cut off or a link planted there, is taken away (a link as a link) and never read.
TEST(CutOff, WhatACutOffRunLeftBesideAFileIsTakenAway) {
  for (const Rewrite& rewrite : Rewrites()) {
    SCOPED_TRACE(rewrite.what);
    const platform::fake::FakePlatform before = EarlierInstall(rewrite);
    platform::fake::FakePlatform done(before);
    ASSERT_TRUE(RunStep(rewrite, done, nullptr));

    platform::fake::FakePlatform m(before);
    const std::string theirs = "c:\\victims\\theirs.txt";
    m.files.AddFile(theirs, "someone else's", platform::kAttrHidden);
    for (const std::string& path : rewrite.files) {
      m.files.AddFile(platform::FreshName(path), "a piece", platform::kAttrReadOnly);
    }
    m.files.AddHardLink(theirs, platform::FreshName(rewrite.files.back()));
    EXPECT_TRUE(RunStep(rewrite, m, nullptr));
    EXPECT_EQ(m.files.Contents(theirs), "someone else's");
    EXPECT_EQ(m.files.GetAttributes(theirs), platform::kAttrHidden);
    auto disk = Disk(m);
    disk.erase(theirs);
    EXPECT_EQ(disk, Disk(done));
  }
}

}  // namespace
