// Failures of single system calls that the flow must ride out, each shown on a small machine with
// that one call failing as Windows makes it fail.
#include <gtest/gtest.h>

#include "archive/user_data.h"
#include "core/install_observer.h"
#include "core/install_report.h"
#include "core/system_facts.h"
#include "flow/deploy.h"
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
  testing_support::ArchiveBench m;
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
  s.InstallMode = core::kSilent;
  s.WorkBuffer = std::move(m.s.WorkBuffer);
  s.PayloadImage = s.os.resources.Load("TVZ", "KELVTVZ");
  core::FindSystemFacts(s);
  ASSERT_TRUE(archive::AddFileToArchive(s, "c:\\tavohu\\tavoback.tvz", kUserLibrary));
  ASSERT_TRUE(archive::RememberBackup(s, "c:\\tavohu\\tavoback.tvz"));
  s.BackupState = core::Backup::Made;

  core::NoObserver nobody;
  core::InstallReport report;
  flow::DeployFiles(s, 0, nobody, report);
  EXPECT_EQ(faulty.Failed(), std::string("create ") + kUserLibrary);
  EXPECT_EQ(faulty.FailedError(), platform::kErrorSharingViolation);
  EXPECT_TRUE(report.unpackComplete);
  EXPECT_EQ(m.fake.files.Contents(kUserLibrary), phrases);
  EXPECT_EQ(s.BackupState, core::Backup::DataKept);
}

}  // namespace
