#include "platform/fake/fake_window.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

using platform::Rgb;
using platform::StockObject;
using platform::fake::DrawCall;
using platform::fake::FakeWindows;

TEST(FakeWindows, PaintersRecordEachCallWithTheStateInForce) {
  FakeWindows windows;
  auto painter = windows.WindowPainter();
  EXPECT_EQ(windows.openPainters, 1);
  platform::GdiHandle pen = 0;
  {
    platform::GdiObject owned = painter->CreateSolidPen({1, 2, 3});
    pen = owned.Get();
    platform::ScopedSelect selected(*painter, owned);
    painter->MoveTo(0, 5);
    painter->LineTo(400, 5);
  }
  platform::GdiObject font = windows.MakeFont({22, 7, 134, "font"});
  {
    platform::ScopedSelect selectedFont(*painter, font);
    painter->SetTransparentBackground();
    painter->SetTextColour({255, 255, 255});
    painter->TextW(10, 20, u"text");
    platform::ScopedSelect whitePen(*painter, painter->Stock(StockObject::WhitePen));
    painter->Rectangle(30, 191, 370, 218);
  }
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
  EXPECT_EQ(text.font, font.Get());
  EXPECT_EQ(text.textColour, (Rgb{255, 255, 255}));
  EXPECT_TRUE(text.transparent);
  EXPECT_EQ(windows.calls[2].pen, (Rgb{255, 255, 255}));
  EXPECT_EQ(windows.calls[2].brush, platform::fake::kWhiteBrush);
  EXPECT_TRUE(windows.objects.at(pen).deleted);
  EXPECT_FALSE(windows.objects.at(font.Get()).deleted);
}

// Nested selections unwind in reverse order to the context's own font, and a selection that
// failed (an object already deleted) leaves the one in force alone and puts nothing back.
TEST(FakeWindows, ScopedSelectionsPutBackWhatTheyReplaced) {
  FakeWindows windows;
  platform::GdiObject outer = windows.MakeFont({22, 7, 134, "outer"});
  platform::GdiObject inner = windows.MakeFont({40, 20, 134, "inner"});
  platform::GdiObject gone = windows.MakeFont({10, 5, 134, "gone"});
  platform::GdiHandle goneHandle = gone.Get();
  gone.Reset();
  auto painter = windows.WindowPainter();
  {
    platform::ScopedSelect first(*painter, outer);
    EXPECT_EQ(first.Replaced(), platform::fake::kSystemFont);
    painter->TextA(0, 0, "outer");
    {
      platform::ScopedSelect second(*painter, inner);
      EXPECT_EQ(second.Replaced(), outer.Get());
      painter->TextA(0, 0, "inner");
      platform::ScopedSelect failed(*painter, goneHandle);
      EXPECT_EQ(failed.Replaced(), 0u);
      painter->TextA(0, 0, "still inner");
    }
    painter->TextA(0, 0, "outer again");
  }
  painter->TextA(0, 0, "own");
  painter.reset();
  const std::pair<const char*, platform::GdiHandle> expected[] = {
      {"outer", outer.Get()},
      {"inner", inner.Get()},
      {"still inner", inner.Get()},
      {"outer again", outer.Get()},
      {"own", platform::fake::kSystemFont},
  };
  ASSERT_EQ(windows.calls.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(windows.calls[i].text, expected[i].first);
    EXPECT_EQ(windows.calls[i].font, expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(windows.closedWithSelections, 0);
}

// The faults GDI keeps quiet about are counted, and owners moved around delete their object once.
TEST(FakeWindows, GdiFaultsAreCountedAndOwnersDeleteOnce) {
  struct Case {
    const char* what;
    void (*run)(FakeWindows&, platform::fake::FakePainter&, platform::GdiObject& font);
    int closedWithSelections, deletedWhileSelected, deletedTwice;
    bool fontDeleted;
  };
  const Case cases[] = {
      {"selection undone",
       [](FakeWindows&, platform::fake::FakePainter& p, platform::GdiObject& font) {
         platform::ScopedSelect selected(p, font);
       },
       0, 0, 0, false},
      {"selection left in place",
       [](FakeWindows&, platform::fake::FakePainter& p, platform::GdiObject& font) { p.Select(font.Get()); }, 1, 0, 0,
       false},
      {"deleted while selected",
       [](FakeWindows&, platform::fake::FakePainter& p, platform::GdiObject& font) {
         p.Select(font.Get());
         font.Reset();
       },
       1, 1, 0, false},
      {"deleted after its selection",
       [](FakeWindows&, platform::fake::FakePainter& p, platform::GdiObject& font) {
         { platform::ScopedSelect selected(p, font); }
         font.Reset();
       },
       0, 0, 0, true},
      {"deleted by hand, then by its owner",
       [](FakeWindows& w, platform::fake::FakePainter&, platform::GdiObject& font) {
         w.DeleteObject(font.Get());
         font.Reset();
       },
       0, 0, 1, true},
      {"moved twice, then let go",
       [](FakeWindows&, platform::fake::FakePainter&, platform::GdiObject& font) {
         platform::GdiObject second = std::move(font);
         platform::GdiObject third;
         third = std::move(second);
         EXPECT_FALSE(font.IsValid());
         EXPECT_FALSE(second.IsValid());
       },
       0, 0, 0, true},
      {"assigned over",
       [](FakeWindows& w, platform::fake::FakePainter&, platform::GdiObject& font) {
         font = w.CreateSolidBrush({255, 0, 0});
       },
       0, 0, 0, true},
  };
  for (const auto& c : cases) {
    FakeWindows windows;
    platform::GdiObject font = windows.MakeFont({22, 7, 134, "font"});
    platform::GdiHandle handle = font.Get();
    {
      std::unique_ptr<platform::Painter> painter = windows.WindowPainter();
      c.run(windows, static_cast<platform::fake::FakePainter&>(*painter), font);
    }
    EXPECT_EQ(windows.closedWithSelections, c.closedWithSelections) << c.what;
    EXPECT_EQ(windows.deletedWhileSelected, c.deletedWhileSelected) << c.what;
    EXPECT_EQ(windows.deletedTwice, c.deletedTwice) << c.what;
    EXPECT_EQ(windows.objects.at(handle).deleted, c.fontDeleted) << c.what;
  }
}

// A creation that failed gives an empty owner, which deletes nothing.
TEST(FakeWindows, AnEmptyOwnerDeletesNothing) {
  FakeWindows windows;
  platform::GdiObject font = windows.MakeFont({22, 7, 134, "font"});
  { platform::GdiObject none(windows, 0); }
  platform::GdiObject empty;
  empty.Reset();
  EXPECT_FALSE(empty.IsValid());
  EXPECT_FALSE(windows.objects.at(font.Get()).deleted);
  EXPECT_EQ(windows.deletedTwice, 0);
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
  void OnKey(platform::Key key, bool) override { keys.push_back(key); }
  void OnClose() override { ++closes; }
  void OnDestroy() override {}
  platform::AccessiblePage Accessible() override {
    platform::AccessiblePage page;
    page.parts.resize(2);
    page.parts[1].name = u"press";
    return page;
  }
  void OnDefaultAction(size_t index, const std::u16string& name) override {
    actions.push_back(std::to_string(index) + ":" + std::string(name.begin(), name.end()));
  }
  int focusMessages = 0;
  std::vector<std::string> actions;
  std::vector<platform::Key> keys;
  int closes = 0;

 private:
  FakeWindows& windows_;
  platform::WindowId field_;
};

// A created setup window whose WM_SETFOCUS handling passes the focus on to focusTarget.
struct CreatedWindow {
  explicit CreatedWindow(platform::WindowId focusTarget) : handler(windows, focusTarget) {
    windows.RegisterWindowClass("installWClass", "tavohu", "install", &handler);
    ok = windows.CreateMain("installWClass", u"title", 0, 0, 400, 310);
  }
  FakeWindows windows;
  FocusHandler handler;
  bool ok = false;
};

TEST(FakeWindows, DisablingDropsActivationAndFocusUntilTheWindowIsActivatedAgain) {
  CreatedWindow created(1);
  ASSERT_TRUE(created.ok);
  FakeWindows& windows = created.windows;
  FocusHandler& handler = created.handler;
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

// Keys go where the focus is: to the handler from the window and from each of its fields, even a
// hidden one, but not from a destroyed field, from elsewhere, or into a disabled window.
TEST(FakeWindows, KeysReachTheHandlerFromTheFocusOnly) {
  struct Case {
    const char* what;
    void (*arrange)(FakeWindows&, platform::WindowId field);
    bool delivered;
  };
  const Case cases[] = {
      {"window", [](FakeWindows& w, platform::WindowId) { w.SetFocus(0); }, true},
      {"shown field", [](FakeWindows& w, platform::WindowId f) { w.Show(f, 1), w.SetFocus(f); }, true},
      {"hidden field", [](FakeWindows& w, platform::WindowId f) { w.SetFocus(f); }, true},
      {"destroyed field", [](FakeWindows& w, platform::WindowId f) { w.SetFocus(f), w.Destroy(f); }, false},
      {"elsewhere", [](FakeWindows& w, platform::WindowId) { w.SetFocus(platform::kNoWindow); }, false},
      {"disabled", [](FakeWindows& w, platform::WindowId) { w.Enable(false), w.SetFocus(0); }, false},
  };
  for (const auto& c : cases) {
    CreatedWindow created(0);
    ASSERT_TRUE(created.ok);
    FakeWindows& windows = created.windows;
    FocusHandler& handler = created.handler;
    platform::WindowId field = windows.CreateEdit(120, 195, 230, 20, " ");
    c.arrange(windows, field);
    EXPECT_EQ(windows.PressKey(platform::Key::Tab, true), c.delivered) << c.what;
    EXPECT_EQ(handler.keys.size(), c.delivered ? 1u : 0u) << c.what;
  }
}

TEST(FakeWindows, HidingTheFocusedFieldHandsTheFocusToTheWindow) {
  CreatedWindow c(0);
  ASSERT_TRUE(c.ok);
  platform::WindowId first = c.windows.CreateEdit(130, 165, 230, 20, " ");
  platform::WindowId second = c.windows.CreateEdit(130, 195, 230, 20, " ");
  for (platform::WindowId field : {first, second}) c.windows.Show(field, 1);
  c.windows.SetFocus(first);
  c.windows.Show(second, 0);  // not the focus: nothing moves
  EXPECT_EQ(c.windows.focus, first);
  EXPECT_EQ(c.handler.focusMessages, 0);
  c.windows.Show(first, 0);
  EXPECT_EQ(c.windows.focus, 0);
  EXPECT_EQ(c.handler.focusMessages, 1);
  c.windows.Close();
  EXPECT_EQ(c.handler.closes, 1);
}

}  // namespace

// A reader's default action reaches the handler with the part it named; a name the page does not
// have reaches nothing.
TEST(FakeWindows, ADefaultActionReachesTheHandlerByThePartsName) {
  CreatedWindow created(0);
  EXPECT_TRUE(created.windows.DefaultAction(u"press"));
  EXPECT_FALSE(created.windows.DefaultAction(u"other"));
  EXPECT_EQ(created.handler.actions, (std::vector<std::string>{"1:press"}));
}
