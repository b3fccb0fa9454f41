#include "tests/sweep/sweep_machine.h"

#include <gtest/gtest.h>

namespace sweep {
namespace {

// The judgement the crash sweep makes right after a stop, on machines made to show each fault.
TEST(SweepJudgements, AModuleInTheSystemDirectoryIsWholeOnlyWithBytesSomeWholeFileHad) {
  const std::string module = "c:\\windows\\system32\\tavohu4.ime";
  const std::string placed = std::string(40, 'm');  // the payload's module
  Snapshot before, complete;
  before.files[module] = "earlier module";
  complete.files[module] = placed;
  struct Case {
    const char* name;
    std::map<std::string, std::string> files;
    std::vector<std::string> broken;
  };
  const Case cases[] = {
      {"the earlier bytes", {{module, "earlier module"}}, {}},
      {"the new bytes", {{module, placed}}, {}},
      {"a stub of the payload in its place", {{module, "stub32"}}, {}},
      {"the earlier module under its aside name",
       {{module, placed}, {"c:\\windows\\system32\\tavohu2.ime", "earlier module"}},
       {}},
      {"a piece of the new module", {{module, placed.substr(0, 20)}}, {module + " not whole (20 bytes)"}},
      {"an empty module", {{module, ""}}, {module + " not whole (0 bytes)"}},
      {"the module gone", {}, {module + " gone"}},
      {"a piece of a new program",
       {{module, placed}, {"c:\\windows\\syswow64\\tavodel.exe", "uninst"}},
       {"c:\\windows\\syswow64\\tavodel.exe not whole (6 bytes)"}},
      {"a piece on its way to a module", {{module, placed}, {"c:\\windows\\system32\\tavohu4.new", "mm"}}, {}},
      {"a piece outside the system directories", {{module, placed}, {"c:\\tavohu\\tavohu32.ime", "mm"}}, {}},
  };
  for (const Case& c : cases) {
    Snapshot now;
    now.files = c.files;
    EXPECT_EQ(SystemFilesNotWhole(before, now, complete), c.broken) << c.name;
  }
}

}  // namespace
}  // namespace sweep
