#include "flow/interactive_road.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <utility>

#include "core/install_location.h"
#include "core/system_facts.h"
#include "core/texts.h"
#include "flow/setup_main.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "system/texts.h"
#include "tests/support/archive_fixture.h"
#include "ui/setup_window.h"
#include "ui/texts.h"

namespace {

using platform::fake::FakePlatform;

// Message boxes answered by the fake. While the first one after `meanwhile` is set is open, the
// test acts as a user may then: the box's own message loop still delivers the window's clicks.
class OpenBoxes : public platform::Dialogs {
 public:
  explicit OpenBoxes(platform::fake::FakeDialogs& answers) : answers_(answers) {}
  int MessageA(const std::string& text, const std::string& caption, uint32_t type) override {
    return Open(answers_.MessageA(text, caption, type));
  }
  int MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) override {
    return Open(answers_.MessageW(text, caption, type));
  }

  std::function<void(const platform::fake::ShownMessage&)> meanwhile;

 private:
  int Open(int answer) {
    if (auto act = std::exchange(meanwhile, nullptr)) act(answers_.shown.back());
    return answer;
  }
  platform::fake::FakeDialogs& answers_;
};

// The flow's own steps, with a moment in the middle of the install when the test acts as a user
// may then.
class HookedSteps : public ui::SetupSteps {
 public:
  explicit HookedSteps(core::SetupState& s) : steps_(s) {}
  bool OpenPayload() override { return steps_.OpenPayload(); }
  void LoadServerAddresses(std::string* unit, std::string* government) override {
    steps_.LoadServerAddresses(unit, government);
  }
  void WriteSettingsFiles() override { steps_.WriteSettingsFiles(); }
  core::InstallReport Install(const std::string& directory, core::InstallObserver& observer) override {
    if (auto act = std::exchange(duringInstall, nullptr)) act();
    return steps_.Install(directory, observer);
  }
  bool VerifyInstallation() override { return steps_.VerifyInstallation(); }
  void ActivateImeLayout() override { steps_.ActivateImeLayout(); }
  std::span<const uint8_t> LoadPicture(const std::string& name) override { return steps_.LoadPicture(name); }

  std::function<void()> duringInstall;

 private:
  flow::WindowSteps steps_;
};

// A machine with a payload and the window up on its welcome page.
struct WindowMachine {
  // `before` prepares the machine before the setup starts on it.
  explicit WindowMachine(bool is64 = false, const std::function<void(FakePlatform&)>& before = {}) {
    fake.SetWindows(6, is64);
    fake.files.AddDirectory("c:\\tavohu");
    fake.files.SetDriveType('d', platform::kDriveFixed);
    fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie(testing_support::CompleteProductFiles());
    if (before) before(fake);
    core::FindSystemFacts(s);
    core::ReadInstallPath(s);  // as the start-up reads it, once
    window.RegisterSetupClass();
    created = window.CreateSetupWindow(platform::kSwShowNormal);
  }
  void Click(unsigned x, unsigned y) { window.OnButtonDown(x, y, 1, static_cast<intptr_t>((y << 16) | x)); }
  void Confirm() { Click(60, 255); }
  void Abandon() { Click(300, 255); }
  bool Press(platform::Key key, bool shift = false) { return fake.windows.PressKey(key, shift); }
  // Typing goes to the field with the focus.
  void Type(const std::string& text) { fake.windows.SetText(fake.windows.focus, text); }
  std::string Field(platform::WindowId id) { return fake.windows.edits[id].text; }

  FakePlatform fake;
  OpenBoxes boxes{fake.dialogs};
  platform::Platform os{fake.files,     fake.registry,  fake.system, fake.ime,
                        fake.processes, fake.resources, boxes,       fake.windows};
  core::SetupState s{os};
  HookedSteps steps{s};
  ui::SetupWindow window{s, steps};
  bool created = false;
};

TEST(InteractiveRoad, CreationSetsUpTheWindowAndItsResources) {
  WindowMachine bench;
  ASSERT_TRUE(bench.created);
  auto& w = bench.fake.windows;
  EXPECT_EQ(w.className, "installWClass");
  EXPECT_EQ(w.iconName, "tavohu");
  EXPECT_EQ(w.menuName, "install");
  EXPECT_EQ(w.title, u"Tavo系统安装32");
  EXPECT_EQ(w.x, (1024 - 400) / 2);
  EXPECT_EQ(w.y, (768 - 300) / 2);
  EXPECT_EQ(w.width, 400);
  EXPECT_EQ(w.height, 310);
  ASSERT_EQ(w.edits.size(), 3u);
  EXPECT_EQ(w.edits[bench.window.DirectoryField()].x, 120);
  EXPECT_EQ(w.edits[bench.window.GovernmentField()].y, 195);
  EXPECT_EQ(w.edits[bench.window.UnitField()].y, 165);
  EXPECT_EQ(w.edits[bench.window.UnitField()].text, " ");
  EXPECT_TRUE(bench.s.PayloadImage && bench.s.WorkBuffer);
  EXPECT_EQ(w.objects[bench.window.Look().NormalFont.Get()].font.height, 22);
  EXPECT_EQ(w.objects[bench.window.Look().TitleFont.Get()].font.face, ui::text::kFontKai);
  EXPECT_EQ(w.updates, 1);  // the welcome page painted at once
  EXPECT_EQ(WindowMachine(true).fake.windows.title, u"Tavo系统安装3264");
}

// A 24-bit BMP of 2 x 2 pixels.
std::string SmallBmp() {
  std::string bmp(54 + 2 * 8, '\0');
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>(v >> (8 * i));
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put(10, 54);
  put(14, 40);
  put(18, 2);
  put(22, 2);
  bmp[26] = 1;
  bmp[28] = 24;
  return bmp;
}

// The window has its welcome picture from the steps: the payload's entry, unpacked afresh for
// each paint of the welcome page, and none when the payload lacks it.
TEST(InteractiveRoad, TheWelcomePictureComesFromThePayloadThroughTheSteps) {
  for (bool withPicture : {true, false}) {
    FakePlatform fake;
    fake.SetWindows(6, false);
    fake.files.AddDirectory("c:\\tavohu");
    std::vector<archive::NamedContent> files = {{"tvok.wav", "RIFF"}};
    if (withPicture) files.push_back({ui::text::kPicture, SmallBmp()});
    fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie(files);
    core::SetupState s(fake.os());
    core::FindSystemFacts(s);
    flow::WindowSteps steps(s);
    ASSERT_TRUE(steps.OpenPayload());
    std::span<const uint8_t> picture = steps.LoadPicture(ui::text::kPicture);
    EXPECT_EQ(std::string(picture.begin(), picture.end()), withPicture ? SmallBmp() : "");
    EXPECT_TRUE(steps.LoadPicture("tvok.bmp").empty());

    ui::SetupWindow window(s, steps);
    window.RegisterSetupClass();
    ASSERT_TRUE(window.CreateSetupWindow(platform::kSwShowNormal));
    size_t bitmaps = 0;
    for (const auto& c : fake.windows.calls) bitmaps += c.kind == platform::fake::DrawCall::Bitmap;
    EXPECT_EQ(bitmaps, withPicture ? 1u : 0u) << withPicture;
  }
}

TEST(InteractiveRoad, MissingPayloadOrMemoryEndsBeforeTheFirstPage) {
  for (bool noPayload : {true, false}) {
    FakePlatform fake;
    if (!noPayload) {
      fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie({});
      fake.resources.failAllocation = true;
    }
    core::SetupState s(fake.os());
    EXPECT_EQ(flow::RunInteractiveRoad(s, platform::kSwShow), 0);
    EXPECT_EQ(fake.windows.updates, 0);
    EXPECT_TRUE(fake.windows.calls.empty());
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].textW, core::text::kNoPayload);
    EXPECT_EQ(fake.windows.quitCode, 0);
    EXPECT_TRUE(fake.files.AllFiles().empty());
  }
}

TEST(InteractiveRoad, PageRoadOn32BitWindows) {
  WindowMachine b;
  b.fake.files.AddFile("d:\\tavohu\\tvnetsj.dat", "TVNETURL1=www.unit.cn\r\nTVNETURL2=www.gov.cn\r\n");
  b.Confirm();
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Address);
  EXPECT_EQ(b.Field(b.window.UnitField()), "www.unit.cn");
  b.fake.windows.SetText(b.window.UnitField(), "a.b.c");
  b.Confirm();
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Directory);
  EXPECT_TRUE(b.fake.windows.edits[1 + 1].destroyed);
  EXPECT_EQ(b.fake.files.Contents("d:\\tavohu\\tvnetsj.dat").substr(0, 17), "TVNETURL1=a.b.c\r\n");
  b.Confirm();
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::DirectoryField);
  EXPECT_EQ(b.Field(b.window.DirectoryField()), "d:\\tavohu\\");
  b.fake.dialogs.answers = {platform::kIdNo};  // the sentence-library question
  b.Confirm();
  // Installed, checked and closing: no try-out page on 32-bit Windows.
  EXPECT_TRUE(b.fake.files.HasFile("d:\\tavohu\\tavohu4.ime"));
  ASSERT_FALSE(b.fake.dialogs.shown.empty());
  EXPECT_EQ(b.fake.dialogs.shown.back().textW, ui::text::kDone);
  EXPECT_EQ(b.fake.windows.destroyPosts, 1);
  EXPECT_TRUE(b.fake.windows.timers.empty());
  EXPECT_TRUE(b.fake.windows.enabled);
  EXPECT_EQ(b.fake.windows.RunMessageLoop(), 0);
  EXPECT_FALSE(b.s.WorkBuffer);
}

TEST(InteractiveRoad, PageRoadOn64BitWindows) {
  WindowMachine b(true);
  b.Confirm();
  b.Confirm();
  b.Confirm();
  b.fake.dialogs.answers = {platform::kIdNo};
  b.Confirm();
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Processing);
  EXPECT_EQ(b.fake.windows.timers[2], 1600u);
  b.Confirm();  // page 7: a repaint only
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Processing);
  b.fake.ime.layouts = {0xE0200804};
  b.fake.ime.descriptions[0xE0200804] = sys::text::kLayoutTextGbk;
  b.fake.windows.Paint();  // the processing page: no layout yet
  EXPECT_TRUE(b.fake.ime.activations.empty());
  b.window.OnTimer(2);
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::TryOut);
  EXPECT_TRUE(b.fake.windows.timers.empty());
  b.fake.windows.Paint();  // the try-out page makes the IME the layout to type with
  EXPECT_EQ(b.fake.ime.activations, std::vector<uint32_t>{0xE0200804});
  EXPECT_EQ(b.Field(b.window.DirectoryField()), "");
  b.Confirm();
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::TryOutConfirmed);
  EXPECT_EQ(b.fake.windows.destroyPosts, 0);
  b.Confirm();
  EXPECT_EQ(b.fake.windows.destroyPosts, 1);
  EXPECT_EQ(b.fake.dialogs.shown.back().textW, ui::text::kDone);
}

// From the welcome page to the directory page with its field shown .
void WalkToDirectoryField(WindowMachine& b) {
  for (int i = 0; i < 3; ++i) b.Confirm();
}

// The pages of the 64-bit road, each reached by clicks.
struct PageWay {
  const char* name;
  ui::Page page;
  void (*reach)(WindowMachine&);
};
void ReachProcessingPage(WindowMachine& b) {
  WalkToDirectoryField(b);
  b.Confirm();  // installs; the sentence-library question is answered no
}
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

// A page of the 64-bit road, reached by clicks.
void Reach(WindowMachine& b, ui::Page page) {
  for (const auto& way : kPages) {
    if (way.page == page) way.reach(b);
  }
}

TEST(InteractiveRoad, AbandonClosesAtOnceBeforeTheTryOutPageAndFinishesAfter) {
  for (const auto& page : kPages) {
    if (page.page == ui::Page::TryOut) break;
    WindowMachine b(true);
    page.reach(b);
    size_t boxes = b.fake.dialogs.shown.size();
    b.Abandon();
    EXPECT_EQ(b.fake.windows.destroyPosts, 1) << page.name;
    EXPECT_EQ(b.fake.dialogs.shown.size(), boxes) << page.name;
  }
  WindowMachine b(true);
  Reach(b, ui::Page::TryOut);
  b.s.InstallDir = "c:\\nowhere\\";
  size_t boxes = b.fake.dialogs.shown.size();
  b.Abandon();
  EXPECT_EQ(b.fake.windows.destroyPosts, 1);
  ASSERT_EQ(b.fake.dialogs.shown.size(), boxes + 1);
  EXPECT_EQ(b.fake.dialogs.shown.back().caption, "Tavo7.1");  // the check's report instead of the message
}

TEST(InteractiveRoad, RejectedPathsAreCorrectedInTheField) {
  struct Case {
    const char* typed;
    const char* corrected;  // null: accepted
  };
  // The first three bytes as typed stay when they are a drive; otherwise the default's drive.
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
    WindowMachine b;
    WalkToDirectoryField(b);
    b.fake.windows.SetText(b.window.DirectoryField(), c.typed);
    b.Confirm();
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::DirectoryField) << c.typed;
    EXPECT_EQ(b.Field(b.window.DirectoryField()), c.corrected) << c.typed;
    ASSERT_EQ(b.fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(b.fake.dialogs.shown[0].textW, ui::text::kBadPath);
    EXPECT_FALSE(b.fake.files.HasDirectory("e:\\ta<vo"));
    EXPECT_FALSE(b.fake.files.HasFile("c:\\windows\\tavopath.tvh")) << c.typed;
  }
}

// A second byte 0x5C or 0x7C of a GBK or Big5 character is neither a backslash nor a '|': such
// directories are accepted and recorded with the backslash after their last character.
TEST(InteractiveRoad, DoubleByteDirectoriesAreAcceptedWhole) {
  struct Case {
    uint32_t codePage;
    const char* typed;
  };
  const Case cases[] = {
      {950, "d:\\\xB3\x5C"},          // 許
      {950, "d:\\\xA5\x7C"},          // 四
      {950, "d:\\\xB7\x7C\xAD\x70"},  // 會計
      {936, "d:\\\x83\x7C"},          // 億
  };
  for (const auto& c : cases) {
    WindowMachine b;
    b.s.AnsiCodePage = c.codePage;
    WalkToDirectoryField(b);
    b.fake.windows.SetText(b.window.DirectoryField(), c.typed);
    b.fake.dialogs.answers = {platform::kIdNo};  // the sentence-library question
    b.Confirm();
    ASSERT_FALSE(b.fake.dialogs.shown.empty()) << c.typed;
    EXPECT_NE(b.fake.dialogs.shown[0].textW, ui::text::kBadPath) << c.typed;
    EXPECT_EQ(b.s.InstallDir, std::string(c.typed) + "\\") << c.typed;
    EXPECT_EQ(b.fake.files.Contents("c:\\windows\\tavopath.tvh"), std::string(c.typed) + "\\") << c.typed;
  }
}

// Folders whose names only look like the system's are the user's to choose.
TEST(InteractiveRoad, FoldersNamedLikeTheSystemsAreAccepted) {
  for (const char* typed : {"c:\\windows2", "c:\\Program", "d:\\Program Files", "d:\\windows"}) {
    WindowMachine b;
    WalkToDirectoryField(b);
    b.fake.windows.SetText(b.window.DirectoryField(), typed);
    b.fake.dialogs.answers = {platform::kIdNo};  // the sentence-library question
    b.Confirm();
    ASSERT_FALSE(b.fake.dialogs.shown.empty()) << typed;
    EXPECT_NE(b.fake.dialogs.shown[0].textW, ui::text::kBadPath) << typed;
    EXPECT_EQ(b.s.InstallDir, std::string(typed) + "\\") << typed;
    EXPECT_TRUE(b.fake.files.HasFile(std::string(typed) + "\\tavokelv.exe")) << typed;
  }
}

TEST(InteractiveRoad, ClicksAndCloseAreIgnoredWhileInstalling) {
  WindowMachine b;
  b.Confirm();
  b.Confirm();
  b.Confirm();
  b.fake.dialogs.answers = {platform::kIdNo};
  bool acted = false;
  b.steps.duringInstall = [&] {
    acted = true;
    b.window.OnButtonDown(300, 255, 1, (255 << 16) | 300);  // abandon
    b.window.OnButtonDown(60, 255, 1, (255 << 16) | 60);    // confirm
    // The window is disabled and takes no keys; were one delivered, it would change nothing.
    EXPECT_FALSE(b.fake.windows.PressKey(platform::Key::Enter));
    for (platform::Key key : {platform::Key::Enter, platform::Key::Escape, platform::Key::Tab}) {
      b.window.OnKey(key, false);
    }
    b.fake.windows.Close();
    EXPECT_EQ(b.fake.windows.destroyPosts, 0);
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::Processing);
    EXPECT_EQ(b.fake.windows.focus, platform::kNoWindow);
  };
  b.Confirm();
  EXPECT_TRUE(acted);
  int destroys = b.fake.windows.destroyPosts;
  b.fake.windows.Close();
  EXPECT_EQ(b.fake.windows.destroyPosts, destroys + 1);
}

TEST(InteractiveRoad, HoverCaptions) {
  struct Case {
    ui::Page page;
    uint32_t codePage;
    unsigned x;
    std::string first;
  };
  const Case cases[] = {
      {ui::Page::Welcome, 936, 60, ui::text::kHoverConfirmInstall},
      {ui::Page::TryOut, 936, 60, ui::text::kHoverConfirmExit},
      {ui::Page::TryOut, 950, 60, ui::text::kHoverConfirmBig5},
      {ui::Page::Welcome, 950, 300, ui::text::kHoverAbandonBig5},
      {ui::Page::Welcome, 936, 300, ui::text::kHoverAbandon},
  };
  for (const auto& c : cases) {
    WindowMachine b(true);
    Reach(b, c.page);
    b.s.OemCodePage = c.codePage;
    b.fake.windows.calls.clear();
    b.window.OnMouseMove(c.x, 255);
    std::vector<platform::fake::DrawCall> texts;
    for (const auto& call : b.fake.windows.calls) {
      if (call.kind == platform::fake::DrawCall::TextA) texts.push_back(call);
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, c.first);
    EXPECT_EQ(texts[0].textColour, (platform::Rgb{255, 128, 128}));
    EXPECT_EQ(texts[1].textColour, (platform::Rgb{255, 255, 255}));
    EXPECT_EQ(texts[1].x1, texts[0].x1 + 1);
  }
}

// The product's IME in the user's preload list of a 32-bit machine, its module and the names it
// could be moved aside to held open by another program.
void HoldEarlierIme(WindowMachine& b) {
  b.fake.registry.SetValue("HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts\\E0200804", "layout text",
                           platform::kRegSz, sys::text::kLayoutTextGbk);
  b.fake.registry.SetValue("HKCU\\Keyboard Layout\\Preload", "1", platform::kRegSz, "00000804");
  b.fake.registry.SetValue("HKCU\\Keyboard Layout\\Preload", "2", platform::kRegSz, "e0200804");
  for (const char* name : {"tavohu4.ime", "tavohu2.ime", "tavohu1.ime"}) {
    std::string path = std::string("c:\\windows\\system32\\") + name;
    if (!b.fake.files.HasFile(path)) b.fake.files.AddFile(path, "old module");
    b.fake.files.HoldOpen(path);
  }
}

// The install stops before anything is placed: after its own message the window closes, with
// neither a check (it would list every file as missing) nor a completion message (it would
// claim an install), whether or not an earlier install fills the directory.
TEST(InteractiveRoad, ALockedOldModuleEndsTheWindowAfterItsMessage) {
  auto run = [](bool installedBefore) {
    SCOPED_TRACE(installedBefore ? "over an earlier install" : "into a fresh directory");
    WindowMachine b(false, [&](FakePlatform& fake) {
      if (installedBefore) {
        ASSERT_EQ(flow::SetupMain(fake.os(), "settvsrf32", platform::kSwShow), 0);
      }
    });
    WalkToDirectoryField(b);
    HoldEarlierIme(b);
    size_t boxesBefore = b.fake.dialogs.shown.size();
    int destroysBefore = b.fake.windows.destroyPosts;
    b.Confirm();
    ASSERT_EQ(b.fake.dialogs.shown.size(), boxesBefore + 1);
    EXPECT_EQ(b.fake.dialogs.shown.back().textW, flow::text::kOldImeLocked);
    EXPECT_EQ(b.fake.windows.destroyPosts, destroysBefore + 1);
    EXPECT_TRUE(b.fake.windows.timers.empty());
    EXPECT_EQ(b.fake.windows.RunMessageLoop(), 0);
    EXPECT_FALSE(b.s.WorkBuffer);
  };
  run(true);
  run(false);
}

// The install's message boxes leave the disabled window without activation or focus; when the
// install returns, the window is active again and typing goes to the name box of the try-out page.
TEST(InteractiveRoad, TheNameBoxHasTheFocusAfterTheInstall) {
  WindowMachine b(true);
  WalkToDirectoryField(b);
  b.fake.dialogs.answers = {platform::kIdNo};
  b.Confirm();
  EXPECT_TRUE(b.fake.windows.enabled);
  EXPECT_TRUE(b.fake.windows.active);
  EXPECT_EQ(b.fake.windows.focus, b.window.DirectoryField());
  b.window.OnTimer(2);
  EXPECT_EQ(b.fake.windows.focus, b.window.DirectoryField());
  EXPECT_TRUE(b.fake.windows.edits[b.window.DirectoryField()].visible);
}

// While a message that a click led to is open, further clicks on either button, keys and closes
// change nothing: no second check or message, no closing, no page change or repaint under the box.
TEST(InteractiveRoad, ClicksDoNothingWhileAMessageIsOpen) {
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
         b.fake.windows.SetText(b.window.DirectoryField(), "c:\\a\\b\\c");
       },
       false, "Tavo"},
      {"install question", false, WalkToDirectoryField, false, "Tavo安装"},
      {"completion message", true,
       [](WindowMachine& b) {
         WalkToDirectoryField(b);
         b.Confirm();
         b.window.OnTimer(2);
         b.Confirm();
       },
       false, "Tavo"},
      {"check report", true,
       [](WindowMachine& b) {
         Reach(b, ui::Page::TryOut);
         b.s.InstallDir = "c:\\nowhere\\";
       },
       true, "Tavo7.1"},
  };
  for (const auto& c : cases) {
    WindowMachine b(c.is64);
    c.before(b);
    auto& w = b.fake.windows;
    std::string opened;
    b.boxes.meanwhile = [&](const platform::fake::ShownMessage& box) {
      opened = box.caption;
      auto state = [&] {
        return std::make_tuple(b.fake.dialogs.shown.size(), w.destroyPosts, w.invalidations, b.window.CurrentPage(),
                               w.timers.size(), b.Field(b.window.DirectoryField()), w.focus);
      };
      auto before = state();
      b.Confirm();
      b.Abandon();
      for (platform::Key key : {platform::Key::Enter, platform::Key::Escape, platform::Key::Tab}) {
        b.window.OnKey(key, false);
      }
      w.Close();
      EXPECT_EQ(state(), before) << c.what;
    };
    if (c.abandon) {
      b.Abandon();
    } else {
      b.Confirm();
    }
    EXPECT_EQ(opened, c.caption) << c.what;
    EXPECT_LE(w.destroyPosts, 1) << c.what;
  }
}

// Enter does what the confirm button does, Escape and the close box (Alt+F4) what the abandon
// button does, on every page: the last pages' abandon finishes with the check and its message.
TEST(InteractiveRoad, KeysAndCloseDoWhatTheButtonsDoOnEveryPage) {
  struct Action {
    const char* name;
    bool abandon;  // the button it stands for
    void (*act)(WindowMachine&);
  };
  const Action actions[] = {
      {"Enter", false, [](WindowMachine& b) { EXPECT_TRUE(b.Press(platform::Key::Enter)); }},
      {"Escape", true, [](WindowMachine& b) { EXPECT_TRUE(b.Press(platform::Key::Escape)); }},
      {"close", true, [](WindowMachine& b) { b.fake.windows.Close(); }},
  };
  auto state = [](WindowMachine& b) {
    auto& shown = b.fake.dialogs.shown;
    return std::make_tuple(b.window.CurrentPage(), b.fake.windows.destroyPosts, shown.size(),
                           shown.empty() ? std::u16string() : shown.back().textW, b.fake.windows.invalidations,
                           b.fake.windows.timers.size(), b.Field(b.window.DirectoryField()),
                           b.fake.files.HasFile("d:\\tavohu\\tavohu64.ime"));
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
TEST(InteractiveRoad, TheFirstFieldOfAPageHasTheFocus) {
  for (bool is64 : {false, true}) {
    WindowMachine b(is64);
    auto& w = b.fake.windows;
    EXPECT_EQ(w.focus, 0);  // the welcome page
    ASSERT_TRUE(b.Press(platform::Key::Enter));
    EXPECT_EQ(w.focus, b.window.UnitField());
    ASSERT_TRUE(b.Press(platform::Key::Enter));
    EXPECT_EQ(b.window.CurrentPage(), ui::Page::Directory);
    EXPECT_EQ(w.focus, 0);
    ASSERT_TRUE(b.Press(platform::Key::Enter));
    EXPECT_EQ(w.focus, b.window.DirectoryField());
    // The window activated again, as after a message box: the focus goes on to the field.
    w.SetFocus(platform::kNoWindow);
    w.Activate();
    EXPECT_EQ(w.focus, b.window.DirectoryField());
  }
}

TEST(InteractiveRoad, TabGoesRoundThePageFields) {
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
      {ui::Page::Welcome, Window, false, Window},
      {ui::Page::Directory, Window, true, Window},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "page " << static_cast<int>(c.page) << " from " << c.from
                                    << (c.shift ? " shift" : ""));
    WindowMachine b;
    Reach(b, c.page);
    ASSERT_EQ(b.window.CurrentPage(), c.page);
    auto id = [&](Where where) {
      return where == Unit         ? b.window.UnitField()
             : where == Government ? b.window.GovernmentField()
             : where == Directory  ? b.window.DirectoryField()
                                   : 0;
    };
    b.fake.windows.SetFocus(id(c.from));
    ASSERT_TRUE(b.Press(platform::Key::Tab, c.shift));
    EXPECT_EQ(b.fake.windows.focus, id(c.to));
  }
}

// The whole road on 64-bit Windows without a click: the addresses typed with Tab between them,
// each page confirmed with Enter, the install's question answered, the name typed on the try-out
// page, and the completion message.
TEST(InteractiveRoad, TheKeyboardAloneInstalls) {
  WindowMachine b(true);
  auto& w = b.fake.windows;
  ASSERT_TRUE(b.Press(platform::Key::Enter));
  b.Type("www.unit.cn");
  ASSERT_TRUE(b.Press(platform::Key::Tab));
  b.Type("www.gov.cn");
  ASSERT_TRUE(b.Press(platform::Key::Enter));
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Directory);
  EXPECT_EQ(b.s.ServerAddress1, "www.unit.cn");
  EXPECT_EQ(b.s.ServerAddress2, "www.gov.cn");
  ASSERT_TRUE(b.Press(platform::Key::Enter));
  b.Type("d:\\tavokeys");
  ASSERT_TRUE(b.Press(platform::Key::Enter));
  EXPECT_TRUE(b.fake.files.HasFile("d:\\tavokeys\\tavohu4.ime"));
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::Processing);
  b.window.OnTimer(2);
  b.Type("Zhang San");
  EXPECT_EQ(b.Field(b.window.DirectoryField()), "Zhang San");
  ASSERT_TRUE(b.Press(platform::Key::Enter));
  EXPECT_EQ(b.window.CurrentPage(), ui::Page::TryOutConfirmed);
  EXPECT_EQ(w.destroyPosts, 0);
  ASSERT_TRUE(b.Press(platform::Key::Enter));
  EXPECT_EQ(w.destroyPosts, 1);
  ASSERT_FALSE(b.fake.dialogs.shown.empty());
  EXPECT_EQ(b.fake.dialogs.shown.back().textW, ui::text::kDone);
}

}  // namespace
