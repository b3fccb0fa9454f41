#include "platform/fake/fake_window.h"

#include <gtest/gtest.h>

namespace {

using platform::Rgb;
using platform::StockObject;
using platform::fake::DrawCall;
using platform::fake::FakeWindows;

TEST(FakeWindows, PaintersRecordEachCallWithTheStateInForce) {
  FakeWindows windows;
  auto painter = windows.WindowPainter();
  EXPECT_EQ(windows.openPainters, 1);
  platform::GdiHandle pen = painter->CreateSolidPen({1, 2, 3});
  platform::GdiHandle previous = painter->Select(pen);
  painter->MoveTo(0, 5);
  painter->LineTo(400, 5);
  painter->Select(previous);
  painter->Delete(pen);
  platform::GdiHandle font = windows.MakeFont({22, 7, 134, "font"});
  painter->Select(font);
  painter->SetTransparentBackground();
  painter->SetTextColour({255, 255, 255});
  painter->TextW(10, 20, u"text");
  painter->Select(painter->Stock(StockObject::WhitePen));
  painter->Rectangle(30, 191, 370, 218);
  painter.reset();
  EXPECT_EQ(windows.openPainters, 0);

  ASSERT_EQ(windows.calls.size(), 3u);
  const DrawCall& line = windows.calls[0];
  EXPECT_EQ(line.kind, DrawCall::Line);
  EXPECT_EQ(line.pen, (Rgb{1, 2, 3}));
  EXPECT_EQ(line.x1, 0);
  EXPECT_EQ(line.x2, 400);
  EXPECT_FALSE(line.transparent);
  const DrawCall& text = windows.calls[1];
  EXPECT_EQ(text.textW, u"text");
  EXPECT_EQ(text.font, font);
  EXPECT_EQ(text.textColour, (Rgb{255, 255, 255}));
  EXPECT_TRUE(text.transparent);
  EXPECT_EQ(windows.calls[2].pen, (Rgb{255, 255, 255}));
  EXPECT_EQ(windows.calls[2].brush, platform::fake::kWhiteBrush);
  EXPECT_TRUE(windows.objects.at(pen).deleted);
  EXPECT_FALSE(windows.objects.at(font).deleted);
}

TEST(FakeWindows, EditFieldsKeepTextWithinTheBufferLimit) {
  FakeWindows windows;
  platform::WindowId edit = windows.CreateEdit(120, 195, 230, 20, " ");
  windows.SetText(edit, "d:\\tavohu");
  EXPECT_EQ(windows.GetText(edit, 198), "d:\\tavohu");
  EXPECT_EQ(windows.GetText(edit, 4), "d:\\");
  windows.Destroy(edit);
  EXPECT_EQ(windows.GetText(edit, 198), "");
}

}  // namespace
