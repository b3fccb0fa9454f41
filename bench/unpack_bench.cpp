// Unpack benchmark: the setup's UnpackArchive writing the payload into a fresh directory, against
// the limit for the same entries: zlib uncompress of each into memory plus one write of each
// file. Prints minimum and median of both and their ratio (limit time / unpack time).
//   unpack_bench [PAYLOAD.tvz] [RUNS]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "bench/unpack_limit.h"
#include "core/setup_state.h"
#include "platform/fake/fake_platform.h"
#include "platform/posix/posix_files.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

}  // namespace

int main(int argc, char** argv) {
  std::string path = argc > 1 ? argv[1] : "build/win32/generated/payload.tvz";
  int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
  std::ifstream in(path, std::ios::binary);
  std::string image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (image.empty()) {
    std::fprintf(stderr, "unpack_bench: cannot read %s\n", path.c_str());
    return 1;
  }

  platform::fake::FakePlatform fake;
  platform::posix::PosixFiles files;
  platform::Platform os{files,          fake.registry,  fake.system,  fake.ime,
                        fake.processes, fake.resources, fake.dialogs, fake.windows};
  core::SetupState s(os);
  s.WorkBuffer = fake.resources.AllocZeroed(archive::kWorkBufferSize);
  std::vector<uint8_t> raw(archive::kWorkBufferSize - archive::kNameAreaSize);

  fs::path root = fs::temp_directory_path() / ("unpack_bench." + std::to_string(::getpid()));
  std::vector<double> unpackTimes, rawTimes;
  for (int run = 0; run < runs; ++run) {
    for (int which = 0; which < 2; ++which) {  // alternate, so both see the same machine state
      fs::path dir = root / (std::to_string(run) + (which ? "raw" : "unpack"));
      fs::create_directories(dir);
      std::string dirText = dir.string() + "/";
      auto start = Clock::now();
      bool ok;
      if (which == 0) {
        s.InstallDir = dirText;
        ok = archive::UnpackArchive(s, reinterpret_cast<const uint8_t*>(image.data()), image.size(),
                                    s.WorkBuffer->Data(), s.WorkBuffer->Size());
        unpackTimes.push_back(Seconds(start));
      } else {
        ok = bench::UnpackAtLimit(files, image, dirText, raw);
        rawTimes.push_back(Seconds(start));
      }
      if (!ok) {
        std::fprintf(stderr, "unpack_bench: %s failed\n", which ? "raw unpack" : "UnpackArchive");
        fs::remove_all(root);
        return 1;
      }
      fs::remove_all(dir);
    }
  }
  fs::remove_all(root);
  bench::PrintUnpackFigures(path, image.size(), runs, unpackTimes, rawTimes);
  return 0;
}
