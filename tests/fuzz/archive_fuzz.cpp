// libFuzzer target: any bytes as an archive image, through the strict verification, the entry
// walk of the readers and the unpack into a fake install directory. The sanitizers report any
// read outside the image; the checks below report any file written outside the directory.
#include <cstdint>
#include <cstdlib>

#include "app/setup_state.h"
#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "platform/fake/fake_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<archive::EntryReport> entries;
  std::string fault;
  archive::VerifyArchive(data, size, 1 << 16, &entries, &fault);

  platform::fake::FakePlatform fake;
  fake.files.AddDirectory("c:\\t");
  app::SetupState s(fake.os());
  s.InstallDir = "c:\\t\\";
  s.WorkBuffer = fake.resources.AllocZeroed((1 << 16) + 100);
  archive::UnpackArchive(s, data, size, s.WorkBuffer->Data(), s.WorkBuffer->Size());
  for (const std::string& file : fake.files.AllFiles()) {
    if (file.rfind("c:\\t\\", 0) != 0 || file.find('\\', 5) != std::string::npos) std::abort();
  }
  return 0;
}
