// Unpack benchmark: the setup's UnpackArchive writing the payload into a fresh directory, against
// the limit for the same entries: zlib uncompress of each into memory plus one write of each
// file. Prints minimum and median of both and their ratio (limit time / unpack time).
//   unpack_bench [PAYLOAD.tvz] [RUNS]
#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/setup_state.h"
#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "platform/fake/fake_platform.h"
#include "platform/posix/posix_files.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

bool RawUnpack(const std::string& image, const std::string& dir, std::vector<uint8_t>& out) {
  auto bytes = reinterpret_cast<const uint8_t*>(image.data());
  uint32_t count = 0;
  archive::ReadEntryCount(bytes, image.size(), &count);
  archive::EntryWalker walker(bytes, image.size(), count);
  archive::Entry entry;
  while (walker.Next(&entry) == archive::WalkStep::Entry) {
    uLongf produced = out.size();
    if (uncompress(out.data(), &produced, entry.data, entry.compressedLength) != Z_OK) return false;
    int fd = ::open((dir + entry.name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0 || ::write(fd, out.data(), produced) != static_cast<ssize_t>(produced)) return false;
    ::close(fd);
  }
  return true;
}

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
  platform::Platform os{files, fake.registry, fake.system, fake.ime, fake.processes, fake.resources, fake.dialogs,
                        fake.windows};
  app::SetupState s(os);
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
        ok = RawUnpack(image, dirText, raw);
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
  double ratio = Median(rawTimes) / Median(unpackTimes);
  std::printf("payload %s: %zu bytes, %d runs each\n", path.c_str(), image.size(), runs);
  std::printf("%-28s %10s %10s\n", "", "min ms", "median ms");
  std::printf("%-28s %10.1f %10.1f\n", "UnpackArchive", 1000 * *std::min_element(unpackTimes.begin(), unpackTimes.end()),
              1000 * Median(unpackTimes));
  std::printf("%-28s %10.1f %10.1f\n", "limit (uncompress + write)", 1000 * *std::min_element(rawTimes.begin(), rawTimes.end()),
              1000 * Median(rawTimes));
  std::printf("ratio limit/unpack (median): %.3f (goal >= 0.85)\n", ratio);
  return 0;
}
