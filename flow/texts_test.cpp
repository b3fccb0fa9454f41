#include "flow/texts.h"

#include <gtest/gtest.h>

#include "core/texts.h"
#include "platform/registry.h"
#include "system/texts.h"
#include "tests/support/encoding.h"
#include "ui/texts.h"

namespace {

using testing_support::Encode;
using testing_support::Utf8;

struct WideText {
  const char* name;
  const char16_t* text;
  const char* spelling;
};

// Every UTF-16 text against its spelling, so that a source saved in another encoding is caught.
TEST(Texts, WideTextsMatchTheirSpelling) {
  const WideText texts[] = {
      {"caption", flow::text::kCaptionTavo, "Tavo"},
      {"refusal", flow::text::kAdminRefusal,
       "本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。（运行方式为：用鼠标右键点击安装程序，"
       "在弹出菜单中点击“以管理员身份运行”）"},
      {"registered", flow::text::kRegisterSuccess, "Tavo已安装成功，如不能使用，请重新启动计算机！"},
      {"ime description", sys::text::kImeDescription, "Tavo输入平台  7.1"},
      {"install caption", flow::text::kCaptionInstall, "Tavo安装"},
      {"locked", flow::text::kOldImeLocked,
       "　　你以前安装的Kelvo正在使用，请关闭使用Kelvo的所有窗口，或者重新启动机器后，才能安装新版本的Kelvo！"},
      {"no payload", core::text::kNoPayload, "安装程序不完整或内存不足，无法安装。请重新下载安装程序。"},
  };
  for (const auto& t : texts) {
    EXPECT_EQ(Utf8(t.text), t.spelling) << t.name;
    // The bytes the W calls and the registry receive.
    EXPECT_EQ(platform::Utf16Bytes(t.text), Encode(t.spelling, "UTF-16LE")) << t.name;
  }
}

TEST(Texts, ReportTextsAreGbk) {
  const std::pair<const char*, const char*> texts[] = {
      {flow::text::kReportTitle, "Tavo汉字输入系统7.1版安装情况报告。"},
      {flow::text::kReportError, "安装出现错误！错误为："},
      {flow::text::kReasonPath, "检测不到安装路径！"},
      {flow::text::kReasonFiles, "文件不完整！"},
      {flow::text::kReasonWubi, "无五笔词库文件！"},
      {flow::text::kReasonPinyin, "无拼音词库文件！"},
      {flow::text::kReasonModule, "缺少文件！"},
      {flow::text::kAdviceBefore, "请到主页"},
      {flow::text::kAdviceAfter, "重新下载安装！并解除杀毒软件对安装过程的拦截！"},
  };
  for (auto [bytes, spelling] : texts) EXPECT_EQ(bytes, Encode(spelling, "GBK")) << spelling;
}

TEST(Texts, ImeDescriptionHasTwoBlanksBeforeTheVersion) {
  EXPECT_EQ(std::u16string(sys::text::kImeDescription).size(), 13u);
  EXPECT_EQ(std::u16string(sys::text::kImeDescription).substr(8, 2), u"  ");
}

}  // namespace
