#include "ui/accessible_page.h"

#include <gtest/gtest.h>

#include <set>

#include "core/setup_state.h"
#include "platform/accessible_parts.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"
#include "ui/layout.h"
#include "ui/texts.h"

namespace {

using platform::AccessibleRole;
using testing_support::Utf8;

constexpr ui::PageFieldIds kFields = {1, 2, 3};

// A part as the tests spell it: its role and name.
std::string Spelt(const platform::AccessiblePart& part) {
  const char* role = part.role == AccessibleRole::PushButton  ? "button "
                     : part.role == AccessibleRole::EditField ? "field "
                                                              : "text ";
  return role + Utf8(part.name);
}

std::vector<std::string> Spelt(const platform::AccessiblePage& page) {
  std::vector<std::string> parts;
  for (const auto& part : page.parts) parts.push_back(Spelt(part));
  return parts;
}

// Each page read in the order the eye reads it: its heading, its texts, its fields by what they
// ask for, the button Enter presses, the other one.
TEST(AccessiblePage, EachPageReadsInOrder) {
  struct Case {
    ui::Page page;
    bool is64;
    const char* name;
    std::vector<std::string> parts;
  };
  const Case cases[] = {
      {ui::Page::Welcome,
       false,
       "Tavo系统安装32",
       {"text 您尝试过Tavo语句提示输入吗？", "text Tavo语句将给你带来新的输入体验……", "text 7.1 版",
        "button 确 定 安 装", "button 放 弃 退 出"}},
      {ui::Page::Welcome,
       true,
       "Tavo系统安装3264",
       {"text 您尝试过Tavo语句提示输入吗？", "text Tavo语句将给你带来新的输入体验……", "text 7.1 版",
        "button 确 定 安 装", "button 放 弃 退 出"}},
      {ui::Page::Address,
       false,
       "Tavo输入平台  系统安装",
       {"text Tavo输入平台  系统安装", "text Kelvo专版", "text 请输入你所在单位网站和你所在地政府网站的网址，",
        "text Tavo就可每天自动从这两个网站上下载相关文章，", "text 组建或增加系统文章库，以方便你的快速输入。",
        "field 所在单位网址：", "field 当地政府网址：", "button 确 定 安 装", "button 放 弃 退 出"}},
      {ui::Page::Directory,
       false,
       "Kelvo 7.1 版  系统安装",
       {"text Tavo输入平台", "text Kelvo 7.1 版  系统安装", "text 本版本适用于：WINDOWS NT、WIN2000、",
        "text WINDOWS XP、VISTA及WIN7中文系统。", "button 确 定 安 装", "button 放 弃 退 出"}},
      {ui::Page::DirectoryField,
       false,
       "Kelvo 7.1 版  系统安装",
       {"text Tavo输入平台", "text Kelvo 7.1 版  系统安装", "text 本版本适用于：WINDOWS NT、WIN2000、",
        "text WINDOWS XP、VISTA及WIN7中文系统。", "field 安装路径：", "button 确 定 安 装", "button 放 弃 退 出"}},
      {ui::Page::Processing,
       true,
       "Tavo正在处理有关数据……",
       {"text Tavo7.1版安装", "text Tavo正在处理有关数据……", "field 安装路径："}},
      {ui::Page::TryOut,
       true,
       "欢迎使用Tavo输入系统",
       {"text 欢迎使用Tavo系统", "text 欢迎使用Tavo输入系统", "text Tavo已经安装在你的系统中!",
        "text 请在下面的框中试着用Tavo系统输入你的姓名。", "field 请输入你的姓名：", "button 确 定 退 出",
        "button 放 弃 退 出"}},
      {ui::Page::TryOutConfirmed,
       true,
       "欢迎使用Tavo输入系统",
       {"text 欢迎使用Tavo系统", "text 欢迎使用Tavo输入系统", "text Tavo已经安装在你的系统中!",
        "text 请在下面的框中试着用Tavo系统输入你的姓名。", "field 请输入你的姓名：", "button 确 定 退 出",
        "button 放 弃 退 出"}},
  };
  for (const Case& c : cases) {
    const platform::AccessiblePage page = ui::AccessiblePageOf(c.page, c.is64, false, kFields);
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Utf8(page.name), c.name);
    EXPECT_EQ(Spelt(page), c.parts);
    // The page's texts, read out when it is announced.
    std::u16string description;
    for (const auto& part : page.parts) {
      if (part.role == AccessibleRole::StaticText) description += (description.empty() ? u"" : u" ") + part.name;
    }
    EXPECT_EQ(page.description, description);
    for (const auto& part : page.parts) {
      EXPECT_FALSE(part.unavailable) << Spelt(part);
      EXPECT_EQ(part.isDefault, Spelt(part).starts_with("button 确")) << Spelt(part);
    }
    EXPECT_EQ(platform::DefaultPartOf(page).has_value(), c.page != ui::Page::Processing);
  }
}

// Each field part is the window of the field the page shows; the buttons lie where they are
// drawn and clicked.
TEST(AccessiblePage, PartsLieWhereThePageHasThem) {
  struct Expected {
    ui::Page page;
    std::vector<platform::WindowId> fields;
  };
  const Expected cases[] = {
      {ui::Page::Welcome, {}},
      {ui::Page::Address, {kFields.unit, kFields.government}},
      {ui::Page::Directory, {}},
      {ui::Page::DirectoryField, {kFields.directory}},
      {ui::Page::Processing, {kFields.directory}},
      {ui::Page::TryOut, {kFields.directory}},
  };
  for (const Expected& c : cases) {
    const platform::AccessiblePage page = ui::AccessiblePageOf(c.page, true, false, kFields);
    std::vector<platform::WindowId> fields;
    for (const auto& part : page.parts) {
      ui::Rect box = {part.left, part.top, part.right, part.bottom};
      EXPECT_LT(box.left, box.right);
      EXPECT_LT(box.top, box.bottom);
      EXPECT_LE(box.right, ui::kWindowWidth);
      EXPECT_LE(box.bottom, ui::kWindowHeight);
      if (part.role == AccessibleRole::EditField) {
        fields.push_back(part.field);
        const ui::Rect expected = part.field == kFields.unit         ? ui::kUnitFieldBox
                                  : part.field == kFields.government ? ui::kGovernmentFieldBox
                                                                     : ui::kDirectoryFieldBox;
        EXPECT_EQ(std::tie(box.left, box.top, box.right, box.bottom),
                  std::tie(expected.left, expected.top, expected.right, expected.bottom));
      } else if (part.role == AccessibleRole::PushButton) {
        const ui::Rect expected = part.isDefault ? ui::kConfirmButton : ui::kAbandonButton;
        EXPECT_EQ(std::tie(box.left, box.top, box.right, box.bottom),
                  std::tie(expected.left, expected.top, expected.right, expected.bottom));
      }
    }
    EXPECT_EQ(fields, c.fields) << static_cast<int>(c.page);
  }
  // A field the window does not have is not read out.
  const platform::AccessiblePage without = ui::AccessiblePageOf(ui::Page::Address, false, false, {1, 0, 0});
  for (const auto& part : without.parts) EXPECT_NE(part.role, AccessibleRole::EditField);
}

// What a reader reads is what the page paints: every text and caption of the tree is drawn on
// its page, and the window's heading is its title or a text of the page.
TEST(AccessiblePage, TheTreeReadsWhatThePagePaints) {
  platform::fake::FakePlatform fake;
  core::SetupState s{fake.os()};
  ui::WindowLook look;
  look.NormalFont = fake.windows.MakeFont({22, 7, 134, ui::text::kFontSong});
  look.TitleFont = fake.windows.MakeFont({40, 20, 134, ui::text::kFontKai});
  for (ui::Page shown : {ui::Page::Welcome, ui::Page::Address, ui::Page::Directory, ui::Page::DirectoryField,
                         ui::Page::Processing, ui::Page::TryOut}) {
    fake.windows.calls.clear();
    {
      auto p = fake.windows.WindowPainter();
      ui::PaintPage(shown, s, look, *p);
    }
    std::set<std::u16string> drawn;
    for (const auto& call : fake.windows.calls) drawn.insert(call.textW);
    const platform::AccessiblePage page = ui::AccessiblePageOf(shown, false, false, kFields);
    for (const auto& part : page.parts) {
      if (part.role == AccessibleRole::EditField) {
        // A field's name is its label: drawn beside it, or (on the address page) in its row.
        if (part.field != kFields.directory || shown != ui::Page::Processing) {
          EXPECT_TRUE(drawn.count(part.name)) << Spelt(part);
        }
        continue;
      }
      EXPECT_TRUE(drawn.count(part.name)) << Spelt(part) << " is not drawn on page " << static_cast<int>(shown);
    }
    EXPECT_TRUE(drawn.count(page.name) || page.name == ui::text::kTitle32) << Utf8(page.name);
  }
}

// While the install runs the window shows the directory page with its bar: a reader hears the
// processing page's name, and its buttons do nothing.
TEST(AccessiblePage, WhileTheInstallRunsTheButtonsAreUnavailable) {
  for (ui::Page page : {ui::Page::Processing, ui::Page::DirectoryField}) {
    const platform::AccessiblePage installing = ui::AccessiblePageOf(page, false, true, kFields);
    EXPECT_EQ(installing.name, ui::text::kProcessingHeading);
    int buttons = 0;
    for (const auto& part : installing.parts) {
      if (part.role != AccessibleRole::PushButton) continue;
      ++buttons;
      EXPECT_TRUE(part.unavailable) << Spelt(part);
    }
    EXPECT_EQ(buttons, 2);
  }
}

}  // namespace
