#include "platform/fake/fake_registry.h"

#include <gtest/gtest.h>

#include "platform/constants.h"

namespace {

using platform::RegKey;
using platform::RegRoot;
using platform::fake::FakeRegistry;

TEST(FakeRegistry, SubKeysAreCreatedThroughAReadHandleAndValuesKeepTheirBytes) {
  FakeRegistry reg;
  std::unique_ptr<RegKey> software, product;
  ASSERT_EQ(reg.OpenKey(RegRoot::LocalMachine, "SOFTWARE", platform::kKeyRead, &software), 0);
  ASSERT_EQ(software->CreateSubKey("tavowb", platform::kKeyAllAccess, &product), 0);
  EXPECT_EQ(software->SetValue("x", platform::kRegSz, "y"), platform::kErrorAccessDenied);
  EXPECT_EQ(product->SetValue("path", platform::kRegSz, "d:\\t\\"), 0);
  EXPECT_EQ(product->SetValueW(u"Name", platform::kRegSz, platform::Utf16Bytes(u"Kelvo")), 0);

  EXPECT_EQ(reg.Value("HKLM\\Software\\tavowb", "PATH").data, "d:\\t\\");
  auto wide = reg.Value("HKLM\\Software\\tavowb", "name");
  EXPECT_TRUE(wide.wide);
  EXPECT_EQ(wide.data, std::string("K\0e\0l\0v\0o\0", 10));

  // Windows stores the NUL the program left out of the text, and reads it back.
  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(product->QueryValue("path", 5, &type, &data), platform::kErrorMoreData);
  EXPECT_EQ(type, platform::kRegSz);
  EXPECT_EQ(product->QueryValue("path", 6, &type, &data), 0);
  EXPECT_EQ(data, std::string("d:\\t\\\0", 6));
  EXPECT_EQ(product->QueryValue("none", 6, &type, &data), platform::kErrorFileNotFound);
  EXPECT_EQ(type, platform::kRegNone);
}

TEST(FakeRegistry, A64BitMachineShowsThisProgramThe32BitViewOfHklmSoftware) {
  FakeRegistry reg;
  reg.SetWow64(true);
  std::unique_ptr<RegKey> software, product, key;
  ASSERT_EQ(reg.OpenKey(RegRoot::LocalMachine, "Software", platform::kKeyRead, &software), 0);
  ASSERT_EQ(software->CreateSubKey("tavowb", platform::kKeyAllAccess, &product), 0);
  EXPECT_EQ(product->SetValue("path", platform::kRegSz, "d:\\"), 0);
  // Set-up and inspection paths are in the same 32-bit view; the log names the key as written.
  EXPECT_TRUE(reg.HasValue("HKLM\\Software\\tavowb", "path"));
  EXPECT_TRUE(reg.HasValue("HKLM\\Software\\Wow6432Node\\tavowb", "path"));
  EXPECT_EQ(reg.Writes().back().path, "HKLM\\Software\\tavowb");
  EXPECT_EQ(
      reg.OpenKey(RegRoot::LocalMachine, "Software\\tavowb", platform::kKeyRead | platform::kKeyWow64_64Key, &key),
      platform::kErrorFileNotFound);
  EXPECT_EQ(reg.OpenKey(RegRoot::LocalMachine, "Software\\Wow6432Node\\tavowb",
                        platform::kKeyRead | platform::kKeyWow64_64Key, &key),
            0);
  // Both views have the standard keys; HKLM\System is shared.
  EXPECT_EQ(reg.OpenKey(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run",
                        platform::kKeyRead | platform::kKeyWow64_64Key, &key),
            0);
  EXPECT_EQ(
      reg.OpenKey(RegRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", platform::kKeyRead, &key),
      0);
  EXPECT_EQ(reg.OpenKey(RegRoot::LocalMachine, "System\\CurrentControlSet\\Control\\Keyboard Layouts",
                        platform::kKeyRead | platform::kKeyWow64_64Key, &key),
            0);
  // A view flag asks for no right: the key stays read-only.
  ASSERT_EQ(
      reg.OpenKey(RegRoot::LocalMachine, "Software\\tavowb", platform::kKeyRead | platform::kKeyWow64_32Key, &key), 0);
  EXPECT_EQ(key->SetValue("x", platform::kRegSz, "y"), platform::kErrorAccessDenied);
}

TEST(FakeRegistry, ARootWithoutWriteRightsRefusesFullAccessAndCreation) {
  FakeRegistry reg;
  reg.SetValue("HKLM\\Software\\tavowb", "path", platform::kRegSz, "d:\\");
  reg.DenyWrites(RegRoot::LocalMachine);
  std::unique_ptr<RegKey> key;
  EXPECT_EQ(reg.OpenKey(RegRoot::LocalMachine, "Software\\tavowb", platform::kKeyAllAccess, &key),
            platform::kErrorAccessDenied);
  ASSERT_EQ(reg.OpenKey(RegRoot::LocalMachine, "Software", platform::kKeyRead, &key), 0);
  std::unique_ptr<RegKey> sub;
  EXPECT_EQ(key->CreateSubKey("new", platform::kKeyAllAccess, &sub), platform::kErrorAccessDenied);
  EXPECT_EQ(reg.OpenKey(RegRoot::CurrentUser, "Keyboard Layout\\Preload", platform::kKeyAllAccess, &key), 0);
}

TEST(FakeRegistry, EnumerationIsSortedAndKeysWithChildrenAreNotDeleted) {
  FakeRegistry reg;
  reg.AddKey("HKLM\\K\\e0210804");
  reg.AddKey("HKLM\\K\\00000804\\child");
  std::unique_ptr<RegKey> key;
  ASSERT_EQ(reg.OpenKey(RegRoot::LocalMachine, "K", platform::kKeyRead, &key), 0);
  uint32_t count = 0;
  EXPECT_EQ(key->CountSubKeys(&count), 0);
  EXPECT_EQ(count, 2u);
  std::string name;
  EXPECT_EQ(key->EnumSubKey(0, 200, &name), 0);
  EXPECT_EQ(name, "00000804");
  EXPECT_EQ(key->EnumSubKey(1, 8, &name), platform::kErrorMoreData);
  EXPECT_EQ(key->EnumSubKey(2, 200, &name), platform::kErrorNoMoreItems);
  EXPECT_EQ(key->DeleteSubKey("00000804"), platform::kErrorAccessDenied);
  EXPECT_EQ(key->DeleteSubKey("E0210804"), 0);
  EXPECT_FALSE(reg.HasKey("HKLM\\K\\e0210804"));
}

// A copy is a registry of its own with the original's keys, values, views and denials.
TEST(FakeRegistry, ACopyIsARegistryOfItsOwn) {
  FakeRegistry original;
  original.SetWow64(true);
  original.SetValue("HKLM\\Software\\Wow6432Node\\tavowb", "path", platform::kRegSz, "c:\\tavohu\\");
  original.DenyWrites(RegRoot::CurrentUser);

  FakeRegistry copy(original);
  std::unique_ptr<RegKey> product, user;
  ASSERT_EQ(copy.OpenKey(RegRoot::LocalMachine, "Software\\tavowb", platform::kKeyAllAccess, &product), 0);
  EXPECT_EQ(product->SetValue("path", platform::kRegSz, "d:\\x\\"), 0);
  EXPECT_EQ(copy.Value("HKLM\\Software\\Wow6432Node\\tavowb", "path").data.substr(0, 6), "d:\\x\\");
  EXPECT_EQ(original.Value("HKLM\\Software\\Wow6432Node\\tavowb", "path").data.substr(0, 10), "c:\\tavohu\\");
  std::unique_ptr<RegKey> software;
  ASSERT_EQ(copy.OpenKey(RegRoot::CurrentUser, "Software", platform::kKeyRead, &software), 0);
  EXPECT_NE(software->CreateSubKey("tavo", platform::kKeyAllAccess, &user), 0);
}

}  // namespace
