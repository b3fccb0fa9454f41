// Runs the seam table (tests/seam/seam_table.h) against the real Win32 layer, for the end-to-end
// tests; the host tests run the same table against the fake:
//   seamtable [SCRATCH [MODULE]]
// SCRATCH (default C:\seam) is emptied and made afresh. MODULE (default seammod.dll beside this
// program) is a loadable DLL, copied wherever a row needs a module. Files are held open and
// modules loaded by this process itself: sharing and mapping rules apply to every handle alike.
// Prints the machine ("windows=32" or "windows=64"; "readonly=refused" or "readonly=allowed":
// whether a read-only file can be opened for writing, which Wine run as root allows), one line per
// row ("pass NAME", "skip NAME (WHY)" or "FAIL NAME: expected [...], got [...]") and
// "seam: N passed, M failed, K skipped". Exit code 0 when no row failed, 1 when one failed, 2 when
// the scratch directory cannot be made.
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "tests/seam/seam_table.h"

namespace {

class HeldFile : public seam::Holding {
 public:
  explicit HeldFile(HANDLE file) : file_(file) {}
  ~HeldFile() override { CloseHandle(file_); }

 private:
  HANDLE file_;
};

class LoadedModule : public seam::Holding {
 public:
  explicit LoadedModule(HMODULE module) : module_(module) {}
  ~LoadedModule() override { FreeLibrary(module_); }

 private:
  HMODULE module_;
};

class Win32Hooks : public seam::Hooks {
 public:
  explicit Win32Hooks(std::string module) : module_(std::move(module)) {}

  bool PlaceModule(const std::string& path) override {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return CopyFileA(module_.c_str(), path.c_str(), FALSE) != FALSE;
  }
  // As "e2eprobe hold" does: reading shared, neither writing nor deletion.
  std::unique_ptr<seam::Holding> HoldOpen(const std::string& path) override {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<HeldFile>(file);
  }
  std::unique_ptr<seam::Holding> LoadModule(const std::string& path) override {
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) return nullptr;
    return std::make_unique<LoadedModule>(module);
  }

 private:
  std::string module_;
};

bool Is64BitWindows() {
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  BOOL wow64 = FALSE;
  return isWow64 && isWow64(GetCurrentProcess(), &wow64) && wow64;
}

// Empties and removes a directory tree left by an earlier run.
void RemoveTree(const std::string& dir) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((dir + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      std::string path = dir + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        RemoveTree(path);
      } else {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
      }
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(dir.c_str());
}

// Whether this machine refuses to open a read-only file for writing, asked of the system itself.
bool ReadOnlyRefusesWrites(const std::string& dir) {
  std::string path = dir + "\\readonly.probe";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_READONLY, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  bool refused = file == INVALID_HANDLE_VALUE;
  if (!refused) CloseHandle(file);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileA(path.c_str());
  return refused;
}

std::string BesideThisProgram(const char* name) {
  char path[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string dir(path, n);
  size_t slash = dir.find_last_of('\\');
  return (slash == std::string::npos ? std::string() : dir.substr(0, slash + 1)) + name;
}

}  // namespace

int main(int argc, char** argv) {
  std::string scratch = argc > 1 ? argv[1] : "C:\\seam";
  std::string module = argc > 2 ? argv[2] : BesideThisProgram("seammod.dll");
  RemoveTree(scratch);
  if (!CreateDirectoryA(scratch.c_str(), nullptr)) {
    std::printf("cannot make %s (error %lu)\n", scratch.c_str(), GetLastError());
    return 2;
  }
  platform::win32::Win32Files files;
  platform::win32::Win32Registry registry;
  Win32Hooks hooks(module);
  seam::Machine machine{files, registry, hooks, scratch, Is64BitWindows(), ReadOnlyRefusesWrites(scratch)};
  std::printf("windows=%d\n", machine.is64BitWindows ? 64 : 32);
  std::printf("readonly=%s\n", machine.readOnlyRefusesWrites ? "refused" : "allowed");
  int passed = 0, failed = 0, skipped = 0;
  for (const auto& row : seam::RunTable(machine)) {
    if (!row.skipped.empty()) {
      ++skipped;
      std::printf("skip %s (%s)\n", row.name.c_str(), row.skipped.c_str());
    } else if (row.Passed()) {
      ++passed;
      std::printf("pass %s\n", row.name.c_str());
    } else {
      ++failed;
      std::printf("FAIL %s: expected [%s], got [%s]\n", row.name.c_str(), row.expected.c_str(), row.got.c_str());
    }
  }
  std::printf("seam: %d passed, %d failed, %d skipped\n", passed, failed, skipped);
  std::fflush(stdout);
  return failed == 0 ? 0 : 1;
}
