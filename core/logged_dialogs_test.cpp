#include "core/logged_dialogs.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"

namespace {

using platform::fake::FakePlatform;

TEST(LoggedDialogs, EveryBoxIsLoggedWithItsAnswerAndSuppressedOnesAreNotShown) {
  struct Case {
    bool suppress;
    uint32_t type;
    int userAnswer;  // what the person at the machine clicks
    int answer;
    const char* line;
  };
  const Case cases[] = {
      {false, platform::kMbOk, platform::kIdOk, platform::kIdOk, "message box [Tavo安装] 第一行 第二行: OK"},
      {false, platform::kMbYesNo, platform::kIdYes, platform::kIdYes, "message box [Tavo安装] 第一行 第二行: Yes"},
      {false, platform::kMbYesNo, platform::kIdNo, platform::kIdNo, "message box [Tavo安装] 第一行 第二行: No"},
      {true, platform::kMbOk, platform::kIdYes, platform::kIdOk, "message box suppressed [Tavo安装] 第一行 第二行: OK"},
      {true, platform::kMbYesNo, platform::kIdYes, platform::kIdNo,
       "message box suppressed [Tavo安装] 第一行 第二行: No"},
  };
  const std::string gbkText = testing_support::Encode("第一行\r\n第二行", "GBK");
  const std::string gbkCaption = testing_support::Encode("Tavo安装", "GBK");
  for (const Case& c : cases) {
    for (bool wide : {false, true}) {
      FakePlatform fake;
      core::InstallLog log;
      ASSERT_TRUE(log.Open(fake.files, fake.system, "C:\\t.log"));
      core::LoggedDialogs dialogs(fake.dialogs);
      dialogs.Attach(log, c.suppress);
      fake.dialogs.answers.push_back(c.userAnswer);
      int answer = wide ? dialogs.MessageW(u"第一行\r\n第二行", u"Tavo安装", c.type)
                        : dialogs.MessageA(gbkText, gbkCaption, c.type);
      EXPECT_EQ(answer, c.answer) << c.line;
      EXPECT_EQ(fake.dialogs.shown.size(), c.suppress ? 0u : 1u) << c.line;
      EXPECT_EQ(fake.files.Contents("C:\\t.log"), std::string(c.line) + "\r\n") << wide;
    }
  }
}

TEST(LoggedDialogs, WithoutALogTheBoxesPassThrough) {
  FakePlatform fake;
  core::InstallLog off;
  core::LoggedDialogs dialogs(fake.dialogs);
  fake.dialogs.answers = {platform::kIdYes};
  EXPECT_EQ(dialogs.MessageW(u"q", u"c", platform::kMbYesNo), platform::kIdYes);  // not attached yet
  dialogs.Attach(off, false);
  fake.dialogs.answers = {platform::kIdYes};
  EXPECT_EQ(dialogs.MessageA("q", "c", platform::kMbYesNo), platform::kIdYes);
  EXPECT_EQ(fake.dialogs.shown.size(), 2u);
  dialogs.Attach(off, true);
  EXPECT_EQ(dialogs.MessageA("q", "c", platform::kMbYesNo), platform::kIdNo);
  EXPECT_EQ(fake.dialogs.shown.size(), 2u);
}

}  // namespace
