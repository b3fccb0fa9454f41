// libFuzzer target: any bytes as an archive image, through the strict verification, the entry
// walk of the readers and every way the setup reads or extends an archive: the payload unpack,
// the restore of a backup, the default skin and appending to an existing backup archive. The
// sanitizers report any read outside the image; the checks below report any file written
// outside the directory, and any name the restore or the skin may not place.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "archive/archive_verify.h"
#include "archive/texts.h"
#include "archive/user_data.h"
#include "core/setup_state.h"
#include "platform/fake/fake_platform.h"

namespace {

constexpr char kDir[] = "c:\\t\\";
constexpr size_t kDataArea = 1 << 16;

struct Machine {
  explicit Machine(size_t workBuffer) {
    fake.files.AddDirectory("c:\\t");
    s.InstallDir = kDir;
    s.WorkBuffer = fake.resources.AllocZeroed(workBuffer);
  }
  // Every file lies directly in the install directory; `allowed` judges the new ones.
  void Check(bool (*allowed)(std::string_view), const std::string& except = "") {
    for (const std::string& file : fake.files.AllFiles()) {
      if (file.rfind(kDir, 0) != 0 || file.find('\\', 5) != std::string::npos) std::abort();
      std::string name = file.substr(5);
      if (allowed && name != except && !allowed(name)) std::abort();
    }
  }
  platform::fake::FakePlatform fake;
  core::SetupState s{fake.os()};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<archive::EntryReport> entries;
  std::string fault;
  archive::VerifyArchive(data, size, archive::UnpackRoom{kDataArea, kDataArea / 2, kDataArea}, &entries, &fault);

  {  // The payload.
    Machine m(kDataArea + archive::kNameAreaSize);
    archive::UnpackArchive(m.s, data, size, m.s.WorkBuffer->Data(), m.s.WorkBuffer->Size());
    m.Check(nullptr);
  }
  {  // A backup taken as this run's: only the names of the backup list come back.
    Machine m(kDataArea + archive::kNameAreaSize);
    m.fake.files.AddFile("c:\\t\\tavoback.tvz", bytes);
    if (archive::RememberBackup(m.s, "c:\\t\\tavoback.tvz")) archive::RestoreUserData(m.s);
    m.Check(archive::IsBackupEntryName, "tavoback.tvz");
  }
  {  // The default skin: never a module or a program.
    Machine m(archive::kSkinLoadSize + kDataArea + archive::kNameAreaSize);
    m.fake.files.AddFile(std::string(kDir) + archive::text::kDefaultSkin, bytes);
    archive::UnpackDefaultSkin(m.s);
    m.Check(archive::IsDataFileName);
  }
  {  // Appending to an existing archive: one more entry, or the archive as it was.
    Machine m(kDataArea + archive::kNameAreaSize);
    m.fake.files.AddFile("c:\\t\\tavoback.tvz", bytes);
    m.fake.files.AddFile("c:\\t\\userck.txt", "user phrases");
    bool added = archive::AddFileToArchive(m.s, "c:\\t\\tavoback.tvz", "c:\\t\\userck.txt");
    std::string after = m.fake.files.Contents("c:\\t\\tavoback.tvz");
    uint32_t before = 0, now = 0;
    if (!added && after != bytes) std::abort();
    if (added && (!archive::ReadEntryCount(data, size, &before) ||
                  !archive::ReadEntryCount(reinterpret_cast<const uint8_t*>(after.data()), after.size(), &now) ||
                  now != before + 1)) {
      std::abort();
    }
    m.Check(nullptr);
  }
  return 0;
}
