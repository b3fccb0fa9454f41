#include "ui/setup_window.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <tuple>
#include <vector>

#include "core/install_location.h"
#include "core/system_facts.h"
#include "core/texts.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/bitmap.h"
#include "ui/texts.h"

namespace {

using platform::Key;
using platform::fake::DrawCall;
using platform::fake::FakePlatform;

// The install flow as the window sees it: every call noted in order, with the answers the test
// sets. A failing check reports, as the real one does, in a box of its own before it answers.
class RecordingSteps : public ui::SetupSteps {
 public:
  explicit RecordingSteps(core::SetupState& s) : s_(s) {}

  bool OpenPayload() override {
    calls.push_back("open payload");
    if (payloadOpens) s_.WorkBuffer = s_.os.resources.AllocZeroed(16);
    return payloadOpens;
  }
  void LoadServerAddresses(std::string* unit, std::string* government) override {
    calls.push_back("load addresses");
    *unit = storedUnit;
    *government = storedGovernment;
  }
  // With the addresses the files would be written with.
  void WriteSettingsFiles() override {
    calls.push_back("write settings files " + s_.ServerAddress1 + " " + s_.ServerAddress2);
  }
  core::InstallReport Install(const std::string& directory, core::InstallObserver& observer) override {
    calls.push_back("install " + directory);
    if (duringInstall) duringInstall(observer);
    return report;
  }
  bool VerifyInstallation() override {
    calls.push_back("verify");
    if (!checkPasses) s_.os.dialogs.MessageW(u"the check's report", u"Tavo7.1", platform::kMbOk);
    return checkPasses;
  }
  void ActivateImeLayout() override { calls.push_back("activate layout"); }
  std::span<const uint8_t> LoadPicture(const std::string& name) override {
    calls.push_back("load picture " + name);
    return {reinterpret_cast<const uint8_t*>(picture.data()), picture.size()};
  }

  bool payloadOpens = true;
  std::string storedUnit, storedGovernment;
  core::InstallReport report;
  bool checkPasses = true;
  std::string picture;
  // What happens while the install runs: the user's clicks, the install's questions and progress.
  std::function<void(core::InstallObserver&)> duringInstall;

  std::vector<std::string> calls;

 private:
  core::SetupState& s_;
};

// A Windows 7 machine with fixed drives c: and d:, and the window up on its welcome page.
struct WindowMachine {
  // `before` sets the machine and the steps' answers before the window is created.
  explicit WindowMachine(bool is64 = false, const std::function<void(WindowMachine&)>& before = {}) {
    fake.SetWindows(6, is64);
    fake.files.SetDriveType('d', platform::kDriveFixed);
    core::FindSystemFacts(s);
    core::ReadInstallPath(s);  // d:\tavohu\, as the start-up reads it once
    if (before) before(*this);
    window.RegisterSetupClass();
    created = window.CreateSetupWindow(platform::kSwShowNormal);
  }
  void Click(unsigned x, unsigned y) { window.OnButtonDown(x, y, 1, static_cast<intptr_t>((y << 16) | x)); }
  void Confirm() { Click(60, 255); }
  void Abandon() { Click(300, 255); }
  bool Press(Key key, bool shift = false) { return fake.windows.PressKey(key, shift); }
  // Typing goes to the field with the focus.
  void Type(const std::string& text) { fake.windows.SetText(fake.windows.focus, text); }
  std::string Field(platform::WindowId id) { return fake.windows.edits[id].text; }
  // The directories the install was asked to install into.
  std::vector<std::string> Installs() const {
    std::vector<std::string> directories;
    for (const auto& call : steps.calls) {
      if (call.starts_with("install ")) directories.push_back(call.substr(8));
    }
    return directories;
  }
  std::vector<std::u16string> Boxes() const {
    std::vector<std::u16string> texts;
    for (const auto& box : fake.dialogs.shown) texts.push_back(box.textW);
    return texts;
  }

  FakePlatform fake;
  core::SetupState s{fake.os()};
  RecordingSteps steps{s};
  ui::SetupWindow window{s, steps};
  bool created = false;
};

// From the welcome page to the directory page with its field shown.
void WalkToDirectoryField(WindowMachine& b) {
  for (int i = 0; i < 3; ++i) b.Confirm();
}
void ReachProcessingPage(WindowMachine& b) {
  WalkToDirectoryField(b);
  b.Confirm();  // installs
}

// The pages of the 64-bit road, each reached by clicks.
struct PageWay {
  const char* name;
  ui::Page page;
  void (*reach)(WindowMachine&);
};
const PageWay kPages[] = {
    {"welcome", ui::Page::Welcome, [](WindowMachine&) {}},
    {"address", ui::Page::Address, [](WindowMachine& b) { b.Confirm(); }},
    {"directory", ui::Page::Directory,
     [](WindowMachine& b) {
       b.Confirm();
       b.Confirm();
     }},
    {"directory field", ui::Page::DirectoryField, WalkToDirectoryField},
    {"processing", ui::Page::Processing, ReachProcessingPage},
    {"try-out", ui::Page::TryOut,
     [](WindowMachine& b) {
       ReachProcessingPage(b);
       b.window.OnTimer(2);
     }},
    {"try-out confirmed", ui::Page::TryOutConfirmed,
     [](WindowMachine& b) {
       ReachProcessingPage(b);
       b.window.OnTimer(2);
       b.Confirm();
     }},
};

// `page` on a bench of 64-bit Windows (on 32-bit the install is the end of the road).
void Reach(WindowMachine& b, ui::Page page) {
  for (const auto& way : kPages) {
    if (way.page == page) way.reach(b);
  }
}

// What the window asks of the steps as it opens: the payload, then the welcome page's picture.
const char* const kOpened[] = {"open payload", "load picture kelv1.bmp"};

TEST(SetupWindow, HitTestingIncludesTheEdges) {
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 140, 270));
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 40, 245));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 141, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 39, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 60, 271));
  EXPECT_TRUE(ui::HitTest(ui::kAbandonButton, 360, 270));
}

// The window is centred across and placed down as if it were 300 high; its fields exist from the
// start, hidden; the welcome page is painted at once, with the picture the steps give.
TEST(SetupWindow, CreationSetsUpTheWindowAndItsResources) {
  struct Case {
    bool is64;
    int screenWidth, screenHeight;
    std::u16string title;
    int x, y;
  };
  const Case cases[] = {
      {false, 1024, 768, u"Tavo系统安装32", 312, 234},
      {true, 1024, 768, u"Tavo系统安装3264", 312, 234},
      {false, 800, 600, u"Tavo系统安装32", 200, 150},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.is64 << " " << c.screenWidth);
    WindowMachine b(c.is64, [&](WindowMachine& m) {
      m.fake.system.screenWidth = c.screenWidth;
      m.fake.system.screenHeight = c.screenHeight;
    });
    ASSERT_TRUE(b.created);
    auto& w = b.fake.windows;
    EXPECT_EQ(w.className, "installWClass");
    EXPECT_EQ(w.iconName, "tavohu");
    EXPECT_EQ(w.menuName, "install");
    EXPECT_EQ(w.title, c.title);
    EXPECT_EQ(w.x, c.x);
    EXPECT_EQ(w.y, c.y);
    EXPECT_EQ(w.width, 400);
    EXPECT_EQ(w.height, 310);
    ASSERT_EQ(w.edits.size(), 3u);
    const std::pair<platform::WindowId, std::tuple<int, int, int, int>> fields[] = {
        {b.window.DirectoryField(), {120, 195, 230, 20}},
        {b.window.GovernmentField(), {130, 195, 230, 20}},
        {b.window.UnitField(), {130, 165, 230, 20}},
    };
    for (const auto& [id, box] : fields) {
      const auto& edit = w.edits[id];
      EXPECT_EQ(std::make_tuple(edit.x, edit.y, edit.width, edit.height), box) << id;
      EXPECT_EQ(edit.text, " ") << id;
      EXPECT_FALSE(edit.visible) << id;
    }
    const auto& normal = w.objects[b.window.Look().NormalFont.Get()].font;
    EXPECT_EQ(std::make_tuple(normal.height, normal.width, normal.charset, normal.face),
              std::make_tuple(22, 7, uint8_t{134}, std::string(ui::text::kFontSong)));
    const auto& title = w.objects[b.window.Look().TitleFont.Get()].font;
    EXPECT_EQ(std::make_tuple(title.height, title.width, title.charset, title.face),
              std::make_tuple(40, 20, uint8_t{134}, std::string(ui::text::kFontKai)));
    EXPECT_EQ(w.objects[b.window.Look().BarBrush.Get()].colour, (platform::Rgb{255, 0, 0}));
    EXPECT_EQ(w.shows, (std::vector<std::pair<platform::WindowId, int>>{{0, platform::kSwShowNormal}}));
    EXPECT_EQ(w.updates, 1);  // the welcome page painted at once
    EXPECT_TRUE(w.active);
    EXPECT_EQ(w.focus, 0);
    EXPECT_EQ(b.steps.calls, std::vector<std::string>(std::begin(kOpened), std::end(kOpened)));
  }
}

// Without the payload the window says so and goes before its first page is painted or its fields
// exist; a class or window that cannot be had ends the road without a word.
TEST(SetupWindow, AWindowThatCannotComeUpEndsTheRoad) {
  struct Case {
    const char* what;
    bool payloadOpens, registerFails, createFails;
    std::vector<std::string> calls;
    std::vector<std::u16string> boxes;
    int quitCode;
  };
  const Case cases[] = {
      {"no payload", false, false, false, {"open payload"}, {core::text::kNoPayload}, 0},
      {"no class", true, true, false, {}, {}, -1},
      {"no window", true, false, true, {}, {}, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakePlatform fake;
    fake.windows.registerFails = c.registerFails;
    fake.windows.createFails = c.createFails;
    core::SetupState s(fake.os());
    RecordingSteps steps(s);
    steps.payloadOpens = c.payloadOpens;
    EXPECT_EQ(ui::RunSetupWindow(s, steps, platform::kSwShow), 0);
    EXPECT_EQ(steps.calls, c.calls);
    EXPECT_EQ(fake.windows.updates, 0);
    EXPECT_TRUE(fake.windows.calls.empty());
    EXPECT_TRUE(fake.windows.edits.empty());
    EXPECT_FALSE(fake.windows.created);
    EXPECT_EQ(fake.windows.quitCode, c.quitCode);
    std::vector<std::u16string> boxes;
    for (const auto& box : fake.dialogs.shown) {
      boxes.push_back(box.textW);
      EXPECT_EQ(box.captionW, u"Tavo");
      EXPECT_EQ(box.type, platform::kMbOk);
    }
    EXPECT_EQ(boxes, c.boxes);
  }
}

// The steps unpack the picture afresh for each paint of the welcome page, and for no other page.
TEST(SetupWindow, TheWelcomePageShowsThePictureTheStepsGive) {
  for (bool withPicture : {true, false}) {
    SCOPED_TRACE(withPicture);
    WindowMachine b(false, [&](WindowMachine& m) {
      if (withPicture) m.steps.picture = testing_support::Bmp(2, 2);
    });
    auto bitmaps = [&] {
      return std::count_if(b.fake.windows.calls.begin(), b.fake.windows.calls.end(),
                           [](const DrawCall& c) { return c.kind == DrawCall::Bitmap; });
    };
    EXPECT_EQ(bitmaps(), withPicture ? 1 : 0);
    b.fake.windows.Paint();
    EXPECT_EQ(bitmaps(), withPicture ? 2 : 0);
    b.Confirm();
    b.fake.windows.Paint();
    EXPECT_EQ(bitmaps(), withPicture ? 2 : 0);
    EXPECT_EQ(std::count(b.steps.calls.begin(), b.steps.calls.end(), "load picture kelv1.bmp"), 2);
  }
}

// Up to the install the road is the same on 32-bit and 64-bit Windows: the stored addresses in
// the address page's fields, the settings files written with the confirmed ones when that page is
// left and its fields gone, the directory the start-up read proposed, and the typed one installed.
TEST(SetupWindow, ThePagesUpToTheInstall) {
  for (bool is64 : {false, true}) {
    SCOPED_TRACE(is64);
    WindowMachine b(is64, [](WindowMachine& m) {
      m.steps.storedUnit = "www.unit.cn";
      m.steps.storedGovernment = "www.gov.cn";
    });
    auto& w = b.fake.windows;
    b.Confirm();
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::Address);
    EXPECT_EQ(b.Field(b.window.UnitField()), "www.unit.cn");
    EXPECT_EQ(b.Field(b.window.GovernmentField()), "www.gov.cn");
    EXPECT_TRUE(w.edits[b.window.UnitField()].visible && w.edits[b.window.GovernmentField()].visible);
    EXPECT_EQ(b.steps.calls.back(), "load addresses");
    platform::WindowId unit = b.window.UnitField(), government = b.window.GovernmentField();
    b.Type("a.b.c");
    b.Confirm();
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::Directory);
    EXPECT_EQ(b.s.ServerAddress1, "a.b.c");
    EXPECT_EQ(b.s.ServerAddress2, "www.gov.cn");
    EXPECT_EQ(b.steps.calls.back(), "write settings files a.b.c www.gov.cn");
    EXPECT_TRUE(w.edits[unit].destroyed && w.edits[government].destroyed);
    EXPECT_EQ(b.window.UnitField(), 0);
    EXPECT_EQ(b.window.GovernmentField(), 0);
    EXPECT_FALSE(w.edits[b.window.DirectoryField()].destroyed);
    b.Confirm();
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::DirectoryField);
    EXPECT_EQ(b.Field(b.window.DirectoryField()), "d:\\tavohu\\");
    EXPECT_TRUE(w.edits[b.window.DirectoryField()].visible);
    b.Type("e:\\tavo");
    b.Confirm();
    std::vector<std::string> expected(std::begin(kOpened), std::end(kOpened));
    expected.insert(expected.end(), {"load addresses", "write settings files a.b.c www.gov.cn", "install e:\\tavo"});
    if (!is64) expected.push_back("verify");  // no try-out page: the check follows at once
    EXPECT_EQ(b.steps.calls, expected);
    EXPECT_EQ(b.s.InstallDir, "e:\\tavo");
    EXPECT_TRUE(w.enabled);
  }
}

// On 32-bit Windows the check and the completion message follow the install at once, and the
// window goes, giving back what it holds.
TEST(SetupWindow, On32BitWindowsTheWindowClosesAfterTheInstall) {
  WindowMachine b;
  auto& w = b.fake.windows;
  ASSERT_TRUE(b.s.WorkBuffer);
  std::vector<platform::GdiHandle> owned = {b.window.Look().NormalFont.Get(), b.window.Look().TitleFont.Get(),
                                            b.window.Look().BarBrush.Get()};
  ReachProcessingPage(b);
  EXPECT_EQ(b.steps.calls.back(), "verify");
  EXPECT_EQ(b.Boxes(), std::vector<std::u16string>{ui::text::kDone});
  EXPECT_EQ(w.destroyPosts, 1);
  EXPECT_TRUE(w.timers.empty());
  EXPECT_EQ(w.RunMessageLoop(), 0);
  EXPECT_FALSE(b.s.WorkBuffer);
  for (platform::GdiHandle object : owned) EXPECT_TRUE(w.objects[object].deleted) << object;
}

// On 64-bit Windows the processing page stays until the timer brings the try-out page, which makes
// the IME the layout to type with; its confirmation is the last but one click.
TEST(SetupWindow, On64BitWindowsTheTryOutPageFollowsTheTimer) {
  WindowMachine b(true);
  auto& w = b.fake.windows;
  ReachProcessingPage(b);
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Processing);
  EXPECT_EQ(w.timers, (std::map<uintptr_t, uint32_t>{{2, 1600}}));
  const size_t installed = b.steps.calls.size();
  int invalidations = w.invalidations;
  b.Confirm();  // a repaint only
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Processing);
  EXPECT_EQ(w.invalidations, invalidations + 1);
  w.Paint();  // the processing page: no layout yet
  EXPECT_EQ(b.steps.calls.size(), installed);
  b.window.OnTimer(2);
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::TryOut);
  EXPECT_TRUE(w.timers.empty());
  EXPECT_EQ(b.Field(b.window.DirectoryField()), "");
  w.Paint();
  EXPECT_EQ(b.steps.calls.back(), "activate layout");
  b.Confirm();
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::TryOutConfirmed);
  w.Paint();
  EXPECT_EQ(std::count(b.steps.calls.begin(), b.steps.calls.end(), "activate layout"), 2);
  EXPECT_EQ(w.destroyPosts, 0);
  EXPECT_TRUE(b.fake.dialogs.shown.empty());
  b.Confirm();
  EXPECT_EQ(b.steps.calls.back(), "verify");
  EXPECT_EQ(w.destroyPosts, 1);
  EXPECT_EQ(b.Boxes(), std::vector<std::u16string>{ui::text::kDone});
}

// After a file or entry that could not be placed the install is not done, whatever the check
// finds; a failing check has said so in its own report.
TEST(SetupWindow, TheCompletionMessageNeedsAPassingCheckAndEverythingPlaced) {
  struct Case {
    const char* what;
    bool checkPasses;
    core::InstallReport report;
    bool done;
  };
  const Case cases[] = {
      {"all placed", true, {}, true},
      {"check fails", false, {}, false},
      {"unpack broke off", true, {core::InstallOutcome::Done, false, 0, 0}, false},
      {"a file not copied", true, {core::InstallOutcome::Done, true, 1, 0}, false},
      {"an entry not written", true, {core::InstallOutcome::Done, true, 0, 1}, false},
      {"a program not started", true, {core::InstallOutcome::Done, true, 0, 0, 1}, false},
  };
  for (bool is64 : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(testing::Message() << c.what << (is64 ? " on 64-bit" : " on 32-bit"));
      WindowMachine b(is64, [&](WindowMachine& m) {
        m.steps.checkPasses = c.checkPasses;
        m.steps.report = c.report;
      });
      Reach(b, is64 ? ui::Page::TryOutConfirmed : ui::Page::Processing);
      if (is64) b.Confirm();
      EXPECT_EQ(std::count(b.steps.calls.begin(), b.steps.calls.end(), "verify"), 1);
      EXPECT_EQ(b.fake.windows.destroyPosts, 1);
      std::vector<std::u16string> boxes;
      if (!c.checkPasses) boxes.push_back(u"the check's report");
      if (c.done) boxes.push_back(ui::text::kDone);
      EXPECT_EQ(b.Boxes(), boxes);
    }
  }
}

// Before the try-out page the abandon button closes at once, with nothing checked or said; on the
// try-out pages it finishes as the confirmation would.
TEST(SetupWindow, AbandonClosesAtOnceBeforeTheTryOutPageAndFinishesAfter) {
  for (const auto& page : kPages) {
    for (bool checkPasses : {true, false}) {
      SCOPED_TRACE(testing::Message() << page.name << (checkPasses ? "" : ", check failing"));
      WindowMachine b(true, [&](WindowMachine& m) { m.steps.checkPasses = checkPasses; });
      page.reach(b);
      std::vector<std::string> calls = b.steps.calls;
      ASSERT_TRUE(b.fake.dialogs.shown.empty());
      b.Abandon();
      EXPECT_EQ(b.fake.windows.destroyPosts, 1);
      const bool finishes = page.page == ui::Page::TryOut || page.page == ui::Page::TryOutConfirmed;
      if (finishes) calls.push_back("verify");
      EXPECT_EQ(b.steps.calls, calls);
      std::vector<std::u16string> boxes;
      if (finishes) boxes.push_back(checkPasses ? std::u16string(ui::text::kDone) : u"the check's report");
      EXPECT_EQ(b.Boxes(), boxes);
    }
  }
}

// A refused directory is never installed into: the field offers the default folder's name on the
// drive typed (or the default's drive), and that correction is taken as it stands.
TEST(SetupWindow, RejectedPathsAreCorrectedInTheField) {
  struct Case {
    const char* typed;
    const char* corrected;
  };
  const Case cases[] = {
      {"c:\\a\\b\\c", "c:\\tavohu"},
      {"tavohu", "d:\\tavohu"},
      {"e:\\ta<vo", "e:\\tavohu"},
      {"e:\\tav|o", "e:\\tavohu"},
      {"e:\\tav:o", "e:\\tavohu"},
      {"e:\\tab\tx", "e:\\tavohu"},
      {"e:\\..", "e:\\tavohu"},
      {"e:\\..\\", "e:\\tavohu"},
      {"e:\\.", "e:\\tavohu"},
      {"e:\\tavo.", "e:\\tavohu"},
      {"e:\\tavo ", "e:\\tavohu"},
      {"e:\\a/b", "e:\\tavohu"},
      // The system's folders, however they are typed.
      {"c:\\windows", "c:\\tavohu"},
      {"C:\\WINDOWS\\", "C:\\tavohu"},
      {"c:\\Program Files", "c:\\tavohu"},
      {"c:\\PROGRA~1\\", "c:\\tavohu"},
      {"c:\\ProgramData", "c:\\tavohu"},
      {"c:\\users\\", "c:\\tavohu"},
      {"c:\\Documents and Settings", "c:\\tavohu"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    WindowMachine b;
    WalkToDirectoryField(b);
    b.Type(c.typed);
    b.Confirm();
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::DirectoryField);
    EXPECT_EQ(b.Field(b.window.DirectoryField()), c.corrected);
    ASSERT_EQ(b.fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(b.fake.dialogs.shown[0].textW, ui::text::kBadPath);
    EXPECT_EQ(b.fake.dialogs.shown[0].captionW, u"Tavo");
    EXPECT_TRUE(b.Installs().empty());
    b.Confirm();
    EXPECT_EQ(b.Installs(), std::vector<std::string>{c.corrected});
  }
}

// What the window accepts goes to the install as typed: a second byte 0x5C or 0x7C of a GBK or
// Big5 character is neither a backslash nor a '|', and folders whose names only look like the
// system's are the user's to choose.
TEST(SetupWindow, AcceptedDirectoriesGoWholeToTheInstall) {
  struct Case {
    uint32_t codePage;
    const char* typed;
  };
  const Case cases[] = {
      {950, "d:\\\xB3\x5C"},  // 許, in Big5
      {936, "d:\\\x83\x7C"},  // 億, in GBK
      {936, "c:\\windows2"}, {936, "c:\\Program"}, {936, "d:\\Program Files"}, {936, "d:\\windows"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    WindowMachine b;
    b.s.AnsiCodePage = c.codePage;
    WalkToDirectoryField(b);
    b.Type(c.typed);
    b.Confirm();
    EXPECT_EQ(b.Installs(), std::vector<std::string>{c.typed});
    EXPECT_EQ(b.s.InstallDir, c.typed);
    EXPECT_EQ(b.Boxes(), std::vector<std::u16string>{ui::text::kDone});
  }
}

// The install owns the window until it returns: the window is disabled, and clicks, keys and
// closes that still arrive change nothing.
TEST(SetupWindow, ClicksKeysAndCloseAreIgnoredWhileInstalling) {
  WindowMachine b;
  WalkToDirectoryField(b);
  bool acted = false;
  b.steps.duringInstall = [&](core::InstallObserver&) {
    acted = true;
    const size_t calls = b.steps.calls.size();
    b.Abandon();
    b.Confirm();
    EXPECT_FALSE(b.Press(Key::Enter));  // a disabled window takes no keys
    for (Key key : {Key::Enter, Key::Escape, Key::Tab}) b.window.OnKey(key, false);
    b.fake.windows.Close();
    EXPECT_FALSE(b.fake.windows.enabled);
    EXPECT_EQ(b.fake.windows.destroyPosts, 0);
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::Processing);
    EXPECT_EQ(b.fake.windows.focus, platform::kNoWindow);
    EXPECT_EQ(b.steps.calls.size(), calls);
    EXPECT_TRUE(b.fake.dialogs.shown.empty());
  };
  b.Confirm();
  EXPECT_TRUE(acted);
  int destroys = b.fake.windows.destroyPosts;
  b.fake.windows.Close();
  EXPECT_EQ(b.fake.windows.destroyPosts, destroys + 1);
}

// The install's progress is drawn at once, with the window's own bar brush.
TEST(SetupWindow, TheInstallsProgressIsDrawnWithTheBarBrush) {
  WindowMachine b;
  WalkToDirectoryField(b);
  std::vector<DrawCall> drawn;
  b.steps.duringInstall = [&](core::InstallObserver& observer) {
    b.fake.windows.calls.clear();
    observer.ShowProgress(1, 4);
    drawn = b.fake.windows.calls;
  };
  b.Confirm();
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(drawn[0].kind, DrawCall::Rectangle);
  EXPECT_EQ(std::make_tuple(drawn[0].x1, drawn[0].x2), std::make_tuple(30, 30 + 340 / 4));
  EXPECT_EQ(drawn[0].brush, b.window.Look().BarBrush.Get());
  EXPECT_EQ(b.fake.windows.openPainters, 0);
  EXPECT_EQ(b.fake.windows.closedWithSelections, 0);
}

// A button under the mouse is drawn pressed: its caption shadowed and white; elsewhere both are
// drawn raised. The captions are the ANSI ones of the system's OEM code page.
TEST(SetupWindow, HoverCaptions) {
  struct Text {
    std::string text;
    int x;
    platform::Rgb colour;
  };
  const platform::Rgb pink = {255, 128, 128}, white = {255, 255, 255};
  struct Case {
    ui::Page page;
    uint32_t codePage;
    unsigned x;
    std::vector<Text> texts;
  };
  // The caption of the button at `left`, shadowed and white.
  auto pressed = [&](const char* caption, int left) {
    return std::vector<Text>{{caption, left + 5, pink}, {caption, left + 6, white}};
  };
  const Case cases[] = {
      {ui::Page::Welcome, 936, 60, pressed(ui::text::kHoverConfirmInstall, 40)},
      {ui::Page::TryOut, 936, 60, pressed(ui::text::kHoverConfirmExit, 40)},
      {ui::Page::TryOutConfirmed, 936, 60, pressed(ui::text::kHoverConfirmExit, 40)},
      {ui::Page::TryOut, 950, 60, pressed(ui::text::kHoverConfirmBig5, 40)},
      {ui::Page::Welcome, 950, 300, pressed(ui::text::kHoverAbandonBig5, 260)},
      {ui::Page::Welcome, 936, 300, pressed(ui::text::kHoverAbandon, 260)},
      {ui::Page::Address, 936, 200, {{ui::text::kHoverConfirmInstall, 45, pink}, {ui::text::kHoverAbandon, 265, pink}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << static_cast<int>(c.page) << " code page " << c.codePage << " x "
                                    << c.x);
    WindowMachine b(true);
    Reach(b, c.page);
    b.s.OemCodePage = c.codePage;
    b.fake.windows.calls.clear();
    b.window.OnMouseMove(c.x, 255);
    std::vector<DrawCall> texts;
    for (const auto& call : b.fake.windows.calls) {
      if (call.kind == DrawCall::TextA) texts.push_back(call);
    }
    ASSERT_EQ(texts.size(), c.texts.size());
    for (size_t i = 0; i < texts.size(); ++i) {
      EXPECT_EQ(texts[i].text, c.texts[i].text) << i;
      EXPECT_EQ(texts[i].x1, c.texts[i].x) << i;
      EXPECT_EQ(texts[i].textColour, c.texts[i].colour) << i;
      EXPECT_TRUE(texts[i].transparent) << i;
      EXPECT_EQ(texts[i].font, b.window.Look().NormalFont.Get()) << i;
    }
    EXPECT_EQ(b.fake.windows.closedWithSelections, 0);
  }
}

// An old module that could not be replaced stops the install before anything is placed, and the
// install has said why: the window closes with neither a check (it would list every file as
// missing) nor a completion message (it would claim an install), nor a try-out page.
TEST(SetupWindow, ALockedOldModuleEndsTheWindowWhenTheInstallReturns) {
  for (bool is64 : {false, true}) {
    SCOPED_TRACE(is64);
    WindowMachine b(is64, [](WindowMachine& m) { m.steps.report.outcome = core::InstallOutcome::OldImeLocked; });
    ReachProcessingPage(b);
    EXPECT_EQ(b.steps.calls.back(), "install d:\\tavohu\\");
    EXPECT_TRUE(b.fake.dialogs.shown.empty());
    EXPECT_EQ(b.fake.windows.destroyPosts, 1);
    EXPECT_TRUE(b.fake.windows.timers.empty());
    EXPECT_EQ(b.fake.windows.RunMessageLoop(), 0);
    EXPECT_FALSE(b.s.WorkBuffer);
  }
}

// The install's message boxes leave the disabled window without activation or focus; when the
// install returns, the window is active again and typing goes to the name box of the try-out page.
TEST(SetupWindow, TheNameBoxHasTheFocusAfterTheInstall) {
  WindowMachine b(true, [](WindowMachine& m) {
    m.steps.duringInstall = [](core::InstallObserver& observer) { observer.AddSentenceLibrary(); };
  });
  ReachProcessingPage(b);
  ASSERT_EQ(b.Boxes(), std::vector<std::u16string>{ui::text::kSentenceLibraryQuestion});
  EXPECT_TRUE(b.fake.windows.enabled);
  EXPECT_TRUE(b.fake.windows.active);
  EXPECT_EQ(b.fake.windows.focus, b.window.DirectoryField());
  b.window.OnTimer(2);
  EXPECT_EQ(b.fake.windows.focus, b.window.DirectoryField());
  EXPECT_TRUE(b.fake.windows.edits[b.window.DirectoryField()].visible);
}

// While a message that a click led to is open, further clicks on either button, keys and closes
// change nothing: no second check or message, no closing, no page change or repaint under the box.
TEST(SetupWindow, ClicksDoNothingWhileAMessageIsOpen) {
  struct Case {
    const char* what;
    bool is64;
    void (*before)(WindowMachine&);  // leads to the click that opens the message
    bool abandon;                    // that click
    const char* caption;             // of the message
  };
  const Case cases[] = {
      {"path refused", false,
       [](WindowMachine& b) {
         WalkToDirectoryField(b);
         b.Type("c:\\a\\b\\c");
       },
       false, "Tavo"},
      {"install question", false,
       [](WindowMachine& b) {
         b.steps.duringInstall = [](core::InstallObserver& observer) { observer.AddSentenceLibrary(); };
         WalkToDirectoryField(b);
       },
       false, "Tavo安装"},
      {"completion message", true, [](WindowMachine& b) { Reach(b, ui::Page::TryOutConfirmed); }, false, "Tavo"},
      {"check report", true,
       [](WindowMachine& b) {
         Reach(b, ui::Page::TryOut);
         b.steps.checkPasses = false;
       },
       true, "Tavo7.1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WindowMachine b(c.is64);
    c.before(b);
    auto& w = b.fake.windows;
    std::string opened;
    b.fake.dialogs.whileShown = [&](const platform::fake::ShownMessage& box) {
      if (!opened.empty()) return;  // the first box only
      opened = box.caption;
      auto state = [&] {
        return std::make_tuple(b.fake.dialogs.shown.size(), w.destroyPosts, w.invalidations, b.window.CurrentPage(),
                               w.timers.size(), b.Field(b.window.DirectoryField()), w.focus, b.steps.calls);
      };
      auto before = state();
      b.Confirm();
      b.Abandon();
      for (Key key : {Key::Enter, Key::Escape, Key::Tab}) b.window.OnKey(key, false);
      w.Close();
      EXPECT_EQ(state(), before);
    };
    if (c.abandon) {
      b.Abandon();
    } else {
      b.Confirm();
    }
    EXPECT_EQ(opened, c.caption);
    EXPECT_LE(w.destroyPosts, 1);
  }
}

// Enter does what the confirm button does, Escape and the close box (Alt+F4) what the abandon
// button does, on every page: the last pages' abandon finishes with the check and its message.
TEST(SetupWindow, KeysAndCloseDoWhatTheButtonsDoOnEveryPage) {
  struct Action {
    const char* name;
    bool abandon;  // the button it stands for
    void (*act)(WindowMachine&);
  };
  const Action actions[] = {
      {"Enter", false, [](WindowMachine& b) { EXPECT_TRUE(b.Press(Key::Enter)); }},
      {"Escape", true, [](WindowMachine& b) { EXPECT_TRUE(b.Press(Key::Escape)); }},
      {"close", true, [](WindowMachine& b) { b.fake.windows.Close(); }},
  };
  auto state = [](WindowMachine& b) {
    return std::make_tuple(b.window.CurrentPage(), b.fake.windows.destroyPosts, b.Boxes(), b.fake.windows.invalidations,
                           b.fake.windows.timers.size(), b.Field(b.window.DirectoryField()), b.steps.calls);
  };
  for (const auto& page : kPages) {
    for (const auto& action : actions) {
      SCOPED_TRACE(std::string(action.name) + " on the " + page.name + " page");
      WindowMachine clicked(true), pressed(true);
      page.reach(clicked);
      page.reach(pressed);
      ASSERT_EQ(pressed.window.CurrentPage(), page.page);
      auto before = state(clicked);
      if (action.abandon) {
        clicked.Abandon();
      } else {
        clicked.Confirm();
      }
      action.act(pressed);
      EXPECT_NE(state(clicked), before);  // the button does something on every page
      EXPECT_EQ(state(pressed), state(clicked));
    }
  }
}

// Each page that shows fields gives the first of them the focus; a page without fields leaves it
// with the window, where Enter and Escape still arrive.
TEST(SetupWindow, TheFirstFieldOfAPageHasTheFocus) {
  for (bool is64 : {false, true}) {
    SCOPED_TRACE(is64);
    WindowMachine b(is64);
    auto& w = b.fake.windows;
    EXPECT_EQ(w.focus, 0);  // the welcome page
    ASSERT_TRUE(b.Press(Key::Enter));
    EXPECT_EQ(w.focus, b.window.UnitField());
    ASSERT_TRUE(b.Press(Key::Enter));
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::Directory);
    EXPECT_EQ(w.focus, 0);
    ASSERT_TRUE(b.Press(Key::Enter));
    EXPECT_EQ(w.focus, b.window.DirectoryField());
    // The window activated again, as after a message box: the focus goes on to the field.
    w.SetFocus(platform::kNoWindow);
    w.Activate();
    EXPECT_EQ(w.focus, b.window.DirectoryField());
  }
}

TEST(SetupWindow, TabGoesRoundThePageFields) {
  enum Where { Window, Unit, Government, Directory };
  struct Case {
    ui::Page page;
    Where from;
    bool shift;
    Where to;
  };
  const Case cases[] = {
      {ui::Page::Address, Unit, false, Government},
      {ui::Page::Address, Government, false, Unit},
      {ui::Page::Address, Unit, true, Government},
      {ui::Page::Address, Government, true, Unit},
      {ui::Page::Address, Window, false, Unit},
      {ui::Page::Address, Window, true, Government},
      {ui::Page::DirectoryField, Window, false, Directory},
      {ui::Page::DirectoryField, Directory, false, Directory},
      {ui::Page::DirectoryField, Directory, true, Directory},
      {ui::Page::TryOut, Window, false, Directory},
      {ui::Page::Welcome, Window, false, Window},
      {ui::Page::Directory, Window, true, Window},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << static_cast<int>(c.page) << " from " << c.from
                                    << (c.shift ? " shift" : ""));
    WindowMachine b(true);
    Reach(b, c.page);
    ASSERT_EQ(b.window.CurrentPage(), c.page);
    auto id = [&](Where where) {
      return where == Unit         ? b.window.UnitField()
             : where == Government ? b.window.GovernmentField()
             : where == Directory  ? b.window.DirectoryField()
                                   : 0;
    };
    b.fake.windows.SetFocus(id(c.from));
    ASSERT_TRUE(b.Press(Key::Tab, c.shift));
    EXPECT_EQ(b.fake.windows.focus, id(c.to));
  }
}

// The whole 64-bit road without a click, one stroke at a time: the addresses typed with Tab
// between them, each page confirmed with Enter, the name typed on the try-out page.
TEST(SetupWindow, TheKeyboardAloneWalksTheRoad) {
  struct Stroke {
    std::optional<Key> key;  // or the text typed, or the timer when neither
    const char* text;
    ui::Page page;  // after the stroke
  };
  const Stroke strokes[] = {
      {Key::Enter, nullptr, ui::Page::Address},
      {{}, "www.unit.cn", ui::Page::Address},
      {Key::Tab, nullptr, ui::Page::Address},
      {{}, "www.gov.cn", ui::Page::Address},
      {Key::Enter, nullptr, ui::Page::Directory},
      {Key::Enter, nullptr, ui::Page::DirectoryField},
      {{}, "d:\\tavokeys", ui::Page::DirectoryField},
      {Key::Enter, nullptr, ui::Page::Processing},
      {{}, nullptr, ui::Page::TryOut},
      {{}, "Zhang San", ui::Page::TryOut},
      {Key::Enter, nullptr, ui::Page::TryOutConfirmed},
      {Key::Enter, nullptr, ui::Page::TryOutConfirmed},
  };
  WindowMachine b(true);
  for (const auto& stroke : strokes) {
    if (stroke.key) {
      ASSERT_TRUE(b.Press(*stroke.key)) << static_cast<int>(b.window.CurrentPage());
    } else if (stroke.text) {
      b.Type(stroke.text);
    } else {
      b.window.OnTimer(2);
    }
    EXPECT_EQ(b.window.CurrentPage(), stroke.page);
  }
  std::vector<std::string> expected(std::begin(kOpened), std::end(kOpened));
  expected.insert(expected.end(),
                  {"load addresses", "write settings files www.unit.cn www.gov.cn", "install d:\\tavokeys", "verify"});
  EXPECT_EQ(b.steps.calls, expected);
  EXPECT_EQ(b.Field(b.window.DirectoryField()), "Zhang San");
  EXPECT_EQ(b.fake.windows.destroyPosts, 1);
  EXPECT_EQ(b.Boxes(), std::vector<std::u16string>{ui::text::kDone});
}

// The install's two questions are put in Yes/No boxes of the install's caption. Keeping the
// earlier data takes a Yes; the sentence library is declined only by a No, so a box that could
// not be shown (0) leaves it to be added.
TEST(SetupWindow, PutsTheInstallsQuestionsToTheUser) {
  struct Case {
    int answer;
    bool keep;
    bool library;
  };
  const Case cases[] = {
      {platform::kIdYes, true, true},
      {platform::kIdNo, false, false},
      {0, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    FakePlatform fake;
    core::SetupState s(fake.os());
    RecordingSteps steps(s);
    ui::SetupWindow window(s, steps);
    fake.dialogs.answers = {c.answer, c.answer};
    EXPECT_EQ(window.KeepEarlierData(), c.keep);
    EXPECT_EQ(window.AddSentenceLibrary(), c.library);
    ASSERT_EQ(fake.dialogs.shown.size(), 2u);
    EXPECT_EQ(fake.dialogs.shown[0].textW, ui::text::kKeepDataQuestion);
    EXPECT_EQ(fake.dialogs.shown[1].textW, ui::text::kSentenceLibraryQuestion);
    for (const auto& box : fake.dialogs.shown) {
      EXPECT_EQ(box.captionW, u"Tavo安装");
      EXPECT_EQ(box.type, platform::kMbYesNo);
    }
  }
}

}  // namespace

namespace {

// A screen reader alone walks the road: it presses each button by its name, as a user of the
// reader does, and types into the fields; the install is asked for and finished as by clicks.
TEST(SetupWindow, AScreenReaderWalksTheRoadByDefaultActions) {
  struct Step {
    const char16_t* press;  // the button pressed by name, or the timer when null
    ui::Page page;          // after it
  };
  const Step steps[] = {
      {u"确 定 安 装", ui::Page::Address},
      {u"确 定 安 装", ui::Page::Directory},
      {u"确 定 安 装", ui::Page::DirectoryField},
      {u"确 定 安 装", ui::Page::Processing},
      {nullptr, ui::Page::TryOut},
      {u"确 定 退 出", ui::Page::TryOutConfirmed},
      {u"确 定 退 出", ui::Page::TryOutConfirmed},
  };
  WindowMachine b(true);
  for (const Step& step : steps) {
    if (step.press) {
      ASSERT_TRUE(b.fake.windows.DefaultAction(step.press)) << static_cast<int>(b.window.CurrentPage());
    } else {
      b.window.OnTimer(2);
    }
    EXPECT_EQ(b.window.CurrentPage(), step.page);
  }
  EXPECT_EQ(b.Installs(), std::vector<std::string>{"d:\\tavohu\\"});
  EXPECT_EQ(b.Boxes(), std::vector<std::u16string>{ui::text::kDone});
  EXPECT_EQ(b.fake.windows.destroyPosts, 1);

  // Abandon by name ends the window before the try-out page.
  WindowMachine abandoned(true);
  ASSERT_TRUE(abandoned.fake.windows.DefaultAction(u"放 弃 退 出"));
  EXPECT_EQ(abandoned.fake.windows.destroyPosts, 1);
  EXPECT_TRUE(abandoned.Installs().empty());
}

// A default action that no longer fits the page (asked for before the page changed), one of a
// text, and any while the install runs, do nothing.
TEST(SetupWindow, ADefaultActionThatNoLongerFitsDoesNothing) {
  WindowMachine b;
  const platform::AccessiblePage welcome = b.window.Accessible();
  b.Confirm();                                         // the address page now
  b.window.OnDefaultAction(0, welcome.parts[0].name);  // a text
  b.window.OnDefaultAction(welcome.parts.size() - 1, u"another caption");
  b.window.OnDefaultAction(99, ui::text::kAbandon);
  EXPECT_EQ(b.fake.windows.destroyPosts, 0);
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Address);

  WindowMachine installing;
  WalkToDirectoryField(installing);
  bool asked = false;
  installing.steps.duringInstall = [&](core::InstallObserver&) {
    asked = true;
    const platform::AccessiblePage page = installing.window.Accessible();
    EXPECT_EQ(page.name, ui::text::kProcessingHeading);
    for (const auto& part : page.parts) {
      if (part.role == platform::AccessibleRole::PushButton) {
        EXPECT_TRUE(part.unavailable);
      }
    }
    EXPECT_TRUE(installing.fake.windows.DefaultAction(ui::text::kAbandon));
    EXPECT_EQ(installing.fake.windows.destroyPosts, 0);
  };
  installing.Confirm();
  EXPECT_TRUE(asked);
}

// Each new page is announced once (the try-out page once, whichever confirmation it waits for);
// on a page where the window keeps the focus, the button Enter presses is announced with it.
TEST(SetupWindow, EachNewPageIsAnnouncedToAScreenReader) {
  using platform::AccessibleEvent;
  using Events = std::vector<std::pair<AccessibleEvent, int>>;
  WindowMachine b(true);
  auto& events = b.fake.windows.accessibleEvents;
  EXPECT_TRUE(events.empty());
  auto step = [&](const std::function<void()>& act) {
    events.clear();
    act();
    return events;
  };
  const std::pair<AccessibleEvent, int> page = {AccessibleEvent::PageChanged, -1};
  // The address page: the focus goes to its first field, which Windows announces itself.
  EXPECT_EQ(step([&] { b.Press(Key::Enter); }), Events{page});
  // The directory page: the window keeps the focus; Enter presses its first button (part 4).
  EXPECT_EQ(step([&] { b.Press(Key::Enter); }), (Events{page, {AccessibleEvent::PartFocused, 4}}));
  EXPECT_EQ(step([&] { b.Press(Key::Enter); }), Events{page});  // the field shown
  // The install: announced as it begins, with its buttons now unavailable (parts 5 and 6 of the
  // directory page with its field), and again when it has ended.
  Events installing;
  b.steps.duringInstall = [&](core::InstallObserver&) { installing = events; };
  const Events buttonsOff = {page, {AccessibleEvent::StateChanged, 5}, {AccessibleEvent::StateChanged, 6}};
  Events whole = buttonsOff;
  whole.push_back(page);
  EXPECT_EQ(step([&] { b.Press(Key::Enter); }), whole);
  EXPECT_EQ(installing, buttonsOff);
  EXPECT_EQ(step([&] { b.window.OnTimer(2); }), Events{page});
  EXPECT_EQ(step([&] { b.Press(Key::Enter); }), Events{});  // the same page, waiting to finish
  // A key that changes nothing announces nothing.
  EXPECT_EQ(step([&] { b.Press(Key::Tab); }), Events{});
}

}  // namespace
