#include "archive/user_data.h"

#include <gtest/gtest.h>

#include "archive/archive_format.h"
#include "archive/texts.h"
#include "platform/constants.h"
#include "platform/fake/faulty_platform.h"
#include "tests/support/archive_fixture.h"

namespace {

using testing_support::RandomBytes;
using testing_support::UnpackFailedText;

constexpr char kBackup[] = "c:\\tavohu\\tavoback.tvz";

const char* const kLive17[] = {"tavocyzk", "cfontset", "cwbzlcz1", "tvwbcmxz", "tvdhzcm", "tavodhz", "tvgbkhz"};
const char* const kPlain8to14[] = {"tvszsj43.tvh", "tavodwdw.txt", "tavozdym.tvh", "tvpyzdym.tvh",
                                   "tvwbpy.txt",   "tavoynhz.txt", "tavozdfh.tvh"};
const char* const kOptional[] = {"userck.txt",   "delck.txt",   "fttvzdym.txt", "ftpyzdym.txt", "cwb.ov1",
                                 "tavopymb.ov1", "tvgbkbh.tvh", "tvszsj05.tvh", "tvszsj06.tvh"};

class UserData : public testing_support::ArchiveTest {
 protected:
  void Put(const std::string& name, const std::string& bytes) { fake.files.AddFile("c:\\tavohu\\" + name, bytes); }

  // The names of the backup archive's entries, in order.
  std::vector<std::string> Entries() {
    std::string image = File("tavoback.tvz");
    uint32_t count = 0;
    std::vector<std::string> names;
    if (!archive::ReadEntryCount(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &count)) return names;
    archive::EntryWalker walker(reinterpret_cast<const uint8_t*>(image.data()), image.size(), count);
    archive::Entry entry;
    while (walker.Next(&entry) == archive::WalkStep::Entry) names.push_back(entry.name);
    return names;
  }

  // An earlier installation with every item of the list; returns what each entry should hold.
  std::map<std::string, std::string> EarlierInstallation(bool optional) {
    std::map<std::string, std::string> saved;
    unsigned seed = 1;
    for (const char* base : kLive17) {
      std::string bytes = "user phrases of " + std::string(base) + RandomBytes(300, seed++);
      Put(std::string(base) + ".tvh", bytes);
      saved[std::string(base) + ".tv1"] = bytes;
    }
    for (const char* name : kPlain8to14) saved[name] = "settings " + std::string(name);
    saved["tavodwdw.txt"] = RandomBytes(70000, 99);  // does not compress
    if (optional) {
      for (const char* name : kOptional) saved[name] = "optional " + std::string(name);
      saved["delck.txt"] = "";  // an empty file
    }
    for (const auto& [name, bytes] : saved) {
      if (name.find(".tv1") == std::string::npos) Put(name, bytes);
    }
    return saved;
  }
};

TEST_F(UserData, AddingToAMissingArchiveCreatesItWithOneEntry) {
  Put("cfontset.tv1", "font settings");
  ASSERT_TRUE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\cfontset.tv1"));
  std::string image = File("tavoback.tvz");
  uint32_t compressed = archive::ReadU32(reinterpret_cast<const uint8_t*>(image.data()) + 26);
  EXPECT_EQ(image.substr(0, 2), "TV");
  EXPECT_EQ(archive::ReadU32(reinterpret_cast<const uint8_t*>(image.data()) + 2), 10 + 20 + compressed);
  EXPECT_EQ(archive::ReadU32(reinterpret_cast<const uint8_t*>(image.data()) + 6), 1u);
  EXPECT_EQ(image.size(), 10 + 20 + compressed);
  EXPECT_EQ(Entries(), std::vector<std::string>{"cfontset.tv1"});
}

TEST_F(UserData, AddRefusesDuplicatesLongNamesAndMissingFiles) {
  Put("a.txt", "a");
  Put("A.TXT2", "b");
  Put("thirteen.byte", "c");
  ASSERT_TRUE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\a.txt"));
  std::string before = File("tavoback.tvz");
  EXPECT_FALSE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\a.txt"));
  EXPECT_EQ(File("tavoback.tvz"), before);
  EXPECT_TRUE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\A.TXT2"));
  // One file on Windows, so one entry: letter case does not make a name new.
  before = File("tavoback.tvz");
  Put("A.TXT", "b");
  EXPECT_FALSE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\A.TXT"));
  EXPECT_EQ(File("tavoback.tvz"), before);

  EXPECT_FALSE(archive::AddFileToArchive(s, "c:\\tavohu\\other.tvz", "c:\\tavohu\\thirteen.byte"));
  EXPECT_FALSE(Has("other.tvz"));  // refused before the archive is touched
  EXPECT_FALSE(archive::AddFileToArchive(s, "c:\\tavohu\\other.tvz", "c:\\tavohu\\missing.txt"));
  EXPECT_EQ(File("other.tvz").size(), 10u);  // a fresh header stays
}

TEST_F(UserData, AddFailsCleanlyWithoutMemoryOrWhenTheArchiveCannotBeWritten) {
  Put("a.txt", "a");
  fake.resources.failAllocation = true;
  EXPECT_FALSE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\a.txt"));
  fake.resources.failAllocation = false;
  fake.files.AddDirectory("c:\\locked");
  fake.files.DenyWrites("c:\\locked");
  EXPECT_FALSE(archive::AddFileToArchive(s, "c:\\locked\\tavoback.tvz", "c:\\tavohu\\a.txt"));
  // An archive whose entries run past its end is not appended to.
  Put("broken.tvz", archive::ArchiveHeader(10, 1) + archive::EntryHeader("x", 1000) + "short");
  EXPECT_FALSE(archive::AddFileToArchive(s, "c:\\tavohu\\broken.tvz", "c:\\tavohu\\a.txt"));
}

TEST_F(UserData, FullListIsBackedUpAndRestoredByteForByte) {
  auto saved = EarlierInstallation(true);
  ASSERT_EQ(archive::BackupUserData(s), core::Backup::Made);
  std::vector<std::string> expected;
  for (const char* base : kLive17) expected.push_back(std::string(base) + ".tv1");
  expected.insert(expected.end(), std::begin(kPlain8to14), std::end(kPlain8to14));
  expected.insert(expected.end(), std::begin(kOptional), std::end(kOptional));
  EXPECT_EQ(Entries(), expected);
  EXPECT_EQ(File("tavocyzk.tv1"), saved["tavocyzk.tv1"]);  // the copies stay

  // A fresh install overwrites everything; the restore brings the user's files back.
  for (const auto& [name, bytes] : saved) Put(name, "shipped");
  bool whole = false;
  EXPECT_EQ(archive::RestoreUserData(s, &whole), 23u);
  EXPECT_TRUE(whole);
  // The empty file comes back empty too, and nobody is asked to do anything about it.
  for (const auto& [name, bytes] : saved) EXPECT_EQ(File(name), bytes) << name;
  EXPECT_EQ(File("delck.txt"), "");
  EXPECT_TRUE(Messages().empty());
}

// A missing required item, or a file of the list that is there but cannot be packed, fails the
// backup: the install then leaves the user's files as they are. The others are still packed.
TEST_F(UserData, OptionalItemsMayBeMissingRequiredOnesMayNot) {
  EarlierInstallation(false);
  EXPECT_EQ(archive::BackupUserData(s), core::Backup::Made);
  EXPECT_EQ(Entries().size(), 14u);

  fake.files.Delete("c:\\tavohu\\tavozdym.tvh");  // item 10
  EXPECT_EQ(archive::BackupUserData(s), core::Backup::Failed);
  EXPECT_EQ(Entries().size(), 13u);

  Put("tavozdym.tvh", "back again");
  Put("userck.txt", "an optional list, there but unreadable");
  fake.files.LimitReads("c:\\tavohu\\userck.txt", 0);
  fake.files.DenyWrites("c:\\tavohu\\tvszsj43.tvh");
  EXPECT_EQ(archive::BackupUserData(s), core::Backup::Made) << "a short read packs what was read";
}

TEST_F(UserData, AFileThatCannotBeCopiedForPackingFailsTheBackup) {
  EarlierInstallation(false);
  Put("tavocyzk.tv1", "an older copy");
  fake.files.HoldOpen("c:\\tavohu\\tavocyzk.tv1");  // the copy of the user's dictionary cannot replace it
  EXPECT_EQ(archive::BackupUserData(s), core::Backup::Failed);
}

TEST_F(UserData, AFreshMachineHasNothingToKeepAndGetsNoArchive) {
  EXPECT_EQ(archive::BackupUserData(s), core::Backup::None);
  EXPECT_FALSE(fake.files.HasFile("c:\\tavohu\\tavoback.tvz"));
}

TEST_F(UserData, ALeftoverCopyIsSavedWhenItsLiveFileIsMissing) {
  EarlierInstallation(false);
  fake.files.Delete("c:\\tavohu\\tvgbkhz.tvh");
  Put("tvgbkhz.tv1", "older copy");
  EXPECT_EQ(archive::BackupUserData(s), core::Backup::Made);
  Put("tvgbkhz.tv1", "shipped");
  archive::RestoreUserData(s);
  EXPECT_EQ(File("tvgbkhz.tv1"), "older copy");
}

TEST_F(UserData, RestoreIgnoresMissingAndShortArchivesAndReportsOversizedFiles) {
  EXPECT_EQ(archive::RestoreUserData(s), 0u);
  Put("tavoback.tvz", testing_support::PackOrDie({{"userck.txt", "a"}}));  // under 100 bytes
  ASSERT_TRUE(archive::RememberBackup(s, kBackup));
  EXPECT_EQ(archive::RestoreUserData(s), 0u);
  EXPECT_FALSE(Has("userck.txt"));

  // An entry too big for the data area (an archive written elsewhere): reported, not written.
  Put("tavoback.tvz", testing_support::PackOrDie(
                          {{"userck.txt", std::string(2097053, 'h')}, {"delck.txt", std::string(2097052, 's')}}));
  ASSERT_TRUE(archive::RememberBackup(s, kBackup));
  EXPECT_EQ(archive::RestoreUserData(s), 1u);
  EXPECT_FALSE(Has("userck.txt"));
  EXPECT_EQ(File("delck.txt").size(), 2097052u);
  EXPECT_EQ(Messages(), std::vector<std::string>{UnpackFailedText("userck.txt")});
}

// A file the restore could never unpack is refused before it is read: that also keeps the block
// (file plus compressed form) from wrapping round in a 32-bit program for files near 2 GiB.
TEST_F(UserData, AFileLargerThanTheDataAreaIsNotBackedUp) {
  Put("huge.tvh", std::string(2097053, 'h'));
  Put("small.tvh", std::string(2097052, 's'));
  ASSERT_TRUE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\small.tvh"));
  std::string before = File("tavoback.tvz");
  size_t allocations = fake.resources.allocations.size();
  EXPECT_FALSE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\huge.tvh"));
  EXPECT_EQ(File("tavoback.tvz"), before);
  EXPECT_EQ(fake.resources.allocations.size(), allocations);
}

TEST_F(UserData, PlantedBackupEntriesCannotLeaveTheInstallDirectory) {
  std::string image = testing_support::PackOrDie({{"userck.txt", RandomBytes(200, 5)}});
  std::string header = archive::EntryHeader("..\\..\\x.dll", 0);
  std::string packed = testing_support::PackOrDie({{"x", std::string(200, 'x')}}).substr(30);
  archive::PutU32(reinterpret_cast<uint8_t*>(header.data() + 16), static_cast<uint32_t>(packed.size()));
  image += header + packed;
  archive::PutU32(reinterpret_cast<uint8_t*>(image.data() + 6), 2);
  Put("tavoback.tvz", image);
  ASSERT_TRUE(archive::RememberBackup(s, kBackup));
  EXPECT_EQ(archive::RestoreUserData(s), 1u);
  EXPECT_FALSE(fake.files.HasFile("c:\\x.dll"));
  EXPECT_EQ(fake.files.AllFiles().size(), 2u);  // the archive and userck.txt
}

// Even an archive taken as this run's backup writes nothing but the names of the backup list:
// a module or program in it would reach the system directory or be started with the setup's
// rights.
TEST_F(UserData, RestoreWritesOnlyTheNamesOfTheBackupList) {
  Put("tavoback.tvz", testing_support::PackOrDie({{"tavo320.ime", "planted stub " + RandomBytes(100, 1)},
                                                  {"tavohu4.ime", "planted module"},
                                                  {"tavodel.exe", "planted uninstaller"},
                                                  {"abcd", "planted"},
                                                  {"TVWBPY.TXT", "user phrases"},
                                                  {"tavocyzk.tv1", "user words"}}));
  ASSERT_TRUE(archive::RememberBackup(s, kBackup));
  EXPECT_EQ(archive::RestoreUserData(s), 2u);
  EXPECT_EQ(File("TVWBPY.TXT"), "user phrases");
  EXPECT_EQ(File("tavocyzk.tv1"), "user words");
  for (const char* planted : {"tavo320.ime", "tavohu4.ime", "tavodel.exe", "abcd"}) {
    EXPECT_FALSE(Has(planted)) << planted;
  }
  EXPECT_TRUE(fake.dialogs.shown.empty());
}

// Only the archive this run's backup wrote is restored, read from where it was written: not one
// lying in a directory the user changed to, not one put in its place afterwards, and none at all
// when this run made no backup.
TEST_F(UserData, OnlyTheArchiveThisRunWroteIsRestored) {
  auto saved = EarlierInstallation(false);
  ASSERT_EQ(archive::BackupUserData(s), core::Backup::Made);
  EXPECT_EQ(s.BackupArchive, kBackup);

  fake.files.AddDirectory("c:\\other");
  fake.files.AddFile("c:\\other\\tavoback.tvz",
                     testing_support::PackOrDie({{"tvwbpy.txt", "stale " + RandomBytes(200, 3)}}));
  s.InstallDir = "c:\\other\\";
  EXPECT_EQ(archive::RestoreUserData(s), 14u);
  EXPECT_EQ(fake.files.Contents("c:\\other\\tvwbpy.txt"), saved["tvwbpy.txt"]);

  // The archive changed after the backup: nothing is restored from it.
  std::string written = File("tavoback.tvz");
  std::string swapped = written;
  swapped[swapped.size() - 1] ^= 1;
  Put("tavoback.tvz", swapped);
  fake.files.Delete("c:\\other\\tvwbpy.txt");
  EXPECT_EQ(archive::RestoreUserData(s), 0u);
  EXPECT_FALSE(fake.files.HasFile("c:\\other\\tvwbpy.txt"));

  // A run that made no backup restores nothing, whatever archive lies there.
  Put("tavoback.tvz", written);
  core::SetupState fresh(fake.os());
  fresh.InstallDir = "c:\\tavohu\\";
  fresh.WorkBuffer = fake.resources.AllocZeroed(archive::kWorkBufferSize);
  EXPECT_EQ(archive::RestoreUserData(fresh), 0u);
}

// The backup is remembered by the bytes this run wrote, not by what the file holds when it is read
// back: an archive swapped in between (the directory is open to every user) is never remembered,
// so nothing of it is restored.
TEST_F(UserData, AnArchiveSwappedInBeforeItIsRememberedIsNotRestored) {
  const std::string phrases = "the user's phrases " + RandomBytes(300, 7);
  Put("userck.txt", phrases);
  std::string entry;
  ASSERT_TRUE(archive::AddFileToArchive(s, kBackup, "c:\\tavohu\\userck.txt", &entry));
  const std::string written = File("tavoback.tvz");
  EXPECT_EQ(written.substr(written.size() - entry.size()), entry);

  const std::string planted = testing_support::PackOrDie({{"userck.txt", "PLANTED words"}});
  Put("tavoback.tvz", planted);
  EXPECT_FALSE(archive::RememberBackup(s, kBackup, &written));
  Put("userck.txt", "shipped");
  EXPECT_EQ(archive::RestoreUserData(s), 0u);
  EXPECT_EQ(File("userck.txt"), "shipped");

  // The bytes as written are remembered and restored.
  Put("tavoback.tvz", written);
  ASSERT_TRUE(archive::RememberBackup(s, kBackup, &written));
  EXPECT_EQ(archive::RestoreUserData(s), 1u);
  EXPECT_EQ(File("userck.txt"), phrases);
}

// A new archive whose header cannot be written holds nothing of the user's: it is taken away
// again, so that no empty archive is later taken for a backup.
TEST_F(UserData, ANewArchiveWhoseHeaderCannotBeWrittenIsTakenAway) {
  Put("a.txt", "the user's phrases");
  fake.files.AddDirectory("c:\\full");
  fake.files.FillDisk("c:\\full");
  EXPECT_FALSE(archive::AddFileToArchive(s, "c:\\full\\tavoback.tvz", "c:\\tavohu\\a.txt"));
  EXPECT_FALSE(fake.files.HasFile("c:\\full\\tavoback.tvz"));
  EXPECT_EQ(File("a.txt"), "the user's phrases");
}

// A file of the list that is there but held open by another program without read sharing cannot
// be packed: the backup fails, so that the install leaves the user's files as they are, and the
// backup itself changes none of them.
TEST_F(UserData, AListFileThatCannotBeOpenedFailsTheBackup) {
  auto saved = EarlierInstallation(true);
  for (const char* locked : {"c:\\tavohu\\tvszsj43.tvh", "c:\\tavohu\\userck.txt", "c:\\tavohu\\tavocyzk.tv1"}) {
    platform::fake::FaultyPlatform faulty(fake.os(), std::string("open ") + locked, 1,
                                          platform::kErrorSharingViolation);
    core::SetupState locking(faulty.os());
    locking.InstallDir = s.InstallDir;
    EXPECT_EQ(archive::BackupUserData(locking), core::Backup::Failed) << locked;
    EXPECT_NE(faulty.Failed(), "") << locked << " was never opened";
    EXPECT_TRUE(locking.BackupArchive.empty()) << locked;
    for (const auto& [name, bytes] : saved) {
      if (name.find(".tv1") == std::string::npos) {
        EXPECT_EQ(File(name), bytes) << locked << ": " << name;
      }
    }
    for (const char* base : kLive17) {
      EXPECT_EQ(File(std::string(base) + ".tvh"), saved[std::string(base) + ".tv1"]) << locked << ": " << base;
    }
  }
}

}  // namespace
