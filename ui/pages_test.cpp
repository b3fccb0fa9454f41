#include "ui/pages.h"

#include <gtest/gtest.h>

#include "core/setup_state.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"
#include "ui/texts.h"

namespace {

using platform::Rgb;
using platform::fake::DrawCall;

class Pages : public ::testing::Test {
 protected:
  platform::fake::FakePlatform fake;
  core::SetupState s{fake.os()};

  Pages() {
    look.NormalFont = fake.windows.MakeFont({22, 7, 134, ui::text::kFontSong});
    look.TitleFont = fake.windows.MakeFont({40, 20, 134, ui::text::kFontKai});
  }
  using Painter = void (*)(core::SetupState&, ui::WindowLook&, platform::Painter&);
  void Paint(Painter painter) {
    fake.windows.calls.clear();
    auto p = fake.windows.WindowPainter();
    painter(s, look, *p);
  }
  std::vector<DrawCall> Lines() {
    std::vector<DrawCall> lines;
    for (const auto& c : fake.windows.calls) {
      if (c.kind == DrawCall::Line && c.x1 == 0 && c.x2 == 400 && c.y1 == c.y2) lines.push_back(c);
    }
    return lines;
  }
  // The text calls as "A|W x,y r,g,b font text".
  std::vector<std::string> Texts() {
    std::vector<std::string> texts;
    for (const auto& c : fake.windows.calls) {
      if (c.kind != DrawCall::TextA && c.kind != DrawCall::TextW) continue;
      std::string font = c.font == look.NormalFont.Get()  ? "normal"
                         : c.font == look.TitleFont.Get() ? "title"
                                                          : "initial";
      std::string text = c.kind == DrawCall::TextA ? c.text : testing_support::Utf8(c.textW);
      texts.push_back(std::string(c.kind == DrawCall::TextA ? "A " : "W ") + std::to_string(c.x1) + "," +
                      std::to_string(c.y1) + " " + std::to_string(c.textColour.r) + "," +
                      std::to_string(c.textColour.g) + "," + std::to_string(c.textColour.b) + " " + font + " " + text);
    }
    return texts;
  }

  ui::WindowLook look;
};

TEST_F(Pages, Gradients) {
  Paint(ui::PaintWelcomePage);
  auto lines = Lines();
  ASSERT_EQ(lines.size(), 310u);
  EXPECT_EQ(lines[0].pen, (Rgb{0, 144, 250}));
  EXPECT_EQ(lines[55].pen, (Rgb{0, 254, 226}));
  EXPECT_EQ(lines[56].pen, (Rgb{0, 0, 225}));
  EXPECT_EQ(lines[309].pen, (Rgb{0, 250, 111}));
  for (auto painter : {ui::PaintAddressPage, ui::PaintDirectoryPage, ui::PaintProcessingPage, ui::PaintTryOutPage}) {
    Paint(painter);
    lines = Lines();
    ASSERT_EQ(lines.size(), 310u);
    EXPECT_EQ(lines[0].pen, (Rgb{0, 0, 250}));
    EXPECT_EQ(lines[309].pen, (Rgb{149, 254, 101}));
  }
  // Every pen made for a line is deleted again.
  for (const auto& [handle, object] : fake.windows.objects) {
    if (object.kind == platform::fake::FakeWindows::GdiObject::Pen) {
      EXPECT_TRUE(object.deleted);
    }
  }
}

// Each page puts back every pen and font it selected before the context is handed back, and
// deletes its pens only once they are out of the context.
TEST_F(Pages, EveryPageHandsTheContextBackAsItFoundIt) {
  const std::pair<const char*, Painter> painters[] = {
      {"welcome", ui::PaintWelcomePage},       {"address", ui::PaintAddressPage}, {"directory", ui::PaintDirectoryPage},
      {"processing", ui::PaintProcessingPage}, {"try-out", ui::PaintTryOutPage},
  };
  for (const auto& [name, painter] : painters) {
    Paint(painter);
    EXPECT_EQ(fake.windows.openPainters, 0) << name;
    EXPECT_EQ(fake.windows.closedWithSelections, 0) << name;
    EXPECT_EQ(fake.windows.deletedWhileSelected, 0) << name;
    EXPECT_EQ(fake.windows.deletedTwice, 0) << name;
  }
  for (const auto& [handle, object] : fake.windows.objects) {
    EXPECT_EQ(object.deleted, object.kind == platform::fake::FakeWindows::GdiObject::Pen) << handle;
  }
}

TEST_F(Pages, WelcomePageTexts) {
  Paint(ui::PaintWelcomePage);
  std::vector<std::string> expected = {
      "A 50,150 0,0,0 initial " + std::string(ui::text::kLoadingNote),
      "W 10,165 255,255,255 normal 您尝试过Tavo语句提示输入吗？",
      "W 50,195 255,255,255 normal Tavo语句将给你带来新的输入体验……",
      "W 220,100 0,0,192 normal 7.1 版",
      "W 45,247 255,128,128 normal 确 定 安 装",
      "W 265,247 255,128,128 normal 放 弃 退 出",
  };
  EXPECT_EQ(Texts(), expected);
  EXPECT_FALSE(fake.windows.calls.front().transparent);
  EXPECT_EQ(look.SavedInitialFont, platform::fake::kSystemFont);
  s.OemCodePage = 950;
  Paint(ui::PaintWelcomePage);
  EXPECT_EQ(Texts()[0], "A 50,150 0,0,0 initial " + std::string(ui::text::kLoadingNoteBig5));
}

TEST_F(Pages, AddressPageTexts) {
  Paint(ui::PaintWelcomePage);
  Paint(ui::PaintAddressPage);
  std::vector<std::string> expected = {
      "W 30,10 0,0,0 normal Tavo输入平台  系统安装",
      "W 39,19 255,255,255 normal Tavo输入平台  系统安装",
      "W 250,19 33,205,173 normal Kelvo专版",
      "W 20,70 255,255,255 initial 请输入你所在单位网站和你所在地政府网站的网址，",
      "W 20,90 255,255,255 initial Tavo就可每天自动从这两个网站上下载相关文章，",
      "W 20,110 255,255,255 initial 组建或增加系统文章库，以方便你的快速输入。",
      "W 35,166 255,255,255 normal 所在单位网址：",
      "W 35,196 255,255,255 normal 当地政府网址：",
      "W 45,247 255,128,128 normal 确 定 安 装",
      "W 265,247 255,128,128 normal 放 弃 退 出",
  };
  EXPECT_EQ(Texts(), expected);
}

TEST_F(Pages, DirectoryProcessingAndTryOutPages) {
  Paint(ui::PaintDirectoryPage);
  auto texts = Texts();
  ASSERT_EQ(texts.size(), 5u + 5u + 3u + 2u);
  EXPECT_EQ(texts[0], "W 30,20 0,0,0 title Tavo输入平台");
  EXPECT_EQ(texts[4], "W 41,31 255,255,255 title Tavo输入平台");
  EXPECT_EQ(texts[5], "W 100,80 0,0,0 normal Kelvo 7.1 版  系统安装");
  EXPECT_EQ(texts[9], "W 111,91 255,255,255 normal Kelvo 7.1 版  系统安装");
  EXPECT_EQ(texts[12], "W 35,196 255,255,255 normal 安装路径：");

  Paint(ui::PaintProcessingPage);
  texts = Texts();
  ASSERT_EQ(texts.size(), 11u);
  EXPECT_EQ(texts[0], "W 30,20 0,0,0 title Tavo7.1版安装");
  EXPECT_EQ(texts[9], "W 91,91 255,187,187 normal Tavo正在处理有关数据……");
  EXPECT_EQ(texts[10], "W 92,91 255,187,187 normal Tavo正在处理有关数据……");
  for (const auto& c : fake.windows.calls) EXPECT_NE(c.kind, DrawCall::Rectangle);

  Paint(ui::PaintTryOutPage);
  texts = Texts();
  ASSERT_EQ(texts.size(), 5u + 5u + 3u + 2u);
  EXPECT_EQ(texts[5], "W 88,88 128,128,128 normal 欢迎使用Tavo输入系统");  // no black copy
  EXPECT_EQ(texts[10], "W 50,130 255,255,255 normal Tavo已经安装在你的系统中!");
  EXPECT_EQ(texts[12], "W 10,190 255,255,255 normal 请输入你的姓名：");
  EXPECT_EQ(texts[13], "W 45,247 255,128,128 normal 确 定 退 出");
}

// Only the loading note goes through the ANSI call, and it has its own Big5 form; every other
// page text is wide, so a Big5 system reads the same characters as a GBK one.
TEST_F(Pages, OnlyTheLoadingNoteIsDrawnAsAnsiText) {
  const std::pair<Painter, size_t> painters[] = {
      {ui::PaintWelcomePage, 1},    {ui::PaintAddressPage, 0}, {ui::PaintDirectoryPage, 0},
      {ui::PaintProcessingPage, 0}, {ui::PaintTryOutPage, 0},
  };
  for (uint32_t codePage : {936u, 950u}) {
    s.OemCodePage = codePage;
    for (size_t i = 0; i < std::size(painters); ++i) {
      Paint(painters[i].first);
      size_t ansi = 0;
      for (const auto& c : fake.windows.calls) ansi += c.kind == DrawCall::TextA;
      EXPECT_EQ(ansi, painters[i].second) << "painter " << i << ", code page " << codePage;
    }
  }
}

// Each page paints its own page; the directory page with its field shown is still the directory
// page, since nothing has been installed yet.
TEST_F(Pages, EachPagePaintsItsOwnPage) {
  const char* welcome = "您尝试过Tavo语句提示输入吗？";
  const char* address = "所在单位网址：";
  const char* directory = "安装路径：";
  const char* processing = "Tavo正在处理有关数据……";
  const char* tryOut = "请输入你的姓名：";
  const std::pair<ui::Page, const char*> cases[] = {
      {ui::Page::Welcome, welcome},          {ui::Page::Address, address},       {ui::Page::Directory, directory},
      {ui::Page::DirectoryField, directory}, {ui::Page::Processing, processing}, {ui::Page::TryOut, tryOut},
      {ui::Page::TryOutConfirmed, tryOut},
  };
  for (auto [page, marker] : cases) {
    fake.windows.calls.clear();
    auto p = fake.windows.WindowPainter();
    ui::PaintPage(page, s, look, *p);
    bool found = false;
    for (const auto& c : fake.windows.calls) {
      found |= c.kind == DrawCall::TextW && testing_support::Utf8(c.textW) == marker;
    }
    EXPECT_TRUE(found) << "page " << static_cast<int>(page) << " lacks " << marker;
  }
}

TEST_F(Pages, WelcomePageWithoutItsPictureShowsTheLoadingNote) {
  Paint(ui::PaintWelcomePage);
  for (const auto& c : fake.windows.calls) EXPECT_NE(c.kind, DrawCall::Bitmap);
  const std::string notABitmap = "BM not really a bitmap";
  look.WelcomePicture = {reinterpret_cast<const uint8_t*>(notABitmap.data()), notABitmap.size()};
  Paint(ui::PaintWelcomePage);
  for (const auto& c : fake.windows.calls) EXPECT_NE(c.kind, DrawCall::Bitmap);
}

}  // namespace
