#include "ui/setup_window.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "ui/texts.h"

namespace {

TEST(SetupWindow, HitTestingIncludesTheEdges) {
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 140, 270));
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 40, 245));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 141, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 39, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 60, 271));
  EXPECT_TRUE(ui::HitTest(ui::kAbandonButton, 360, 270));
}

// The install's two questions are put in Yes/No boxes of the install's caption. Keeping the
// earlier data takes a Yes; the sentence library is declined only by a No, so a box that could
// not be shown (0) leaves it to be added.
TEST(SetupWindow, PutsTheInstallsQuestionsToTheUser) {
  struct NoSteps : ui::SetupSteps {
    bool OpenPayload() override { return true; }
    void LoadServerAddresses(std::string*, std::string*) override {}
    void WriteSettingsFiles() override {}
    core::InstallReport Install(const std::string&, core::InstallObserver&) override { return {}; }
    bool VerifyInstallation() override { return true; }
    void ActivateImeLayout() override {}
    std::span<const uint8_t> LoadPicture(const std::string&) override { return {}; }
  };
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
    platform::fake::FakePlatform fake;
    core::SetupState s(fake.os());
    NoSteps steps;
    ui::SetupWindow window(s, steps);
    fake.dialogs.answers = {c.answer, c.answer};
    EXPECT_EQ(window.KeepEarlierData(), c.keep) << c.answer;
    EXPECT_EQ(window.AddSentenceLibrary(), c.library) << c.answer;
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
