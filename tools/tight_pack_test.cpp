#include "tools/tight_pack.h"

#include <gtest/gtest.h>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/archive_writer.h"
#include "tests/support/archive_fixture.h"

namespace {

// Contents like the payload's: text tables, incompressible bytes, nothing at all, a run.
std::vector<archive::NamedContent> Contents() {
  std::string table;
  for (int i = 0; i < 4000; ++i) table += "\xC4\xE3\xBA\xC3 " + std::to_string(i * 7919 % 1000) + "\r\n";
  return {{"table.txt", table},
          {"noise.bin", testing_support::RandomBytes(70000, 3)},
          {"empty.txt", ""},
          {"run.bmp", std::string(300000, 'z')}};
}

std::vector<std::string> Streams(const std::string& image) {
  uint32_t count = 0;
  archive::ReadEntryCount(reinterpret_cast<const uint8_t*>(image.data()), image.size(), &count);
  archive::EntryWalker walker(reinterpret_cast<const uint8_t*>(image.data()), image.size(), count);
  archive::Entry entry;
  std::vector<std::string> streams;
  while (walker.Next(&entry) == archive::WalkStep::Entry) {
    streams.emplace_back(reinterpret_cast<const char*>(entry.data), entry.compressedLength);
  }
  return streams;
}

// The tight packer writes the format the setup has always read: every stream begins with
// 0x78 0x9C and unpacks with zlib to its content, and the archive is no larger than zlib's.
TEST(TightPack, WritesTheSameFormatSmaller) {
  std::string tight, plain, error;
  ASSERT_TRUE(archive::PackArchive(Contents(), &tight, &error, tools::TightPack)) << error;
  ASSERT_TRUE(archive::PackArchive(Contents(), &plain, &error)) << error;
  std::vector<std::string> streams = Streams(tight);
  ASSERT_EQ(streams.size(), 4u);
  for (const std::string& stream : streams) {
    EXPECT_EQ(static_cast<uint8_t>(stream[0]), 0x78);
    EXPECT_EQ(static_cast<uint8_t>(stream[1]), 0x9C);
  }
  EXPECT_LT(tight.size(), plain.size());

  testing_support::ArchiveMachine bench;
  uint32_t written = 0;
  archive::UnpackArchive(bench.s, reinterpret_cast<const uint8_t*>(tight.data()), tight.size(), bench.Work(),
                         bench.s.WorkBuffer->Size(), &written);
  EXPECT_EQ(written, 3u);  // the empty file unpacks to nothing, which the setup counts as a failure
  for (const auto& content : Contents()) {
    if (!content.bytes.empty()) {
      EXPECT_EQ(bench.File(content.name), content.bytes) << content.name;
    }
  }
}

// A packer whose stream does not give the content back is caught before the archive is written.
TEST(TightPack, AStreamThatDoesNotUnpackIsRefused) {
  auto broken = [](const std::string& bytes, std::string* stream) {
    if (!tools::TightPack(bytes, stream)) return false;
    (*stream)[stream->size() - 1] ^= 1;  // the Adler-32 check
    return true;
  };
  std::string image, error;
  EXPECT_FALSE(archive::PackArchive({{"a.txt", "some text to pack"}}, &image, &error, broken));
  EXPECT_NE(error.find("a.txt"), std::string::npos) << error;
  EXPECT_TRUE(image.empty());
}

}  // namespace
