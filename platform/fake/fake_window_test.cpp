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

// Records focus requests the way the setup window answers WM_SETFOCUS: on to one field.
class FocusHandler : public platform::WindowHandler {
 public:
  FocusHandler(FakeWindows& windows, platform::WindowId field) : windows_(windows), field_(field) {}
  void OnCreate() override {}
  void OnPaint(platform::Painter&) override {}
  void OnMouseMove(unsigned, unsigned) override {}
  void OnButtonDown(unsigned, unsigned, uintptr_t, intptr_t) override {}
  void OnTimer(uintptr_t) override {}
  void OnSetFocus() override {
    ++focusMessages;
    windows_.SetFocus(field_);
  }
  void OnKey(platform::Key, bool) override {}
  void OnClose() override {}
  void OnDestroy() override {}
  int focusMessages = 0;

 private:
  FakeWindows& windows_;
  platform::WindowId field_;
};

TEST(FakeWindows, DisablingDropsActivationAndFocusUntilTheWindowIsActivatedAgain) {
  FakeWindows windows;
  FocusHandler handler(windows, 1);
  windows.RegisterWindowClass("installWClass", "tavohu", "install", &handler);
  ASSERT_TRUE(windows.CreateMain("installWClass", u"title", 0, 0, 400, 310));
  platform::WindowId field = windows.CreateEdit(120, 195, 230, 20, " ");
  EXPECT_FALSE(windows.active);
  windows.Show(0, 1);
  EXPECT_TRUE(windows.active);
  EXPECT_EQ(handler.focusMessages, 1);  // the shown window is activated and passes the focus on
  EXPECT_EQ(windows.focus, field);

  windows.Enable(false);
  EXPECT_FALSE(windows.active);
  EXPECT_EQ(windows.focus, -1);
  windows.Activate();  // a disabled window cannot be activated
  EXPECT_FALSE(windows.active);
  windows.Enable(true);
  EXPECT_FALSE(windows.active);
  EXPECT_EQ(windows.focus, -1);

  windows.Activate();
  EXPECT_TRUE(windows.active);
  EXPECT_EQ(handler.focusMessages, 2);
  EXPECT_EQ(windows.focus, field);
  windows.Show(0, 0);
  EXPECT_FALSE(windows.active);
}

}  // namespace
