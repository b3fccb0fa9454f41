// Benchmarks that must run inside Windows (Wine), on the setup's own code with the real platform:
//   wine_bench unpack PAYLOAD.tvz DIR [RUNS]
//       UnpackArchive into DIR against its limit for the same entries (zlib uncompress into memory
//       plus one write of each file through the same file layer), alternating; minimum, median,
//       ratio.
//   wine_bench install
//       the silent road exactly as "tavosetup.exe settvsrf32" runs it, in this process, which
//       carries the same payload resource; then the process's memory figures: peak working set
//       and private bytes before and after, and the highest private bytes seen by a sampling
//       thread during the install (Wine reports no peak of private bytes itself). Private bytes
//       are the PagefileUsage counter, which is what Wine fills (resident anonymous memory).
//   wine_bench paint [RUNS]
//       the setup window with each page drawn RUNS times (invalidate + UpdateWindow, so one
//       synchronous WM_PAINT each); milliseconds per repaint.
#include <windows.h>
// psapi.h needs the types of windows.h.
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "archive/archive_format.h"
#include "archive/archive_reader.h"
#include "bench/unpack_limit.h"
#include "core/system_facts.h"
#include "flow/install_check.h"
#include "flow/install_sequence.h"
#include "flow/interactive_road.h"
#include "flow/open_payload.h"
#include "flow/setup_main.h"
#include "flow/startup.h"
#include "platform/win32/win32_platform.h"
#include "system/settings_files.h"
#include "ui/setup_window.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER count;
  ::QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool ReadWholeFile(const char* path, std::string* bytes) {
  HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD size = ::GetFileSize(file, nullptr);
  bytes->resize(size);
  DWORD got = 0;
  bool ok = size != INVALID_FILE_SIZE && ::ReadFile(file, bytes->data(), size, &got, nullptr) && got == size;
  ::CloseHandle(file);
  return ok;
}

void RemoveFiles(const std::string& dir) {
  WIN32_FIND_DATAA found;
  HANDLE search = ::FindFirstFileA((dir + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileA((dir + found.cFileName).c_str());
  } while (::FindNextFileA(search, &found));
  ::FindClose(search);
}

int BenchUnpack(const char* payloadPath, std::string dir, int runs) {
  std::string image;
  if (!ReadWholeFile(payloadPath, &image)) {
    std::fprintf(stderr, "wine_bench: cannot read %s\n", payloadPath);
    return 1;
  }
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  ::CreateDirectoryA(dir.c_str(), nullptr);
  platform::win32::Win32Platform os(::GetModuleHandleA(nullptr));
  core::SetupState s(os.os());
  s.WorkBuffer = s.os.resources.AllocZeroed(archive::kWorkBufferSize);
  std::vector<uint8_t> raw(archive::kWorkBufferSize - archive::kNameAreaSize);
  std::vector<double> unpackTimes, rawTimes;
  for (int run = 0; run < runs; ++run) {
    for (int which = 0; which < 2; ++which) {  // alternate, so both see the same machine state
      double start = Now();
      bool ok;
      if (which == 0) {
        s.InstallDir = dir;
        ok = archive::UnpackArchive(s, reinterpret_cast<const uint8_t*>(image.data()), image.size(),
                                    s.WorkBuffer->Data(), s.WorkBuffer->Size());
        unpackTimes.push_back(Now() - start);
      } else {
        ok = bench::UnpackAtLimit(s.os.files, image, dir, raw);
        rawTimes.push_back(Now() - start);
      }
      RemoveFiles(dir);
      if (!ok) {
        std::fprintf(stderr, "wine_bench: %s failed\n", which ? "raw unpack" : "UnpackArchive");
        return 1;
      }
    }
  }
  bench::PrintUnpackFigures(payloadPath, image.size(), runs, unpackTimes, rawTimes);
  return 0;
}

PROCESS_MEMORY_COUNTERS_EX Counters() {
  PROCESS_MEMORY_COUNTERS_EX c{};
  c.cb = sizeof c;
  ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&c), sizeof c);
  return c;
}

std::atomic<bool> samplerStop{false};
std::atomic<size_t> privatePeak{0};

DWORD WINAPI SamplePrivateBytes(void*) {
  while (!samplerStop.load()) {
    size_t now = Counters().PagefileUsage;
    if (now > privatePeak.load()) privatePeak.store(now);
    ::Sleep(1);
  }
  return 0;
}

double MiB(size_t bytes) { return static_cast<double>(bytes) / (1024.0 * 1024.0); }

int BenchInstall() {
  HMODULE self = ::GetModuleHandleA(nullptr);
  HRSRC payload = ::FindResourceA(self, "KELVTVZ", "TVZ");
  size_t payloadSize = payload ? ::SizeofResource(self, payload) : 0;
  PROCESS_MEMORY_COUNTERS_EX before = Counters();
  privatePeak.store(before.PagefileUsage);
  HANDLE sampler = ::CreateThread(nullptr, 0, SamplePrivateBytes, nullptr, 0, nullptr);
  int code;
  double start = Now();
  {
    platform::win32::Win32Platform os(self);
    code = flow::SetupMain(os.os(), "settvsrf32", SW_SHOW);
  }
  double seconds = Now() - start;
  samplerStop.store(true);
  if (sampler) {
    ::WaitForSingleObject(sampler, INFINITE);
    ::CloseHandle(sampler);
  }
  PROCESS_MEMORY_COUNTERS_EX after = Counters();
  size_t peak = std::max(privatePeak.load(), static_cast<size_t>(after.PagefileUsage));
  std::printf(
      "silent install: exit code %d, %.1f ms from the start-up to the end of the road; payload image %.2f MiB\n", code,
      1000 * seconds, MiB(payloadSize));
  std::printf("%-36s %10s %10s %10s\n", "MiB", "before", "after", "growth");
  std::printf("%-36s %10.2f %10.2f %10.2f\n", "peak working set", MiB(before.PeakWorkingSetSize),
              MiB(after.PeakWorkingSetSize), MiB(after.PeakWorkingSetSize - before.PeakWorkingSetSize));
  std::printf("%-36s %10.2f %10.2f %10.2f\n", "private bytes (highest seen)", MiB(before.PagefileUsage), MiB(peak),
              MiB(peak - before.PagefileUsage));
  std::printf("peak private bytes beyond the start: %.2f MiB (goal <= 8 MiB beyond the payload image)\n",
              MiB(peak - before.PagefileUsage));
  return code;
}

// Where the silent road's time goes: its steps as RunSilentRoad takes them, timed one by one,
// and the install itself cut at the points it reports to its observer.
class StepClock : public core::InstallObserver {
 public:
  void RedrawDirectoryPage() override { marks.push_back(Now()); }
  void ShowProgress(int, int) override { marks.push_back(Now()); }
  void Pause() override {}
  // As the silent road answers.
  bool KeepEarlierData() override { return true; }
  bool AddSentenceLibrary() override { return false; }
  std::vector<double> marks;  // per pass: page, page again after the unpack, progress
};

int BenchProfile() {
  platform::win32::Win32Platform os(::GetModuleHandleA(nullptr));
  core::SetupState s(os.os());
  std::vector<std::pair<const char*, double>> steps;
  double t = Now();
  auto step = [&](const char* name) {
    double now = Now();
    steps.push_back({name, now - t});
    t = now;
  };
  if (flow::StartUp(s, "settvsrf32") != flow::Road::Silent) return 1;
  step("start-up (facts, stores, rights)");
  // The silent road's own first step, timed as one.
  if (!flow::OpenPayload(s)) return 1;
  step("payload, work buffer and backup of the user's data");
  sys::ReadServerAddresses(s);
  StepClock clock;
  double installStart = Now();
  core::InstallReport report = flow::RunInstall(s, s.InstallDir, clock);
  double installEnd = Now();
  if (clock.marks.size() != 6) return 1;
  const std::vector<double>& m = clock.marks;
  steps.push_back({"install: stores, settings, preload", m[0] - installStart});
  steps.push_back({"install: unpack (and restore)", m[1] - m[0]});
  steps.push_back({"install: copies in the directory", m[2] - m[1]});
  steps.push_back({"install: system copies, registration", m[3] - m[2]});
  steps.push_back({"install: second pass", m[5] - m[3]});
  steps.push_back({"install: entries and program starts", installEnd - m[5]});
  t = installEnd;
  bool checked = flow::VerifyInstallation(s, false);
  step("installation check");
  s.WorkBuffer.reset();
  s.PayloadImage.reset();
  step("release");
  double total = 0;
  for (const auto& [name, seconds] : steps) total += seconds;
  std::printf("silent road by step (%s, data kept: %s, check %s), ms\n",
              s.BackupState == core::Backup::None ? "no earlier install" : "over an earlier install",
              s.BackupState == core::Backup::DataKept ? "yes" : "no", checked ? "passed" : "failed");
  for (const auto& [name, seconds] : steps) std::printf("  %-40s %8.1f\n", name, 1000 * seconds);
  std::printf("  %-40s %8.1f\n", "total", 1000 * total);
  return report.outcome == core::InstallOutcome::Done ? 0 : 1;
}

// The setup window, each page drawn on demand by setting the page and repainting.
int BenchPaint(int runs) {
  platform::win32::Win32Platform os(::GetModuleHandleA(nullptr));
  core::SetupState s(os.os());
  core::FindSystemFacts(s);
  s.InstallDir = "C:\\tavohu\\";
  flow::WindowSteps steps(s);
  ui::SetupWindow window(s, steps);
  if (!window.RegisterSetupClass() || !window.CreateSetupWindow(SW_SHOW)) {
    std::fprintf(stderr, "wine_bench: the setup window could not be made\n");
    return 1;
  }
  struct Page {
    ui::Page page;
    const char* name;
  };
  const Page pages[] = {{ui::Page::Welcome, "welcome (picture decompressed)"},
                        {ui::Page::Address, "address"},
                        {ui::Page::Directory, "directory"},
                        {ui::Page::Processing, "processing"},
                        {ui::Page::TryOut, "try-out"}};
  std::printf("full paints of each page of the setup window, %d each (ms)\n", runs);
  std::printf("%-32s %8s %8s\n", "page", "min", "median");
  for (const Page& page : pages) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
      MSG message;
      while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
      double start = Now();
      {
        auto painter = s.os.windows.WindowPainter();
        window.PaintPage(page.page, *painter);
      }
      ::GdiFlush();
      times.push_back(Now() - start);
    }
    std::printf("%-32s %8.2f %8.2f\n", page.name, 1000 * bench::Min(times), 1000 * bench::Median(times));
  }
  s.os.windows.Destroy(0);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string command = argc > 1 ? argv[1] : "";
  if (command == "unpack" && argc > 3)
    return BenchUnpack(argv[2], argv[3], argc > 4 ? std::max(1, std::atoi(argv[4])) : 9);
  if (command == "install") return BenchInstall();
  if (command == "profile") return BenchProfile();
  if (command == "paint") return BenchPaint(argc > 2 ? std::max(1, std::atoi(argv[2])) : 20);
  std::fprintf(stderr,
               "usage: wine_bench unpack PAYLOAD.tvz DIR [RUNS]\n"
               "       wine_bench install\n"
               "       wine_bench profile\n"
               "       wine_bench paint [RUNS]\n");
  return 2;
}
