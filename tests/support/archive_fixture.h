// A fake machine with an install directory c:\tavohu\, the 2 MiB work buffer and a payload image
// built from named contents, for the archive and deployment tests.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_writer.h"
#include "core/setup_state.h"
#include "platform/fake/fake_platform.h"

namespace testing_support {

inline std::string PackOrDie(const std::vector<archive::NamedContent>& files) {
  std::string image, error;
  if (!archive::PackArchive(files, &image, &error)) ADD_FAILURE() << error;
  return image;
}

// The machine itself, usable as a value in table-driven tests.
struct ArchiveMachine {
  ArchiveMachine() {
    fake.files.AddDirectory("c:\\tavohu");
    s.InstallDir = "c:\\tavohu\\";
    s.WorkBuffer = fake.resources.AllocZeroed(archive::kWorkBufferSize);
  }
  void SetPayload(const std::string& image) {
    fake.resources.images["TVZ/KELVTVZ"] = image;
    s.PayloadImage = fake.resources.Load("TVZ", "KELVTVZ");
  }
  uint8_t* Work() { return s.WorkBuffer->Data(); }
  std::string File(const std::string& name) const { return fake.files.Contents("c:\\tavohu\\" + name); }
  bool Has(const std::string& name) const { return fake.files.HasFile("c:\\tavohu\\" + name); }
  // The texts of the message boxes shown, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> texts;
    for (const auto& m : fake.dialogs.shown) texts.push_back(m.text);
    return texts;
  }

  platform::fake::FakePlatform fake;
  core::SetupState s{fake.os()};
};

class ArchiveTest : public ::testing::Test, public ArchiveMachine {};

// The payload of a small but complete product: every module, program and dictionary the install
// copies, and enough further files (80 in all) for the installation check.
std::vector<archive::NamedContent> CompleteProductFiles();

// Bytes that do not compress, the same for the same seed.
std::string RandomBytes(size_t n, unsigned seed);

// "没有成功解压复制<name>文件！请重新下载安装。" in GBK.
std::string UnpackFailedText(const std::string& name);

}  // namespace testing_support
