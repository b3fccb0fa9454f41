#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CommandLine, TailFollowsTheProgramName) {
  const struct {
    std::string line;
    std::string tail;
  } cases[] = {
      {"C:\\setup\\tavosetup.exe settvsrf32", "settvsrf32"},
      {"tavosetup.exe", ""},
      {"tavosetup.exe   \t regtv32=d:\\my dir\\  ", "regtv32=d:\\my dir\\  "},
      {"\"C:\\Program Files\\setup\\tavosetup.exe\" regtv32=e:\\tavohu", "regtv32=e:\\tavohu"},
      {"\"C:\\Program Files\\setup\\tavosetup.exe\"", ""},
      // A quote opened in the middle of the name holds its blanks too.
      {"C:\\my\" \"dir\\tavosetup.exe settvsrf32", "settvsrf32"},
      // GBK bytes in an unquoted name (\xB0\xB2 \xD7\xB0: two characters) belong to the name.
      {"C:\\\xB0\xB2\xD7\xB0\\tavosetup.exe settvsrf32", "settvsrf32"},
      {"", ""},
      {std::string("tavosetup.exe a\0b", 17), "a"},
  };
  for (const auto& c : cases) EXPECT_EQ(platform::CommandTail(c.line), c.tail) << c.line;
}

}  // namespace
