#include "core/install_log.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"

namespace {

using platform::fake::FakePlatform;
using testing_support::Encode;

TEST(InstallLog, LinesEndWithCrLfAndPathsComeOutInUtf8) {
  struct Case {
    uint32_t codePage;
    std::string ansiPath;  // bytes of that code page
    std::string utf8Path;
  };
  const Case cases[] = {
      {936, Encode("D:\\我的 目录\\", "GBK"), "D:\\我的 目录\\"},
      {950, Encode("D:\\輸入 法\\", "BIG5"), "D:\\輸入 法\\"},
      {936, "C:\\tavohu\\", "C:\\tavohu\\"},
      // A lead byte cut off at the end is no character: Windows gives U+FFFD for it too.
      {936, "C:\\x\xC4", "C:\\x\xEF\xBF\xBD"},
  };
  for (const Case& c : cases) {
    FakePlatform fake;
    fake.system.ansiCodePage = c.codePage;
    core::InstallLog log;
    ASSERT_TRUE(log.Open(fake.files, fake.system, "C:\\t.log"));
    log.Step("copy", c.ansiPath, true);
    log.Step("copy", c.ansiPath, false);
    log.Line("exit code 0");
    EXPECT_EQ(fake.files.Contents("C:\\t.log"),
              "copy " + c.utf8Path + ": ok\r\ncopy " + c.utf8Path + ": failed\r\nexit code 0\r\n")
        << c.utf8Path;
  }
}

TEST(InstallLog, AnUnwritableLogStaysOffAndStopsNothing) {
  FakePlatform fake;
  core::InstallLog log;
  EXPECT_FALSE(log.Open(fake.files, fake.system, "Q:\\nowhere\\t.log"));
  EXPECT_FALSE(log.Open(fake.files, fake.system, ""));
  EXPECT_FALSE(log.IsOn());
  log.Line("nothing");
  log.Step("copy", "C:\\x", true);
  EXPECT_EQ(log.Ansi("C:\\x"), "");

  // A disk that fills up: the lines that do not fit are dropped, no call fails.
  fake.files.AddDirectory("C:\\full");
  fake.files.FillDisk("C:\\full");
  core::InstallLog full;
  ASSERT_TRUE(full.Open(fake.files, fake.system, "C:\\full\\t.log"));
  full.Line("lost");
  full.Line("lost too");
  EXPECT_EQ(fake.files.Contents("C:\\full\\t.log"), "");
}

}  // namespace
