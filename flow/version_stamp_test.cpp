#include "flow/version_stamp.h"

#include <gtest/gtest.h>

#include "tests/support/archive_fixture.h"
#include "tests/support/module_bytes.h"

namespace {

using testing_support::Module;
using testing_support::Stamped;
using testing_support::Version;

class VersionStamp : public testing_support::ArchiveTest {};

TEST_F(VersionStamp, StampModuleVersion) {
  struct Case {
    std::string before, after;
  };
  const Case cases[] = {
      {Module("m", "  6.3"), Stamped("m", "  6.3")},
      {Module("m", "  6.7"), Stamped("m", "  6.7")},
      {Module("m", "  7.1"), Module("m", "  7.1")},
      {Module("m", "  6.5"), Module("m", "  6.5")},
      {Module("m", "  6.3") + std::string(131072, 'x'), Module("m", "  6.3") + std::string(131072, 'x')},
      {Version("  6.3").substr(0, 20), Version("  6.3").substr(0, 20)},
  };
  for (const auto& c : cases) {
    fake.files.AddFile("c:\\tavohu\\m.ime", c.before);
    flow::StampModuleVersion(s, "c:\\tavohu\\m.ime");
    EXPECT_EQ(File("m.ime"), c.after);
  }
  // A file without a stamp to change is not rewritten: on a full disk a rewrite would lose it.
  fake.files.AddFile("c:\\tavohu\\m.ime", Module("m", "  7.1"));
  fake.files.FillDisk("c:\\tavohu");
  flow::StampModuleVersion(s, "c:\\tavohu\\m.ime");
  EXPECT_EQ(File("m.ime"), Module("m", "  7.1"));

  // A read that fails after the open leaves the file intact.
  fake.files.AddFile("c:\\tavohu\\m.ime", Module("m", "  6.3"));
  fake.files.LimitReads("c:\\tavohu\\m.ime", 10);
  flow::StampModuleVersion(s, "c:\\tavohu\\m.ime");
  EXPECT_EQ(File("m.ime"), Module("m", "  6.3"));
}

// In memory: each stamp of 6.3 or 6.7 becomes 7.1; other versions and a text cut short stay.
TEST(VersionStampBytes, StampsEveryVersionTextAndNothingElse) {
  struct Case {
    std::string before, after;
    bool changed;
  };
  const Case cases[] = {
      {Module("m", "  6.3"), Stamped("m", "  6.3"), true},
      {Module("m", "  6.7"), Stamped("m", "  6.7"), true},
      {Module("m", "  6.5"), Module("m", "  6.5"), false},
      {Version("  6.3").substr(0, 23), Version("  6.3").substr(0, 23), false},
      {"", "", false},
  };
  for (const auto& c : cases) {
    std::string bytes = c.before;
    EXPECT_EQ(flow::StampVersion(reinterpret_cast<uint8_t*>(bytes.data()), bytes.size()), c.changed);
    EXPECT_EQ(bytes, c.after);
  }
}

}  // namespace
