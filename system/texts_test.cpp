#include "system/texts.h"

#include <gtest/gtest.h>

#include "tests/support/encoding.h"

namespace {

using testing_support::Encode;

TEST(SystemTexts, AnsiBytesMatchTheirSpelling) {
  struct Case {
    const char* bytes;
    const char* spelling;
    const char* charset;
  };
  const Case cases[] = {
      {sys::text::kLayoutTextGbk, "Tavo输入平台  7.1", "GBK"},
      {sys::text::kLayoutTextBig5, "Tavo輸入平台  7.1", "BIG5"},
      {sys::text::kLayoutPrefixGbk, "Tavo输入平台", "GBK"},
      {sys::text::kLayoutPrefixBig5, "Tavo輸入平台", "BIG5"},
      {sys::text::kPreloadPrefixGbk, "Tavo输入", "GBK"},
      {sys::text::kAdminNeeded, "在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！", "GBK"},
      {sys::text::kCaptionTavoKelvo, "Tavo(Kelvo)", "GBK"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.bytes, Encode(c.spelling, c.charset)) << c.spelling;
}

}  // namespace
