#include "platform/fake/fake_files.h"

#include <gtest/gtest.h>

#include "platform/constants.h"

namespace {

using platform::OpenMode;
using platform::fake::FakeFiles;

// The behaviours of Windows that the setup relies on, as the fake shows them (the seam table,
// tests/seam, checks them against the real layer).
TEST(FakeFiles, ALoadedModuleCannotBeDeletedOrOverwrittenButCanBeRenamed) {
  FakeFiles files;
  files.AddFile("C:\\windows\\system32\\tavohu4.ime", "old");
  int module = files.LoadModule("C:\\windows\\system32\\tavohu4.ime");
  EXPECT_FALSE(files.Delete("c:\\WINDOWS\\system32\\TAVOHU4.IME"));
  EXPECT_EQ(files.LastError(), platform::kErrorAccessDenied);
  EXPECT_EQ(files.Create("c:\\windows\\system32\\tavohu4.ime"), nullptr);
  EXPECT_EQ(files.LastError(), platform::kErrorSharingViolation);
  EXPECT_NE(files.Open("c:\\windows\\system32\\tavohu4.ime", OpenMode::Read), nullptr);
  EXPECT_TRUE(files.Move("c:\\windows\\system32\\tavohu4.ime", "c:\\windows\\system32\\tavohu2.ime"));
  EXPECT_EQ(files.Contents("c:\\windows\\system32\\tavohu2.ime"), "old");
  EXPECT_FALSE(files.HasFile("c:\\windows\\system32\\tavohu4.ime"));
  // Still loaded under its new name, until it is unloaded.
  EXPECT_FALSE(files.Delete("c:\\windows\\system32\\tavohu2.ime"));
  files.Unload(module);
  EXPECT_TRUE(files.Delete("c:\\windows\\system32\\tavohu2.ime"));
}

TEST(FakeFiles, AFileHeldOpenCannotBeDeletedRenamedOrOverwrittenButCanBeRead) {
  FakeFiles files;
  files.AddFile("c:\\d\\held.txt", "held");
  int handle = files.HoldOpen("c:\\d\\held.txt");
  EXPECT_NE(handle, 0);
  EXPECT_FALSE(files.Delete("c:\\d\\held.txt"));
  EXPECT_EQ(files.LastError(), platform::kErrorSharingViolation);
  EXPECT_FALSE(files.Move("c:\\d\\held.txt", "c:\\d\\moved.txt"));
  EXPECT_EQ(files.LastError(), platform::kErrorSharingViolation);
  EXPECT_EQ(files.Open("c:\\d\\held.txt", OpenMode::Write), nullptr);
  EXPECT_NE(files.Open("c:\\d\\held.txt", OpenMode::Read), nullptr);
  EXPECT_EQ(files.LastError(), platform::kErrorSuccess);
  files.LetGo(handle);
  EXPECT_TRUE(files.Move("c:\\d\\held.txt", "c:\\d\\moved.txt"));
  EXPECT_EQ(files.HoldOpen("c:\\d\\held.txt"), 0);
}

TEST(FakeFiles, ReadOnlyFilesRefuseWritesUntilTheAttributeIsCleared) {
  FakeFiles files;
  files.AddFile("c:\\d\\f.txt", "x", platform::kAttrReadOnly);
  EXPECT_FALSE(files.Delete("c:\\d\\f.txt"));
  EXPECT_FALSE(files.Copy("c:\\d\\f.txt", "c:\\d\\f.txt", false));
  EXPECT_TRUE(files.SetAttributes("c:\\d\\f.txt", platform::kAttrArchive));
  EXPECT_TRUE(files.Delete("c:\\d\\f.txt"));
}

TEST(FakeFiles, SmallFileCallsReadWriteAndSeek) {
  FakeFiles files;
  auto f = files.Create("c:\\a.bin");
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(f->Write("hello", 5), 5);
  EXPECT_EQ(f->Seek(0, platform::SeekFrom::End), 5);
  EXPECT_EQ(f->Seek(1, platform::SeekFrom::Begin), 1);
  char buf[8] = {};
  EXPECT_EQ(f->Read(buf, 8), 4);
  EXPECT_STREQ(buf, "ello");
  EXPECT_EQ(files.Create("c:\\missing\\a.bin"), nullptr);
  EXPECT_EQ(files.LastError(), platform::kErrorPathNotFound);
  EXPECT_EQ(files.Open("c:\\none.bin", OpenMode::Read), nullptr);
  EXPECT_EQ(files.LastError(), platform::kErrorFileNotFound);
}

TEST(FakeFiles, Wow64RedirectsSystem32AndSysnativeReachesIt) {
  FakeFiles files;
  files.AddDirectory("C:\\windows\\syswow64");
  files.SetWow64(true);
  EXPECT_TRUE(platform::WriteSmallFile(files, "C:\\windows\\system32\\a.ime", "32"));
  EXPECT_TRUE(platform::WriteSmallFile(files, "C:\\windows\\sysnative\\a.ime", "64"));
  EXPECT_EQ(files.Contents("C:\\windows\\syswow64\\a.ime"), "32");
  EXPECT_EQ(files.Contents("C:\\windows\\system32\\a.ime"), "64");
}

// A Windows installed elsewhere has its system directories, and their redirection, there.
TEST(FakeFiles, AWindowsDirectoryElsewhereCarriesItsSystemDirectories) {
  FakeFiles files;
  files.SetDriveType('d', platform::kDriveFixed);
  files.SetWow64(true);
  files.SetWindowsDirectory("D:\\WINNT");
  files.SetSystemFolders({"D:\\Program Files", "D:\\Users"});
  EXPECT_EQ(files.SystemDirectory(), "D:\\WINNT\\system32");
  EXPECT_EQ(files.SystemDirectoryW(), u"D:\\WINNT\\system32");
  EXPECT_EQ(files.NativeSystemDirectory(), "D:\\WINNT\\sysnative");
  EXPECT_TRUE(platform::WriteSmallFile(files, "D:\\WINNT\\system32\\a.ime", "32"));
  EXPECT_TRUE(platform::WriteSmallFile(files, "d:\\winnt\\sysnative\\a.ime", "64"));
  EXPECT_EQ(files.Contents("D:\\WINNT\\syswow64\\a.ime"), "32");
  EXPECT_EQ(files.Contents("D:\\WINNT\\system32\\a.ime"), "64");
  const std::vector<std::string> folders = {"D:\\WINNT", "D:\\WINNT\\system32", "D:\\Program Files", "D:\\Users"};
  EXPECT_EQ(files.SystemFolders(), folders);
  EXPECT_TRUE(files.HasDirectory("d:\\users"));
}

// A short name or a junction leads every call to its folder; the folder is then one directory
// under both names, and a missing name tells why.
TEST(FakeFiles, ALinkIsASecondNameOfItsFolder) {
  FakeFiles files;
  files.AddDirectory("C:\\Program Files");
  files.AddDirectory("C:\\Program Files (x86)");
  files.AddLink("C:\\PROGRA~1", "C:\\Program Files");
  EXPECT_TRUE(platform::WriteSmallFile(files, "c:\\progra~1\\a.txt", "a"));
  EXPECT_EQ(files.Contents("C:\\Program Files\\a.txt"), "a");
  EXPECT_TRUE(files.SameDirectory("C:\\PROGRA~1\\", "c:\\program files"));
  EXPECT_EQ(files.LastError(), platform::kErrorSuccess);
  EXPECT_FALSE(files.SameDirectory("C:\\PROGRA~1", "C:\\Program Files (x86)"));
  EXPECT_EQ(files.LastError(), platform::kErrorSuccess);
  EXPECT_FALSE(files.SameDirectory("C:\\Program Files\\a.txt", "c:\\PROGRA~1\\A.TXT"));  // no directory
  EXPECT_FALSE(files.SameDirectory("C:\\PROGRA~2", "C:\\PROGRA~2"));
  EXPECT_EQ(files.LastError(), platform::kErrorFileNotFound);
  files.ClearLinks();
  EXPECT_FALSE(files.SameDirectory("C:\\PROGRA~1", "C:\\Program Files"));
  EXPECT_EQ(files.LastError(), platform::kErrorFileNotFound);
}

TEST(FakeFiles, ListingAndCurrentDirectory) {
  FakeFiles files;
  files.AddFile("c:\\t\\b.TXT", "1");
  files.AddFile("c:\\t\\a.tvh", "2");
  files.AddDirectory("c:\\t\\sub");
  std::vector<std::string> expected = {".", "..", "a.tvh", "b.TXT", "sub"};
  EXPECT_EQ(files.List("c:\\t\\*.*"), expected);
  EXPECT_TRUE(files.List("c:\\nowhere\\*.*").empty());
  EXPECT_TRUE(files.ChangeDirectory("c:\\t\\sub\\"));
  EXPECT_FALSE(files.ChangeDirectory("c:\\t\\a.tvh"));
  EXPECT_TRUE(platform::WriteSmallFile(files, "rel.txt", "r"));
  EXPECT_EQ(files.Contents("c:\\t\\sub\\rel.txt"), "r");
}

TEST(FakeFiles, DeniedFoldersCannotBeWritten) {
  FakeFiles files;
  files.DenyWrites("C:\\windows");
  EXPECT_EQ(files.Create("c:\\windows\\x.tvh"), nullptr);
  EXPECT_FALSE(files.MakeDirectory("c:\\windows\\sub"));
  EXPECT_TRUE(files.MakeDirectory("c:\\windowsother"));
  EXPECT_EQ(files.DriveType("c:\\"), platform::kDriveFixed);
  EXPECT_EQ(files.DriveType("g:\\"), platform::kDriveNoRootDir);
}

// A test prepares a machine once and runs each variation on a copy: the copy must be a disk of
// its own, with the original's files, holdings and loaded modules.
TEST(FakeFiles, ACopyIsADiskOfItsOwnWithTheHoldingsOfTheOriginal) {
  FakeFiles original;
  original.AddFile("c:\\d\\a.txt", "a");
  original.AddFile("c:\\d\\held.txt", "held");
  int handle = original.HoldOpen("c:\\d\\held.txt");
  original.SetWow64(true);

  FakeFiles copy(original);
  auto file = copy.Create("c:\\d\\a.txt");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(file->Write("changed", 7), 7);
  file.reset();
  EXPECT_TRUE(copy.Move("c:\\d\\a.txt", "c:\\d\\b.txt"));
  EXPECT_EQ(copy.Contents("c:\\d\\b.txt"), "changed");
  EXPECT_EQ(original.Contents("c:\\d\\a.txt"), "a");
  EXPECT_FALSE(original.HasFile("c:\\d\\b.txt"));
  EXPECT_EQ(copy.NativeSystemDirectory(), "C:\\windows\\sysnative");

  // Held in both; letting go in the copy frees the copy's file only.
  EXPECT_FALSE(copy.Delete("c:\\d\\held.txt"));
  copy.LetGo(handle);
  EXPECT_TRUE(copy.Delete("c:\\d\\held.txt"));
  EXPECT_FALSE(original.Delete("c:\\d\\held.txt"));
  EXPECT_TRUE(original.HasFile("c:\\d\\held.txt"));
}

// Hard links as Windows has them: one file under two names, written through either. Removing a
// link takes the name only; a read-only file keeps its link, and nothing is written through it.
TEST(FakeFiles, AHardLinkIsRemovedNeverWrittenThrough) {
  FakeFiles files;
  files.AddFile("c:\\other\\secret.txt", "theirs", platform::kAttrHidden);
  files.AddHardLink("c:\\other\\secret.txt", "c:\\tavohu\\tvnetsj.dat");
  EXPECT_EQ(files.LinkCount("c:\\tavohu\\tvnetsj.dat"), 2u);
  EXPECT_TRUE(platform::IsLink(files, "c:\\tavohu\\tvnetsj.dat"));
  EXPECT_TRUE(platform::WriteSmallFile(files, "c:\\tavohu\\tvnetsj.dat", "ours"));
  EXPECT_EQ(files.Contents("c:\\other\\secret.txt"), "theirs");
  EXPECT_EQ(files.GetAttributes("c:\\other\\secret.txt"), platform::kAttrHidden);
  EXPECT_EQ(files.Contents("c:\\tavohu\\tvnetsj.dat"), "ours");
  EXPECT_EQ(files.LinkCount("c:\\other\\secret.txt"), 1u);

  files.AddFile("c:\\other\\locked.txt", "theirs", platform::kAttrReadOnly);
  files.AddHardLink("c:\\other\\locked.txt", "c:\\tavohu\\wbpybz.tvh");
  EXPECT_FALSE(platform::WriteSmallFile(files, "c:\\tavohu\\wbpybz.tvh", "ours"));
  EXPECT_EQ(files.Contents("c:\\other\\locked.txt"), "theirs");

  // A directory link (a junction) is never removed here: the caller refuses it.
  files.AddDirectory("c:\\junction", platform::kAttrDirectory | platform::kAttrReparsePoint);
  EXPECT_TRUE(platform::IsLink(files, "c:\\junction"));
  EXPECT_FALSE(platform::RemoveLink(files, "c:\\junction"));
  EXPECT_TRUE(files.HasDirectory("c:\\junction"));
  EXPECT_TRUE(platform::RemoveLink(files, "c:\\tavohu\\nothing.txt"));
}

}  // namespace
