#include "platform/utf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8, OfUtf16) {
  EXPECT_EQ(platform::Utf8(u"Tavo安装"), "Tavo安装");
  EXPECT_EQ(platform::Utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(platform::Utf8(std::u16string(1, static_cast<char16_t>(0xD800))), "\xEF\xBF\xBD");
  EXPECT_EQ(platform::Utf8(std::u16string{static_cast<char16_t>(0xDC00), u'a'}),
            "\xEF\xBF\xBD"
            "a");
}

}  // namespace
