// Failures of single system calls that the flow must ride out, each shown on a small machine with
// that one call failing as Windows makes it fail.
#include <gtest/gtest.h>

#include "archive/user_data.h"
#include "core/install_observer.h"
#include "core/install_report.h"
#include "core/system_facts.h"
#include "flow/deploy.h"
#include "flow/setup_main.h"
#include "platform/constants.h"
#include "platform/fake/faulty_platform.h"
#include "tests/support/archive_fixture.h"

namespace {

using testing_support::PackOrDie;

constexpr char kUserLibrary[] = "c:\\tavohu\\tavocyzk.tv1";

// A user's file that another program has open a moment when the restore first writes it is put
// back by the second try: the fresh file must not stay over the user's. The payload's own write
// of the file is the first creation of it, the restore's the second.
TEST(FaultCases, AUserFileTheRestoreCannotWriteAtFirstIsPutBackByTheRetry) {
  testing_support::ArchiveMachine m;
  m.fake.SetWindows(6, false);
  m.fake.system.oemCodePage = 936;
  m.fake.resources.images["TVZ/KELVTVZ"] =
      PackOrDie({{"tavocyzk.tv1", "shipped"}, {"tvszsj43.tvh", std::string(200, '\x05')}});
  const std::string phrases = "user phrases " + testing_support::RandomBytes(300, 7);
  m.fake.files.AddFile(kUserLibrary, phrases);

  platform::fake::FaultyPlatform faulty(m.fake.os(), std::string("create ") + kUserLibrary, 2,
                                        platform::kErrorSharingViolation);
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
  EXPECT_EQ(faulty.Failed(), std::string("create ") + kUserLibrary);
  EXPECT_EQ(faulty.FailedError(), platform::kErrorSharingViolation);
  EXPECT_TRUE(report.unpackComplete);
  EXPECT_EQ(m.fake.files.Contents(kUserLibrary), phrases);
  EXPECT_EQ(s.BackupState, core::Backup::DataKept);
}

// A 64-bit Windows 7 machine with drives c: and d: (the default directory d:\tavohu) and a
// complete product in its resources; its silent install run with one kind of call failing.
struct SilentRun {
  SilentRun(const std::string& call, int occurrence, long error) {
    fake.SetWindows(6, true);
    fake.files.SetDriveType('d', platform::kDriveFixed);
    fake.files.AddDirectory("d:");
    fake.resources.images["TVZ/KELVTVZ"] = PackOrDie(testing_support::CompleteProductFiles());
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

// Each store of the install path is written a third time by the install (the start-up's
// administrator test writes it and puts it back before); one that cannot be written then ends the
// silent road with exit 9, though everything else is in place.
TEST(FaultCases, AnInstallPathStoreThatCannotBeWrittenEndsWithExit9) {
  for (const char* store : {"create C:\\windows\\tavopath.tvh", "set value path", "create d:\\tavohu\\tavopath.tvh"}) {
    SilentRun run(store, 3, platform::kErrorAccessDenied);
    EXPECT_EQ(run.failed, store);
    EXPECT_EQ(run.code, flow::kExitEntriesFailed) << store;
    EXPECT_TRUE(run.fake.files.HasFile("d:\\tavohu\\tavokelv.exe")) << store;
  }
  // The same store written: installed.
  SilentRun whole("create C:\\windows\\tavopath.tvh", 4, platform::kErrorAccessDenied);
  EXPECT_EQ(whole.failed, "");
  EXPECT_EQ(whole.code, flow::kExitInstalled);
}

}  // namespace
