#include "ui/drawing.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "tests/support/bitmap.h"

namespace {

using platform::Rgb;
using platform::fake::DrawCall;

using testing_support::Bmp;
using testing_support::PutU32;

std::span<const uint8_t> Bytes(const std::string& bytes) {
  return {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()};
}

class Drawing : public ::testing::Test {
 protected:
  platform::fake::FakePlatform fake;
  std::vector<DrawCall> Calls(DrawCall::Kind kind) {
    std::vector<DrawCall> calls;
    for (const auto& c : fake.windows.calls) {
      if (c.kind == kind) calls.push_back(c);
    }
    return calls;
  }
};

TEST_F(Drawing, RaisedAndSunkenFramePaths) {
  auto p = fake.windows.WindowPainter();
  ui::DrawRaisedFrame(*p, 40, 245, 140, 270);
  ui::DrawSunkenFrame(*p, 40, 245, 140, 270);
  auto lines = Calls(DrawCall::Line);
  ASSERT_EQ(lines.size(), 8u);
  const Rgb black{0, 0, 0}, white{255, 255, 255};
  struct Line {
    int x1, y1, x2, y2;
    Rgb pen;
  };
  const Line expected[] = {{40, 270, 140, 270, black}, {140, 270, 140, 245, black}, {140, 245, 40, 245, white},
                           {40, 245, 40, 270, white},  {40, 270, 140, 270, white},  {140, 270, 140, 245, white},
                           {140, 245, 40, 245, black}, {40, 245, 40, 270, black}};
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(lines[i].x1, expected[i].x1) << i;
    EXPECT_EQ(lines[i].y1, expected[i].y1) << i;
    EXPECT_EQ(lines[i].x2, expected[i].x2) << i;
    EXPECT_EQ(lines[i].y2, expected[i].y2) << i;
    EXPECT_EQ(lines[i].pen, expected[i].pen) << i;
  }
}

TEST_F(Drawing, ProgressBar) {
  ui::WindowLook look;
  look.BarBrush = fake.windows.CreateSolidBrush({255, 0, 0});
  struct Case {
    int done, total, right;
    bool red;
  };
  const Case cases[] = {{0, 64, 370, false}, {32, 64, 200, true}, {100, 64, 370, true}, {5, 0, 30, true}};
  for (const auto& c : cases) {
    fake.windows.calls.clear();
    auto p = fake.windows.WindowPainter();
    ui::DrawProgressBar(look, *p, c.done, c.total);
    auto rects = Calls(DrawCall::Rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(rects[0].x1, 30);
    EXPECT_EQ(rects[0].y1, 191);
    EXPECT_EQ(rects[0].x2, c.right) << c.done << "/" << c.total;
    EXPECT_EQ(rects[0].y2, 218);
    EXPECT_EQ(rects[0].brush, c.red ? look.BarBrush.Get() : platform::fake::kWhiteBrush);
  }
}

// Every primitive puts back the pens, brushes and fonts it selected: a context handed back with
// one of the window's objects still in it would keep that object from being deleted.
TEST_F(Drawing, PrimitivesPutBackWhatTheySelect) {
  ui::WindowLook look;
  look.NormalFont = fake.windows.MakeFont({22, 7, 134, "normal"});
  look.TitleFont = fake.windows.MakeFont({40, 20, 134, "title"});
  look.BarBrush = fake.windows.CreateSolidBrush({255, 0, 0});
  struct Case {
    const char* what;
    void (*draw)(const ui::WindowLook&, platform::Painter&);
  };
  const Case cases[] = {
      {"raised frame", [](const ui::WindowLook&, platform::Painter& p) { ui::DrawRaisedFrame(p, 40, 245, 140, 270); }},
      {"sunken frame", [](const ui::WindowLook&, platform::Painter& p) { ui::DrawSunkenFrame(p, 40, 245, 140, 270); }},
      {"empty bar", [](const ui::WindowLook& l, platform::Painter& p) { ui::DrawProgressBar(l, p, 0, 64); }},
      {"half a bar", [](const ui::WindowLook& l, platform::Painter& p) { ui::DrawProgressBar(l, p, 32, 64); }},
      {"common gradient", [](const ui::WindowLook&, platform::Painter& p) { ui::DrawCommonGradient(p); }},
      {"welcome gradient", [](const ui::WindowLook&, platform::Painter& p) { ui::DrawWelcomeGradient(p); }},
      {"title", [](const ui::WindowLook& l, platform::Painter& p) { ui::DrawShadowedTitle(l, p, u"Tavo"); }},
      {"buttons", [](const ui::WindowLook&, platform::Painter& p) { ui::DrawButtonFrames(p); }},
  };
  for (const auto& c : cases) {
    fake.windows.closedWithSelections = 0;
    fake.windows.calls.clear();
    {
      auto p = fake.windows.WindowPainter();
      c.draw(look, *p);
      // Drawn after the primitive: the context's own pen, brush and font are in force again.
      p->Rectangle(0, 0, 1, 1);
      p->TextA(0, 0, "after");
    }
    ASSERT_GE(fake.windows.calls.size(), 3u) << c.what;
    const DrawCall& rect = fake.windows.calls[fake.windows.calls.size() - 2];
    const DrawCall& text = fake.windows.calls.back();
    EXPECT_EQ(rect.pen, (Rgb{0, 0, 0})) << c.what;
    EXPECT_EQ(rect.brush, platform::fake::kWhiteBrush) << c.what;
    EXPECT_EQ(text.font, platform::fake::kSystemFont) << c.what;
    EXPECT_EQ(fake.windows.closedWithSelections, 0) << c.what;
  }
  EXPECT_EQ(fake.windows.deletedWhileSelected, 0);
  EXPECT_EQ(fake.windows.deletedTwice, 0);
}

TEST_F(Drawing, BitmapIsClippedAndStretched) {
  struct Case {
    const char* what;
    std::string bmp;
    bool drawn;
    int ws, hs;
  };
  std::string badOffset = Bmp(200, 100);
  PutU32(badOffset, 10, 0x7FFFFFFF);
  std::string shortPixels = Bmp(200, 100).substr(0, 1000);
  std::string notBmp = "XX" + Bmp(10, 10).substr(2);
  const Case cases[] = {
      {"small picture", Bmp(200, 100), true, 200, 100},
      {"the payload's 401 x 310", Bmp(401, 310), true, 400, 190},
      {"pixel offset outside", badOffset, false, 0, 0},
      {"pixels cut short", shortPixels, false, 0, 0},
      {"not a bitmap", notBmp, false, 0, 0},
  };
  for (const auto& c : cases) {
    fake.windows.calls.clear();
    auto p = fake.windows.WindowPainter();
    ui::DrawBitmap(Bytes(c.bmp), 400, 190, *p, 0, 0, 400, 190, 0, 0, 400, 190);
    auto bitmaps = Calls(DrawCall::Bitmap);
    ASSERT_EQ(bitmaps.size(), c.drawn ? 1u : 0u) << c.what;
    if (!c.drawn) continue;
    EXPECT_EQ(bitmaps[0].x2, 400) << c.what;
    EXPECT_EQ(bitmaps[0].y2, 190) << c.what;
    EXPECT_EQ(bitmaps[0].ws, c.ws) << c.what;
    EXPECT_EQ(bitmaps[0].hs, c.hs) << c.what;
  }
  fake.windows.calls.clear();
  auto p = fake.windows.WindowPainter();
  ui::DrawBitmap({}, 400, 190, *p, 0, 0, 400, 190, 0, 0, 400, 190);
  EXPECT_TRUE(fake.windows.calls.empty());
}

}  // namespace
