#include "system/registry_text.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"

namespace {

TEST(RegistryText, ReadsUpToTheNulWithinTheBuffer) {
  struct Case {
    const char* what;
    bool stored;
    uint32_t type;
    std::string bytes;
    uint32_t bufferBytes;
    long result;
    std::string text;  // what the read leaves: "untouched" when it fails
  };
  const Case cases[] = {
      {"text and its NUL", true, platform::kRegSz, std::string("00000804\0", 9), 10, platform::kErrorSuccess,
       "00000804"},
      {"bytes after the NUL are not the text", true, platform::kRegSz, std::string("ab\0cd\0", 6), 10,
       platform::kErrorSuccess, "ab"},
      {"fills the buffer without a NUL", true, platform::kRegSz, "123456789", 9, platform::kErrorSuccess,
       "123456789"},
      {"one byte more than the buffer", true, platform::kRegSz, std::string("123456789\0", 10), 9,
       platform::kErrorMoreData, "untouched"},
      {"not there", false, platform::kRegSz, "", 10, platform::kErrorFileNotFound, "untouched"},
      {"another type read as bytes", true, platform::kRegBinary, std::string("e021\0x", 6), 10,
       platform::kErrorSuccess, "e021"},
      {"empty", true, platform::kRegSz, std::string(1, '\0'), 10, platform::kErrorSuccess, ""},
  };
  for (const auto& c : cases) {
    platform::fake::FakePlatform machine;
    machine.registry.SetValue("HKCU\\Keyboard Layout\\Preload", "2", platform::kRegSz, "00000409");
    if (c.stored) machine.registry.SetValue("HKCU\\Keyboard Layout\\Preload", "1", c.type, c.bytes);
    std::unique_ptr<platform::RegKey> key;
    ASSERT_EQ(machine.registry.OpenKey(platform::RegRoot::CurrentUser, "keyboard layout\\preload", platform::kKeyRead,
                                       &key),
              platform::kErrorSuccess);
    std::string text = "untouched";
    EXPECT_EQ(sys::ReadRegistryText(*key, "1", c.bufferBytes, &text), c.result) << c.what;
    EXPECT_EQ(text, c.text) << c.what;
  }
}

}  // namespace
