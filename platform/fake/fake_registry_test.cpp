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

  uint32_t type = 0;
  std::string data;
  EXPECT_EQ(product->QueryValue("path", 4, &type, &data), platform::kErrorMoreData);
  EXPECT_EQ(product->QueryValue("path", 5, &type, &data), 0);
  EXPECT_EQ(data, "d:\\t\\");
  EXPECT_EQ(product->QueryValue("none", 6, &type, &data), platform::kErrorFileNotFound);
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

}  // namespace
