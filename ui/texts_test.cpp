#include "ui/texts.h"

#include <gtest/gtest.h>

#include "tests/support/encoding.h"

namespace {

using testing_support::Encode;
using testing_support::Utf8;

TEST(UiTexts, AnsiBytesMatchTheirSpelling) {
  struct Case {
    const char* bytes;
    const char* spelling;
    const char* charset;
  };
  const Case cases[] = {
      {ui::text::kHoverConfirmInstall, "确 定 安 装", "GBK"},
      {ui::text::kHoverConfirmExit, "确 定 退 出", "GBK"},
      {ui::text::kHoverAbandon, "放 弃 退 出", "GBK"},
      {ui::text::kHoverConfirmBig5, "確 定 安 裝", "BIG5"},
      {ui::text::kHoverAbandonBig5, "放 棄 退 出", "BIG5"},
      {ui::text::kLoadingNote, "安装程序正在载入文件，请等待……", "GBK"},
      {ui::text::kLoadingNoteBig5, "安裝程序正在載入文件，請等待……", "BIG5"},
      {ui::text::kFontSong, "宋体", "GBK"},
      {ui::text::kFontKai, "楷体", "GBK"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.bytes, Encode(c.spelling, c.charset)) << c.spelling;
}

TEST(UiTexts, WideTextsMatchTheirSpelling) {
  const std::pair<const char16_t*, const char*> texts[] = {
      {ui::text::kTitle32, "Tavo系统安装32"},
      {ui::text::kTitle64, "Tavo系统安装3264"},
      {ui::text::kBadPath, "Tavo不能安装在你设定的路径下，请重新设定路径！"},
      {ui::text::kDoneRestartNow, "安装完毕，请立即重新启动计算机！"},
      {ui::text::kDone, "安装完毕，如不能使用，请重新启动计算机！"},
      {ui::text::kAddressTitle, "Tavo输入平台  系统安装"},
      {ui::text::kDirectoryHeading, "Kelvo 7.1 版  系统安装"},
      {ui::text::kProcessingTitle, "Tavo7.1版安装"},
      {ui::text::kProcessingHeading, "Tavo正在处理有关数据……"},
      {ui::text::kTryOutTitle, "欢迎使用Tavo系统"},
      {ui::text::kTryOutHeading, "欢迎使用Tavo输入系统"},
      {ui::text::kTryOutLine1, "Tavo已经安装在你的系统中!"},
      {ui::text::kTryOutLine2, "请在下面的框中试着用Tavo系统输入你的姓名。"},
      {ui::text::kTryOutLine3, "请输入你的姓名："},
      {ui::text::kCaptionInstall, "Tavo安装"},
      {ui::text::kKeepDataQuestion, "检测到安装目录下有Tavo以前的词组等数据文件，是否保留？"},
      {ui::text::kSentenceLibraryQuestion, "是否立即增加智能语句库数据？"},
  };
  for (auto [text, spelling] : texts) EXPECT_EQ(Utf8(text), spelling);
}

}  // namespace
