#include "archive/texts.h"

#include <gtest/gtest.h>

#include "tests/support/encoding.h"

namespace {

using testing_support::Encode;

// Every ANSI text of the archive code against its Unicode spelling, in code page 936.
TEST(ArchiveTexts, GbkBytesMatchTheirSpelling) {
  const std::pair<const char*, const char*> texts[] = {
      {archive::text::kUnpackFailedBefore, "没有成功解压复制"},
      {archive::text::kUnpackFailedAfter, "文件！请重新下载安装。"},
      {archive::text::kCaptionInstall, "Tavo安装"},
      {archive::text::kDefaultSkin, "冷色瓷面.tvz"},
  };
  for (auto [bytes, spelling] : texts) EXPECT_EQ(bytes, Encode(spelling, "GBK")) << spelling;
}

}  // namespace
