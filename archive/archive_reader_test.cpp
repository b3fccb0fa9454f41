#include "archive/archive_reader.h"

#include <gtest/gtest.h>

#include <cstring>

#include "archive/texts.h"
#include "platform/constants.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/encoding.h"

namespace {

using testing_support::Encode;
using testing_support::PackOrDie;
using testing_support::UnpackFailedText;

class ArchiveReader : public testing_support::ArchiveTest {
 protected:
  bool Unpack(const std::string& image) {
    return archive::UnpackArchive(s, reinterpret_cast<const uint8_t*>(image.data()), image.size(), Work(),
                                  s.WorkBuffer->Size());
  }
};

TEST_F(ArchiveReader, UnpackWritesEveryEntryAsAFileOfTheInstallDirectory) {
  std::string image = PackOrDie({{"a.txt", "alpha"}, {"\xC0\xE4.tvz", "skin"}, {"big.tvh", std::string(1833364, 'z')}});
  EXPECT_TRUE(Unpack(image));
  EXPECT_EQ(File("a.txt"), "alpha");
  EXPECT_EQ(File("\xC0\xE4.tvz"), "skin");
  EXPECT_EQ(File("big.tvh").size(), 1833364u);
  EXPECT_TRUE(fake.dialogs.shown.empty());
  // The name area holds the last entry's name.
  EXPECT_STREQ(reinterpret_cast<const char*>(Work()), "big.tvh");
}

TEST_F(ArchiveReader, EmptyArchiveAndOddHeadersAreReadByTheirCount) {
  EXPECT_TRUE(Unpack(PackOrDie({})));
  EXPECT_TRUE(fake.files.List("c:\\tavohu\\*.*").size() == 2);  // "." and ".."
  std::string image = PackOrDie({{"a.txt", "alpha"}});
  image[0] = 'X';                           // magic
  image[2] = image[3] = image[4] = '\x55';  // total length
  image[10 + 8] = '\x11';                   // filler after the name's NUL
  EXPECT_TRUE(Unpack(image));
  EXPECT_EQ(File("a.txt"), "alpha");
}

TEST_F(ArchiveReader, DuplicateNamesAreWrittenInOrderSoTheLaterWins) {
  EXPECT_TRUE(Unpack(PackOrDie({{"a.txt", "first"}, {"b.txt", "b"}})));
  std::string image = PackOrDie({{"a.txt", "first"}, {"b.txt", "b"}});
  std::string second = PackOrDie({{"a.txt", "second"}});
  // Append the second archive's entry and raise the count.
  image += second.substr(10);
  image[6] = 3;
  EXPECT_TRUE(Unpack(image));
  EXPECT_EQ(File("a.txt"), "second");
  SetPayload(image);
  ASSERT_EQ(archive::LoadArchiveEntry(s, "a.txt"), 5u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(archive::DataArea(Work())), 5), "first");
}

// Only the first failed entry of an archive raises a box; the walk goes on and the rest are
// counted.
TEST_F(ArchiveReader, TheFirstFailedEntryIsReportedTheOthersCountedAndTheWalkGoesOn) {
  std::string corrupt = PackOrDie({{"bad.dat", std::string(500, 'q')}});
  corrupt[10 + 20 + 10] ^= 0x55;  // inside the deflate data
  std::string image = PackOrDie({{"empty.txt", ""},
                                 {"ok1.txt", "one"},
                                 {"big.bin", std::string(2097053, 'b')},
                                 {"fits.bin", std::string(2097052, 'f')}});
  // Add the corrupt entry at the end.
  image += corrupt.substr(10);
  image[6] = 5;
  fake.files.AddFile("c:\\tavohu\\bad.dat", "earlier");
  uint32_t written = 0, failed = 0;
  EXPECT_FALSE(archive::UnpackArchive(s, reinterpret_cast<const uint8_t*>(image.data()), image.size(), Work(),
                                      s.WorkBuffer->Size(), &written, nullptr, &failed));
  EXPECT_EQ(written, 2u);
  EXPECT_EQ(failed, 3u);
  EXPECT_FALSE(Has("empty.txt"));
  EXPECT_EQ(File("ok1.txt"), "one");
  EXPECT_FALSE(Has("big.bin"));
  EXPECT_EQ(File("fits.bin").size(), 2097052u);
  EXPECT_EQ(File("bad.dat"), "earlier");  // a failed decompression leaves the earlier file
  EXPECT_EQ(Messages(), std::vector<std::string>{UnpackFailedText("empty.txt")});
  for (const auto& box : fake.dialogs.shown) {
    EXPECT_FALSE(box.wide);
    EXPECT_EQ(box.caption, Encode("Tavo安装", "GBK"));
    EXPECT_EQ(box.type, platform::kMbOk);
  }
}

TEST_F(ArchiveReader, NamesWithADirectoryPartAreNeverWritten) {
  fake.files.AddDirectory("c:\\windows\\system32");
  std::string image = PackOrDie({{"ok.txt", "ok"}});
  const char* evil[] = {"..\\evil.dll", "..", ".", "a/b.txt", "c:x.txt", "\\root.txt", ""};
  uint32_t count = 1;
  for (const char* name : evil) {
    std::string header = archive::EntryHeader(name, 0);
    std::string packed = PackOrDie({{"x", "payload"}}).substr(30);
    archive::PutU32(reinterpret_cast<uint8_t*>(header.data() + 16), static_cast<uint32_t>(packed.size()));
    image += header + packed;
    ++count;
  }
  archive::PutU32(reinterpret_cast<uint8_t*>(image.data() + 6), count);
  EXPECT_FALSE(Unpack(image));
  EXPECT_EQ(File("ok.txt"), "ok");
  std::vector<std::string> files = fake.files.AllFiles();
  EXPECT_EQ(files, std::vector<std::string>{"c:\\tavohu\\ok.txt"});
  EXPECT_EQ(fake.dialogs.shown.size(), 1u);
}

// A crafted archive of very many failing entries, or a directory that cannot be written: one
// box per archive, each archive on its own.
TEST_F(ArchiveReader, ManyFailuresRaiseOneBoxPerArchive) {
  std::string empty = PackOrDie({{"e", ""}}).substr(10);
  std::string image = archive::ArchiveHeader(0, 20000);
  for (int i = 0; i < 20000; ++i) image += empty;
  EXPECT_FALSE(Unpack(image));
  EXPECT_EQ(fake.dialogs.shown.size(), 1u);

  fake.files.AddDirectory("c:\\locked");
  fake.files.DenyWrites("c:\\locked");
  s.InstallDir = "c:\\locked\\";
  EXPECT_FALSE(Unpack(PackOrDie({{"a.txt", "a"}, {"b.txt", "b"}, {"c.txt", "c"}})));
  EXPECT_EQ(Messages(), (std::vector<std::string>{UnpackFailedText("e"), UnpackFailedText("a.txt")}));
}

// The skin file lies where ordinary users can write: whatever it holds, it never places a
// module or a program that the deployment would copy into the system directory or start.
TEST_F(ArchiveReader, TheDefaultSkinNeverWritesModulesOrPrograms) {
  std::string skin = PackOrDie({{"bg.bmp", "BMbg"},
                                {"tavohu4.ime", "planted module"},
                                {"tavo320.ime", "planted stub"},
                                {"tavodel.exe", "planted uninstaller"},
                                {"SETUPW64.EXE", "planted companion"},
                                {"imm.Dll", "planted library"},
                                {"skin.ini", "settings"}});
  fake.files.AddFile("c:\\tavohu\\" + std::string(archive::text::kDefaultSkin), skin);
  archive::UnpackDefaultSkin(s);
  EXPECT_EQ(File("bg.bmp"), "BMbg");
  EXPECT_EQ(File("skin.ini"), "settings");
  for (const char* planted : {"tavohu4.ime", "tavo320.ime", "tavodel.exe", "SETUPW64.EXE", "imm.Dll"}) {
    EXPECT_FALSE(Has(planted)) << planted;
  }
  EXPECT_TRUE(fake.dialogs.shown.empty());

  for (const char* name : {"a.bmp", "tavocyzk.tv1", "tvszsj43.tvh", "kelv1.jpg", "noext", "x.imex"}) {
    EXPECT_TRUE(archive::IsDataFileName(name)) << name;
  }
  for (const char* name : {"x.ime", "x.IME", "x.exe", "x.dll", "x.com", "x.bat", "x.cmd", "x.scr", "x.sys"}) {
    EXPECT_FALSE(archive::IsDataFileName(name)) << name;
  }
}

TEST_F(ArchiveReader, TruncatedArchivesWriteWhatIsWholeAndReportTheCutEntry) {
  std::string image = PackOrDie({{"a.txt", "alpha"}, {"b.txt", std::string(4000, 'b')}});
  EXPECT_FALSE(Unpack(image.substr(0, image.size() - 10)));
  EXPECT_EQ(File("a.txt"), "alpha");
  EXPECT_FALSE(Has("b.txt"));
  EXPECT_EQ(Messages(), std::vector<std::string>{UnpackFailedText("b.txt")});
  EXPECT_FALSE(Unpack(image.substr(0, 5)));
}

// An archive cut exactly after a whole entry: every entry there is written, yet the entries its
// header counts are not all there, so the unpack is not complete.
TEST_F(ArchiveReader, AnArchiveCutAtAnEntryBoundaryIsNotComplete) {
  std::string whole = PackOrDie({{"a.txt", "alpha"}, {"b.txt", "beta"}, {"c.txt", "gamma"}});
  std::string twoOfThree = whole.substr(0, whole.size() - (PackOrDie({{"c.txt", "gamma"}}).size() - 10));
  for (size_t cut : {twoOfThree.size(), size_t{10}}) {
    uint32_t written = 99, failed = 99;
    EXPECT_FALSE(archive::UnpackArchive(s, reinterpret_cast<const uint8_t*>(whole.data()), cut, Work(),
                                        s.WorkBuffer->Size(), &written, nullptr, &failed))
        << cut;
    EXPECT_EQ(written, cut == 10 ? 0u : 2u) << cut;
    EXPECT_EQ(failed, 0u) << cut;
  }
  EXPECT_EQ(File("b.txt"), "beta");
  EXPECT_FALSE(Has("c.txt"));
  EXPECT_TRUE(Unpack(whole));
}

TEST_F(ArchiveReader, ReadOnlyTargetsAreReplacedAndTargetsInUseMovedAside) {
  fake.files.AddFile("c:\\tavohu\\ro.txt", "old", platform::kAttrReadOnly);
  fake.files.AddFile("c:\\tavohu\\tavohu4.ime", "loaded");
  fake.files.LoadModule("c:\\tavohu\\tavohu4.ime");
  EXPECT_TRUE(Unpack(PackOrDie({{"ro.txt", "new"}, {"tavohu4.ime", "module"}})));
  EXPECT_EQ(File("ro.txt"), "new");
  EXPECT_EQ(File("tavohu4.ime"), "module");
  EXPECT_EQ(File("tavohu2.ime"), "loaded");
}

// A data file that cannot be deleted stays and its entry is reported; the sibling its aside name
// would hit is not touched.
TEST_F(ArchiveReader, ADataFileThatStaysIsNotMovedOntoASibling) {
  fake.files.AddFile("c:\\tavohu\\t1.tvh", "sibling");
  fake.files.AddFile("c:\\tavohu\\t2.tvh", "held");
  fake.files.HoldOpen("c:\\tavohu\\t2.tvh");
  EXPECT_FALSE(Unpack(PackOrDie({{"t2.tvh", "new"}})));
  EXPECT_EQ(File("t1.tvh"), "sibling");
  EXPECT_EQ(File("t2.tvh"), "held");
  EXPECT_EQ(Messages(), std::vector<std::string>{UnpackFailedText("t2.tvh")});
}

TEST_F(ArchiveReader, LoadArchiveEntryFindsExactNamesOnly) {
  SetPayload(PackOrDie({{"kelv1.bmp", "BMpicture"}, {"zero.bin", ""}}));
  uint8_t* data = archive::DataArea(Work());
  EXPECT_EQ(archive::LoadArchiveEntry(s, "kelv1.bmp"), 9u);
  EXPECT_EQ(std::memcmp(data, "BMpicture", 9), 0);
  EXPECT_EQ(archive::LoadArchiveEntry(s, "KELV1.BMP"), 0u);
  EXPECT_EQ(data[0], 0);
  EXPECT_EQ(data[1], 0);
  EXPECT_EQ(archive::LoadArchiveEntry(s, "zero.bin"), 0u);

  // Absent image or work buffer: nothing is read or written.
  s.PayloadImage.reset();
  EXPECT_EQ(archive::LoadArchiveEntry(s, "kelv1.bmp"), 0u);
  SetPayload(PackOrDie({{"kelv1.bmp", "BM"}}));
  s.WorkBuffer.reset();
  EXPECT_EQ(archive::LoadArchiveEntry(s, "kelv1.bmp"), 0u);
  archive::UnpackDefaultSkin(s);
  EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(ArchiveReader, DefaultSkinIsUnpackedFromItsFirst128KiB) {
  std::string skin = PackOrDie({{"skin.ini", std::string(4096, 's')}, {"bg.bmp", "BMbg"}});
  fake.files.AddFile("c:\\tavohu\\" + std::string(archive::text::kDefaultSkin), skin);
  s.BackupState = core::Backup::DataKept;
  archive::UnpackDefaultSkin(s);
  EXPECT_FALSE(Has("skin.ini"));
  s.BackupState = core::Backup::Made;
  archive::UnpackDefaultSkin(s);
  EXPECT_EQ(File("skin.ini"), std::string(4096, 's'));
  EXPECT_EQ(File("bg.bmp"), "BMbg");

  // A skin archive longer than 128 KiB: the entry that crosses the limit is cut off and reported.
  std::string incompressible = testing_support::RandomBytes(140000, 7);
  std::string big = PackOrDie({{"first.bmp", "BM1"}, {"huge.bmp", incompressible}});
  ASSERT_GT(big.size(), archive::kSkinLoadSize);
  fake.files.AddFile("c:\\tavohu\\" + std::string(archive::text::kDefaultSkin), big);
  archive::UnpackDefaultSkin(s);
  EXPECT_EQ(File("first.bmp"), "BM1");
  EXPECT_FALSE(Has("huge.bmp"));
  EXPECT_EQ(Messages(), std::vector<std::string>{UnpackFailedText("huge.bmp")});
}

TEST_F(ArchiveReader, MissingSkinIsSilent) {
  archive::UnpackDefaultSkin(s);
  EXPECT_TRUE(fake.dialogs.shown.empty());
  EXPECT_TRUE(fake.files.AllFiles().empty());
}

}  // namespace
