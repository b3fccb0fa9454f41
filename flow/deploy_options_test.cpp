#include "flow/deploy_options.h"

#include <gtest/gtest.h>

#include "tests/support/encoding.h"

namespace {

using testing_support::Encode;

TEST(DeployOptions, SplitsTheLineAtDAndTakesTheLogOut) {
  struct Case {
    std::string line;
    std::string switches;
    bool targetGiven;
    std::string targetDir;
    bool logGiven;
    std::string logFile;
    bool suppress;
  };
  const std::string gbkDir = Encode("D:\\我的 目录", "GBK");
  const Case cases[] = {
      // Nothing new: the line is looked at whole, as before.
      {"settvsrf32", "settvsrf32", false, "", false, "", false},
      {"", "", false, "", false, "", false},
      {"regtv32=C:\\a b", "regtv32=C:\\a b", false, "", false, "", false},
      // /D= takes the rest of the line, blanks and all.
      {"settvsrf32 /D=C:\\my tavo", "settvsrf32 ", true, "C:\\my tavo", false, "", false},
      {"/D=C:\\x settvsrf32", "", true, "C:\\x settvsrf32", false, "", false},
      {"settvsrf32 /D=" + gbkDir, "settvsrf32 ", true, gbkDir, false, "", false},
      {"settvsrf32 /D=", "settvsrf32 ", true, "", false, "", false},
      // Switches inside the directory turn on nothing.
      {"settvsrf32 /D=C:\\regtv32x", "settvsrf32 ", true, "C:\\regtv32x", false, "", false},
      {"settvsrf32 /D=C:\\a /SUPPRESSMSGBOXES", "settvsrf32 ", true, "C:\\a /SUPPRESSMSGBOXES", false, "", false},
      {"settvsrf32 /D=C:\\a /LOG=x", "settvsrf32 ", true, "C:\\a /LOG=x", false, "", false},
      // Only a capital /D= after a blank or at the start counts.
      {"settvsrf32 /d=C:\\x", "settvsrf32 /d=C:\\x", false, "", false, "", false},
      {"settvsrf32/D=C:\\x", "settvsrf32/D=C:\\x", false, "", false, "", false},
      {"settvsrf32\t/D=C:\\x", "settvsrf32\t", true, "C:\\x", false, "", false},
      // The first /D= ends the switches; a second one belongs to the directory.
      {"settvsrf32 /D=C:\\a /D=C:\\b", "settvsrf32 ", true, "C:\\a /D=C:\\b", false, "", false},
      // /LOG= runs to the next blank, or between quotes.
      {"settvsrf32 /LOG=C:\\t.log /D=C:\\x", "settvsrf32  ", true, "C:\\x", true, "C:\\t.log", false},
      {"/log=c:\\settvsrf32.log", "", false, "", true, "c:\\settvsrf32.log", false},
      {"settvsrf32 /LOG=\"C:\\my logs\\t.log\" /SUPPRESSMSGBOXES", "settvsrf32  /SUPPRESSMSGBOXES", false, "", true,
       "C:\\my logs\\t.log", true},
      {"settvsrf32 /LOG=\"C:\\open quote", "settvsrf32 ", false, "", true, "C:\\open quote", false},
      {"settvsrf32 /LOG=", "settvsrf32 ", false, "", true, "", false},
      {"settvsrf32 x/LOG=C:\\t.log", "settvsrf32 x/LOG=C:\\t.log", false, "", false, "", false},
      // A log name holding a road's switch does not turn that road on.
      {"/LOG=C:\\regtv32.log settvsrf32", " settvsrf32", false, "", true, "C:\\regtv32.log", false},
      {"settvsrf32 /suppressmsgboxes", "settvsrf32 /suppressmsgboxes", false, "", false, "", true},
  };
  for (const Case& c : cases) {
    flow::DeployOptions options = flow::ReadDeployOptions(c.line);
    EXPECT_EQ(options.switches, c.switches) << c.line;
    EXPECT_EQ(options.targetGiven, c.targetGiven) << c.line;
    EXPECT_EQ(options.targetDir, c.targetDir) << c.line;
    EXPECT_EQ(options.logGiven, c.logGiven) << c.line;
    EXPECT_EQ(options.logFile, c.logFile) << c.line;
    EXPECT_EQ(options.suppressBoxes, c.suppress) << c.line;
  }
}

}  // namespace
