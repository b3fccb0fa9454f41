#include "app/texts.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "system/texts.h"
#include "tests/support/encoding.h"

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
      {"caption", app::text::kCaptionTavo, "Tavo"},
      {"refusal", app::text::kAdminRefusal,
       "本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。（运行方式为：用鼠标右键点击安装程序，"
       "在弹出菜单中点击“以管理员身份运行”）"},
      {"registered", app::text::kRegisterSuccess, "Tavo已安装成功，如不能使用，请重新启动计算机！"},
      {"ime description", sys::text::kImeDescription, "Tavo输入平台  7.1"},
  };
  for (const auto& t : texts) {
    EXPECT_EQ(Utf8(t.text), t.spelling) << t.name;
    // The bytes the W calls and the registry receive.
    EXPECT_EQ(platform::Utf16Bytes(t.text), Encode(t.spelling, "UTF-16LE")) << t.name;
  }
}

TEST(Texts, ImeDescriptionHasTwoBlanksBeforeTheVersion) {
  EXPECT_EQ(std::u16string(sys::text::kImeDescription).size(), 13u);
  EXPECT_EQ(std::u16string(sys::text::kImeDescription).substr(8, 2), u"  ");
}

}  // namespace
