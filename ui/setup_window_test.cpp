#include "ui/setup_window.h"

#include <gtest/gtest.h>

#include "app/texts.h"
#include "platform/constants.h"
#include "tests/support/archive_fixture.h"
#include "ui/texts.h"

namespace {

using platform::fake::FakePlatform;

// A machine with a payload and the window up on its welcome page.
struct WindowBench : testing_support::ArchiveBench {
  explicit WindowBench(bool is64 = false) {
    fake.SetWindows(6, is64);
    s.WorkBuffer.reset();
    s.InstallDir.clear();
    fake.files.SetDriveType('d', platform::kDriveFixed);
    std::vector<archive::NamedContent> files = {{"tavohu4.ime", std::string(30, 'm')}, {"tavohu64.ime", "m64"},
                                                {"tavo320.ime", "stub"}, {"tavo640.ime", "stub"},
                                                {"tavodel.exe", "del"}, {"tvqdel64.exe", "del64"},
                                                {"tavokel6.exe", "kelv6"}, {"setupw64.exe", "s64"},
                                                {"tavocyzk.tv1", std::string(30, 'w')},
                                                {"tavopyck.tv1", std::string(30, 'p')}};
    for (int i = 0; i < 70; ++i) files.push_back({"t" + std::to_string(i) + ".tvh", "table"});
    fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie(files);
    window.RegisterSetupClass();
    created = window.CreateSetupWindow(platform::kSwShowNormal);
  }
  void Click(unsigned x, unsigned y) { window.OnButtonDown(x, y, 1, static_cast<intptr_t>((y << 16) | x)); }
  void Confirm() { Click(60, 255); }
  void Abandon() { Click(300, 255); }
  std::string Field(platform::WindowId id) { return fake.windows.edits[id].text; }

  ui::SetupWindow window{s};
  int created = 0;
};

TEST(SetupWindow, HitTestingIncludesTheEdges) {
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 140, 270));
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 40, 245));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 141, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 39, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 60, 271));
  EXPECT_TRUE(ui::HitTest(ui::kAbandonButton, 360, 270));
}

TEST(SetupWindow, CreationSetsUpTheWindowAndItsResources) {
  WindowBench bench;
  ASSERT_EQ(bench.created, 1);
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
  EXPECT_EQ(w.edits[bench.s.DirectoryField].x, 120);
  EXPECT_EQ(w.edits[bench.s.GovernmentField].y, 195);
  EXPECT_EQ(w.edits[bench.s.UnitField].y, 165);
  EXPECT_EQ(w.edits[bench.s.UnitField].text, " ");
  EXPECT_TRUE(bench.s.PayloadImage && bench.s.WorkBuffer);
  EXPECT_EQ(w.objects[bench.s.NormalFont].font.height, 22);
  EXPECT_EQ(w.objects[bench.s.TitleFont].font.face, ui::text::kFontKai);
  EXPECT_EQ(w.updates, 1);  // the welcome page painted at once
  EXPECT_EQ(WindowBench(true).fake.windows.title, u"Tavo系统安装3264");
}

TEST(SetupWindow, MissingPayloadOrMemoryEndsBeforeTheFirstPage) {
  for (bool noPayload : {true, false}) {
    FakePlatform fake;
    if (!noPayload) {
      fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie({});
      fake.resources.failAllocation = true;
    }
    app::SetupState s(fake.os());
    EXPECT_EQ(ui::RunSetupWindow(s, platform::kSwShow), 0);
    EXPECT_EQ(fake.windows.updates, 0);
    EXPECT_TRUE(fake.windows.calls.empty());
    ASSERT_EQ(fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(fake.dialogs.shown[0].textW, app::text::kNoPayload);
    EXPECT_EQ(fake.windows.quitCode, 0);
    EXPECT_TRUE(fake.files.AllFiles().empty());
  }
}

TEST(SetupWindow, PageRoadOn32BitWindows) {
  WindowBench b;
  b.fake.files.AddFile("d:\\tavohu\\tvnetsj.dat", "TVNETURL1=www.unit.cn\r\nTVNETURL2=www.gov.cn\r\n");
  b.Confirm();
  EXPECT_EQ(b.s.CurrentPage, 1);
  EXPECT_EQ(b.Field(b.s.UnitField), "www.unit.cn");
  b.fake.windows.SetText(b.s.UnitField, "a.b.c");
  b.Confirm();
  EXPECT_EQ(b.s.CurrentPage, 5);
  EXPECT_TRUE(b.fake.windows.edits[1 + 1].destroyed);
  EXPECT_EQ(b.fake.files.Contents("d:\\tavohu\\tvnetsj.dat").substr(0, 17), "TVNETURL1=a.b.c\r\n");
  b.Confirm();
  EXPECT_EQ(b.s.CurrentPage, 6);
  EXPECT_EQ(b.Field(b.s.DirectoryField), "d:\\tavohu\\");
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

TEST(SetupWindow, PageRoadOn64BitWindows) {
  WindowBench b(true);
  b.Confirm();
  b.Confirm();
  b.Confirm();
  b.fake.dialogs.answers = {platform::kIdNo};
  b.Confirm();
  EXPECT_EQ(b.s.CurrentPage, 7);
  EXPECT_EQ(b.fake.windows.timers[2], 1600u);
  b.Confirm();  // page 7: a repaint only
  EXPECT_EQ(b.s.CurrentPage, 7);
  b.window.OnTimer(2);
  EXPECT_EQ(b.s.CurrentPage, 8);
  EXPECT_TRUE(b.fake.windows.timers.empty());
  EXPECT_EQ(b.Field(b.s.DirectoryField), "");
  b.Confirm();
  EXPECT_EQ(b.s.CurrentPage, 9);
  EXPECT_EQ(b.fake.windows.destroyPosts, 0);
  b.Confirm();
  EXPECT_EQ(b.fake.windows.destroyPosts, 1);
  EXPECT_EQ(b.fake.dialogs.shown.back().textW, ui::text::kDone);
}

TEST(SetupWindow, AbandonClosesAtOnceBeforePage8AndFinishesAfter) {
  for (int page : {0, 1, 5, 6, 7}) {
    WindowBench b;
    b.s.CurrentPage = page;
    b.Abandon();
    EXPECT_EQ(b.fake.windows.destroyPosts, 1) << page;
    EXPECT_TRUE(b.fake.dialogs.shown.empty()) << page;
  }
  WindowBench b;
  b.s.CurrentPage = 8;
  b.s.InstallDir = "c:\\nowhere\\";
  b.Abandon();
  EXPECT_EQ(b.fake.windows.destroyPosts, 1);
  ASSERT_EQ(b.fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(b.fake.dialogs.shown[0].caption, "Tavo7.1");  // the check's report instead of the message
}

TEST(SetupWindow, RejectedPathsAreCorrectedInTheField) {
  struct Case {
    const char* typed;
    const char* corrected;  // null: accepted
  };
  const Case cases[] = {
      {"c:\\a\\b\\c", "c:\\tavohu"},
      {"tavohu", "d:\\tavohu"},
      {"e:\\ta<vo", "d:\\tavohu"},
      {"e:\\tav|o", "d:\\tavohu"},
      {"e:\\tav:o", "d:\\tavohu"},
      {"e:\\tab\tx", "d:\\tavohu"},
  };
  for (const auto& c : cases) {
    WindowBench b;
    b.s.CurrentPage = 6;
    b.fake.windows.SetText(b.s.DirectoryField, c.typed);
    b.Confirm();
    EXPECT_EQ(b.s.CurrentPage, 6) << c.typed;
    EXPECT_EQ(b.Field(b.s.DirectoryField), c.corrected) << c.typed;
    ASSERT_EQ(b.fake.dialogs.shown.size(), 1u);
    EXPECT_EQ(b.fake.dialogs.shown[0].textW, ui::text::kBadPath);
    EXPECT_FALSE(b.fake.files.HasDirectory("e:\\ta<vo"));
  }
}

TEST(SetupWindow, ClicksAndCloseAreIgnoredWhileInstalling) {
  WindowBench b;
  b.s.Installing = true;
  b.Abandon();
  b.Confirm();
  EXPECT_EQ(b.fake.windows.destroyPosts, 0);
  EXPECT_EQ(b.s.CurrentPage, 0);
  EXPECT_FALSE(b.window.OnClose());
  b.s.Installing = false;
  EXPECT_TRUE(b.window.OnClose());
}

TEST(SetupWindow, HoverCaptions) {
  struct Case {
    int page;
    uint32_t codePage;
    unsigned x;
    std::string first;
  };
  const Case cases[] = {
      {0, 936, 60, ui::text::kHoverConfirmInstall}, {8, 936, 60, ui::text::kHoverConfirmExit},
      {8, 950, 60, ui::text::kHoverConfirmBig5},    {0, 950, 300, ui::text::kHoverAbandonBig5},
      {0, 936, 300, ui::text::kHoverAbandon},
  };
  for (const auto& c : cases) {
    WindowBench b;
    b.s.CurrentPage = c.page;
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

}  // namespace
