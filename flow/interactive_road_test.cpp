#include "flow/interactive_road.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/install_location.h"
#include "core/system_facts.h"
#include "core/texts.h"
#include "flow/setup_main.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "system/texts.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/bitmap.h"
#include "ui/setup_window.h"
#include "ui/texts.h"

namespace {

using platform::fake::FakePlatform;

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
  bool Press(platform::Key key, bool shift = false) { return fake.windows.PressKey(key, shift); }
  // Typing goes to the field with the focus.
  void Type(const std::string& text) { fake.windows.SetText(fake.windows.focus, text); }
  std::string Field(platform::WindowId id) { return fake.windows.edits[id].text; }

  FakePlatform fake;
  core::SetupState s{fake.os()};
  flow::WindowSteps steps{s};
  ui::SetupWindow window{s, steps};
  bool created = false;
};

// The window has its welcome picture from the steps: the payload's entry, unpacked afresh for
// each paint of the welcome page, and none when the payload lacks it.
TEST(InteractiveRoad, TheWelcomePictureComesFromThePayloadThroughTheSteps) {
  for (bool withPicture : {true, false}) {
    FakePlatform fake;
    fake.SetWindows(6, false);
    fake.files.AddDirectory("c:\\tavohu");
    std::vector<archive::NamedContent> files = {{"tvok.wav", "RIFF"}};
    if (withPicture) files.push_back({ui::text::kPicture, testing_support::Bmp(2, 2)});
    fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie(files);
    core::SetupState s(fake.os());
    core::FindSystemFacts(s);
    flow::WindowSteps steps(s);
    ASSERT_TRUE(steps.OpenPayload());
    std::span<const uint8_t> picture = steps.LoadPicture(ui::text::kPicture);
    EXPECT_EQ(std::string(picture.begin(), picture.end()), withPicture ? testing_support::Bmp(2, 2) : "");
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

// The window's road with the flow's own steps on 32-bit Windows: the addresses of the earlier
// install offered and written back as confirmed, the files placed in the directory the start-up
// proposed, and the completion message once the check finds them.
TEST(InteractiveRoad, PageRoadOn32BitWindows) {
  WindowMachine b;
  ASSERT_TRUE(b.created);
  EXPECT_TRUE(b.s.PayloadImage && b.s.WorkBuffer);
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

// From the welcome page to the directory page with its field shown.
void WalkToDirectoryField(WindowMachine& b) {
  for (int i = 0; i < 3; ++i) b.Confirm();
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

// Over an earlier install, an old module held open stops the install before anything is placed:
// after the install's own message the window closes, with neither a check (it would find the
// earlier install's files in place) nor a completion message (it would claim this install).
TEST(InteractiveRoad, ALockedOldModuleEndsTheWindowAfterItsMessage) {
  WindowMachine b(
      false, [](FakePlatform& fake) { ASSERT_EQ(flow::SetupMain(fake.os(), "settvsrf32", platform::kSwShow), 0); });
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
}

// The whole road on 64-bit Windows without a click: the addresses typed with Tab between them,
// each page confirmed with Enter, the install's question answered, the name typed on the try-out
// page with the new IME as the layout, and the completion message.
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
  b.fake.ime.layouts = {0xE0200804};  // as the companion registered it
  b.fake.ime.descriptions[0xE0200804] = sys::text::kLayoutTextGbk;
  w.Paint();  // the processing page: no layout yet
  EXPECT_TRUE(b.fake.ime.activations.empty());
  b.window.OnTimer(2);
  w.Paint();
  EXPECT_EQ(b.fake.ime.activations, std::vector<uint32_t>{0xE0200804});
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
