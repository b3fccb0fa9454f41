#include "archive/restore_record.h"

#include <gtest/gtest.h>

#include "archive/user_data.h"
#include "platform/constants.h"
#include "tests/support/archive_fixture.h"

namespace {

constexpr char kProductKey[] = "HKLM\\Software\\tavowb";
constexpr char kArchive[] = "c:\\tavohu\\tavoback.tvz";

// A run that packed the user's files, recorded the restore, and was cut off after the payload's
// files went over them; then the machine as the next run finds it.
struct CutOffMachine : testing_support::ArchiveMachine {
  CutOffMachine() {
    fake.registry.SetValue("HKLM\\Software", "", platform::kRegNone, "");
    for (const auto& [name, bytes] : kUser) Put(name, bytes);
    for (const auto& [name, bytes] : kUser) EXPECT_TRUE(archive::AddFileToArchive(s, kArchive, "c:\\tavohu\\" + name));
    EXPECT_TRUE(archive::RememberBackup(s, kArchive));
    EXPECT_TRUE(archive::RecordRestore(s));
    for (const auto& [name, bytes] : kUser) Put(name, "shipped " + name);
  }
  void Put(const std::string& name, const std::string& bytes) { fake.files.AddFile("c:\\tavohu\\" + name, bytes); }
  bool Recorded() const { return fake.registry.HasValue(kProductKey, "restore"); }
  void ExpectUsersFilesBack() {
    for (const auto& [name, bytes] : kUser) EXPECT_EQ(File(name), bytes) << name;
  }
  // The next run: its own state, its work buffer.
  core::SetupState Next() {
    core::SetupState next(fake.os());
    next.InstallDir = "d:\\elsewhere\\";
    next.WorkBuffer = fake.resources.AllocZeroed(archive::kWorkBufferSize);
    return next;
  }

  const std::vector<std::pair<std::string, std::string>> kUser = {
      {"tavocyzk.tv1", "user phrases " + testing_support::RandomBytes(500, 3)},
      {"tvszsj43.tvh", std::string(200, '\x09')},
      {"userck.txt", "own words"}};
};

TEST(RestoreRecord, TheNextRunPutsTheUsersFilesBackAndRemovesTheRecord) {
  CutOffMachine m;
  ASSERT_TRUE(m.Recorded());
  EXPECT_EQ(m.fake.registry.Value(kProductKey, "restore").type, platform::kRegBinary);
  core::SetupState next = m.Next();
  EXPECT_EQ(archive::FinishCutOffRestore(next), archive::CutOffRestore::Finished);
  m.ExpectUsersFilesBack();
  EXPECT_FALSE(m.Recorded());
  // The run's own directory and backup are its own.
  EXPECT_EQ(next.InstallDir, "d:\\elsewhere\\");
  EXPECT_TRUE(next.BackupArchive.empty());
  // Once finished, nothing is restored again.
  m.Put("userck.txt", "changed since");
  EXPECT_EQ(archive::FinishCutOffRestore(next), archive::CutOffRestore::None);
  EXPECT_EQ(m.File("userck.txt"), "changed since");
}

// Only the archive that run wrote: one changed or put in its place since (the directory is open
// to every user) restores nothing, and its record goes.
TEST(RestoreRecord, AnArchiveThatIsNotTheRecordedOneRestoresNothing) {
  for (const char* how : {"changed", "replaced", "removed"}) {
    SCOPED_TRACE(how);
    CutOffMachine m;
    std::string bytes = m.fake.files.Contents(kArchive);
    if (std::string(how) == "changed") bytes[bytes.size() - 1] ^= 1;
    if (std::string(how) == "replaced") bytes += "planted";
    m.fake.files.AddFile(kArchive, bytes);
    if (std::string(how) == "removed") {
      ASSERT_TRUE(m.fake.files.Delete(kArchive));
    }
    core::SetupState next = m.Next();
    EXPECT_EQ(archive::FinishCutOffRestore(next), archive::CutOffRestore::Refused);
    for (const auto& [name, unused] : m.kUser) EXPECT_EQ(m.File(name), "shipped " + name);
    EXPECT_FALSE(m.Recorded());
  }
}

// A file another program holds open cannot be put back: the record stays for the run after, which
// finishes the restore.
TEST(RestoreRecord, ARestoreThatCannotFinishIsLeftForTheNextRun) {
  CutOffMachine m;
  int held = m.fake.files.HoldOpen("c:\\tavohu\\userck.txt");
  core::SetupState next = m.Next();
  EXPECT_EQ(archive::FinishCutOffRestore(next), archive::CutOffRestore::Unfinished);
  EXPECT_TRUE(m.Recorded());
  m.fake.files.LetGo(held);
  core::SetupState after = m.Next();
  EXPECT_EQ(archive::FinishCutOffRestore(after), archive::CutOffRestore::Finished);
  m.ExpectUsersFilesBack();
  EXPECT_FALSE(m.Recorded());
}

TEST(RestoreRecord, NoRecordOrAnUnreadableOne) {
  CutOffMachine m;
  ASSERT_TRUE(archive::ClearRestoreRecord(m.s));
  EXPECT_FALSE(m.Recorded());
  EXPECT_TRUE(archive::ClearRestoreRecord(m.s));  // nothing to remove is no failure
  core::SetupState next = m.Next();
  EXPECT_EQ(archive::FinishCutOffRestore(next), archive::CutOffRestore::None);
  for (const std::pair<uint32_t, std::string>& value :
       {std::pair<uint32_t, std::string>{platform::kRegSz, "c:\\tavohu\\tavoback.tvz"},
        {platform::kRegBinary, std::string("short")},
        {platform::kRegBinary, std::string(12, '\0') + "no directory"}}) {
    m.fake.registry.SetValue(kProductKey, "restore", value.first, value.second);
    EXPECT_EQ(archive::FinishCutOffRestore(next), archive::CutOffRestore::Refused) << value.second;
    EXPECT_FALSE(m.Recorded());
  }
  for (const auto& [name, unused] : m.kUser) EXPECT_EQ(m.File(name), "shipped " + name);
}

}  // namespace
