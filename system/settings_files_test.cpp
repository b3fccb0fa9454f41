#include "system/settings_files.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace {

using platform::fake::FakePlatform;

const std::string kEmptyNetFile =
    "TVNETURL1=\r\nTVNETURL2=\r\nTVNETTIME=1\r\nTVBJTIME=7\r\nTVWYTIME=3\r\nTVSJOFF=0\r\nTVNETTIME0=0\r\n"
    "TVBJTIME0=0\r\nTVNEONE=1\r\n";

class SettingsFiles : public ::testing::Test {
 protected:
  SettingsFiles() {
    fake.files.AddDirectory("c:\\tavohu");
    s.InstallDir = "c:\\tavohu\\";
  }
  FakePlatform fake;
  core::SetupState s{fake.os()};
  // What the address fields receive: set to something else first, so that an empty answer shows.
  std::string unit = "typed", government = "typed";
};

TEST_F(SettingsFiles, WritesBothFilesByteForByte) {
  EXPECT_TRUE(sys::WriteSettingsFiles(s));
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\wbpybz.tvh"), std::string("TVWBPYBZ=0\0", 11));
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tvnetsj.dat"), kEmptyNetFile);
  EXPECT_EQ(kEmptyNetFile.size(), 110u);

  s.ServerAddress1 = "a.b.c";
  EXPECT_TRUE(sys::WriteSettingsFiles(s));
  std::string withAddress = fake.files.Contents("c:\\tavohu\\tvnetsj.dat");
  EXPECT_EQ(withAddress.size(), 115u);
  EXPECT_EQ(withAddress.substr(0, 40), "TVNETURL1=a.b.c\r\nTVNETURL2=\r\nTVNETTIME=1");
  EXPECT_TRUE(sys::WriteSettingsFiles(s));
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tvnetsj.dat"), withAddress);
}

TEST_F(SettingsFiles, FindKeyValueRules) {
  struct Case {
    std::string buffer;
    const char* key;
    std::string expected;
  };
  const Case cases[] = {
      {"TVNETURL1=www.a.cn www.b.cn\r\n", "TVNETURL1=", "www.a.cn"},
      {"TVNETURL2=www.gov.cn\r\n", "TVNETURL1=", ""},
      {"TVNETURL1=\r\nTVNETURL2=x\r\n", "TVNETURL1=", ""},
      {"xxTVNETURL1=mid\tline", "TVNETURL1=", "mid"},
      {"TVNETURL1=\xCD\xF8\xD5\xBE.cn\r\n", "TVNETURL1=", "\xCD\xF8\xD5\xBE.cn"},
      {"TVNETURL1=first\r\nTVNETURL1=second", "TVNETURL1=", "first"},
      {"TVNETURL1=" + std::string(300, 'w'), "TVNETURL1=", std::string(250, 'w')},
      {"TVNETURL1", "TVNETURL1=", ""},
      {"", "TVNETURL1=", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(sys::FindKeyValue(c.buffer.data(), c.buffer.size(), c.key), c.expected) << c.buffer;
  }
  // Only the given length is searched.
  std::string buffer = "TVNETURL1=abcdef";
  EXPECT_EQ(sys::FindKeyValue(buffer.data(), 13, "TVNETURL1="), "abc");
}

TEST_F(SettingsFiles, LoadServerAddressesHandsBackWhatWasStored) {
  fake.files.AddFile("c:\\tavohu\\tvnetsj.dat", "TVNETURL2=www.gov.cn\r\nTVNETTIME=1\r\n");
  s.ServerAddress1 = "stale";
  sys::LoadServerAddresses(s, &unit, &government);
  EXPECT_EQ(s.ServerAddress1, "");
  EXPECT_EQ(s.ServerAddress2, "www.gov.cn");
  EXPECT_EQ(unit, "");
  EXPECT_EQ(government, "www.gov.cn");
}

TEST_F(SettingsFiles, AMissingFileEmptiesTheFieldsOnly) {
  s.ServerAddress1 = "kept";
  sys::LoadServerAddresses(s, &unit, &government);
  EXPECT_EQ(unit, "");
  EXPECT_EQ(government, "");
  EXPECT_EQ(s.ServerAddress1, "kept");
}

TEST_F(SettingsFiles, OverlongAddressesAreCutToTheirFields) {
  std::string longAscii(150, 'a');
  std::string longGbk;
  for (int i = 0; i < 60; ++i) longGbk += "\xCD\xF8";  // 120 bytes of double-byte characters
  fake.files.AddFile("c:\\tavohu\\tvnetsj.dat", "TVNETURL1=" + longAscii + "\r\nTVNETURL2=xy" + longGbk + "\r\n");
  sys::LoadServerAddresses(s, &unit, &government);
  EXPECT_EQ(unit, std::string(99, 'a'));
  EXPECT_EQ(s.ServerAddress1, std::string(99, 'a'));
  EXPECT_EQ(s.ServerAddress2.size(), 98u);  // "xy" and 48 whole characters; no half character
  EXPECT_EQ(s.ServerAddress2.back(), '\xF8');
  EXPECT_TRUE(sys::WriteSettingsFiles(s));
  EXPECT_EQ(fake.files.Contents("c:\\tavohu\\tvnetsj.dat").substr(0, 111),
            "TVNETURL1=" + std::string(99, 'a') + "\r\n");
}

// An install directory c:\tavohu\ with the record's file, or without it.
class SettingsRecord : public ::testing::Test {
 protected:
  SettingsRecord() {
    fake.files.AddDirectory("c:\\tavohu");
    s.InstallDir = "c:\\tavohu\\";
  }
  std::string File(const std::string& name) const { return fake.files.Contents("c:\\tavohu\\" + name); }
  platform::fake::FakePlatform fake;
  core::SetupState s{fake.os()};
};

TEST_F(SettingsRecord, FitsTheRecordToTheSystemUnlessItIsTheUsers) {
  s.OemCodePage = 950;
  EXPECT_TRUE(sys::AdjustSettingsRecord(s));  // no file: the built-in record
  std::string record = File("tvszsj43.tvh");
  ASSERT_EQ(record.size(), 200u);
  EXPECT_EQ(record[8], 0x36);
  EXPECT_EQ(record[38], 1);
  EXPECT_EQ(record[58], 1);

  fake.files.AddFile("c:\\tavohu\\tvszsj43.tvh", std::string(200, '\x07'));
  s.OemCodePage = 936;
  EXPECT_TRUE(sys::AdjustSettingsRecord(s));
  record = File("tvszsj43.tvh");
  EXPECT_EQ(record.substr(60, 4), std::string("\x07\x07\0\0", 4));
  EXPECT_EQ(record[38], 7);

  s.BackupState = core::Backup::DataKept;
  fake.files.AddFile("c:\\tavohu\\tvszsj43.tvh", "kept");
  EXPECT_TRUE(sys::AdjustSettingsRecord(s));
  EXPECT_EQ(File("tvszsj43.tvh"), "kept");
}

}  // namespace
