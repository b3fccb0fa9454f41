#include "tools/payload_source.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/support/archive_fixture.h"

namespace {

std::string Read(const flow::PayloadView& view, const std::string& name) {
  std::string bytes = "untouched";
  return view.read(name, &bytes) ? bytes : "(cannot be read)";
}

TEST(PayloadSource, AnArchiveGivesItsEntriesAndTheirBytes) {
  auto image = std::make_shared<const std::string>(
      testing_support::PackOrDie({{"a.txt", "alpha"}, {"b.ime", std::string(3000, 'b')}}));
  const flow::PayloadView view = tools::PayloadInArchive(image);
  ASSERT_EQ(view.files.size(), 2u);
  EXPECT_EQ(view.files[0].name, "a.txt");
  EXPECT_EQ(view.files[0].size, 5u);
  EXPECT_EQ(view.files[1].size, 3000u);
  EXPECT_EQ(Read(view, "b.ime"), std::string(3000, 'b'));
  EXPECT_EQ(Read(view, "A.TXT"), "(cannot be read)");  // the setup looks entries up exactly
}

TEST(PayloadSource, FilesGiveTheirSizesAndBytes) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "payload_source";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "one.tvh", std::ios::binary) << "table";
  const flow::PayloadView view =
      tools::PayloadInFiles({{"one.tvh", dir / "one.tvh"}, {"gone.tvh", dir / "gone.tvh"}});
  ASSERT_EQ(view.files.size(), 2u);
  EXPECT_EQ(view.files[0].size, 5u);
  EXPECT_NE(view.files[1].size, 0u);  // not taken for an empty file
  EXPECT_EQ(Read(view, "one.tvh"), "table");
  EXPECT_EQ(Read(view, "gone.tvh"), "(cannot be read)");
  std::filesystem::remove_all(dir);
}

}  // namespace
