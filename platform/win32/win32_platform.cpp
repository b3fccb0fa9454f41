#include "platform/win32/win32_platform.h"

#include <imm.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

namespace platform::win32 {
namespace {

// The extended structure: GetVersionExA is told the size of the structure it is given.
static_assert(sizeof(OSVERSIONINFOEXA) == 156, "the version structure declared as 156 bytes");

HKL Layout(uint32_t handle) { return reinterpret_cast<HKL>(static_cast<uintptr_t>(handle)); }
uint32_t Handle(HKL layout) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(layout)); }

// A resource stays mapped with its module; FreeResource is kept for the older systems that need it.
class Win32ResourceImage : public ResourceImage {
 public:
  Win32ResourceImage(HGLOBAL loaded, const uint8_t* data, size_t size) : loaded_(loaded), data_(data), size_(size) {}
  ~Win32ResourceImage() override { ::FreeResource(loaded_); }
  Win32ResourceImage(const Win32ResourceImage&) = delete;
  Win32ResourceImage& operator=(const Win32ResourceImage&) = delete;
  const uint8_t* Data() const override { return data_; }
  size_t Size() const override { return size_; }

 private:
  HGLOBAL loaded_;
  const uint8_t* data_;
  size_t size_;
};

class Win32MemoryBlock : public MemoryBlock {
 public:
  Win32MemoryBlock(ScopedGlobal block, uint8_t* data, size_t size)
      : block_(std::move(block)), data_(data), size_(size) {}
  ~Win32MemoryBlock() override { ::GlobalUnlock(block_.Get()); }
  Win32MemoryBlock(const Win32MemoryBlock&) = delete;
  Win32MemoryBlock& operator=(const Win32MemoryBlock&) = delete;
  uint8_t* Data() override { return data_; }
  size_t Size() const override { return size_; }

 private:
  ScopedGlobal block_;  // freed after the unlock above
  uint8_t* data_;
  size_t size_;
};

}  // namespace

uint32_t Win32SystemInfo::VersionMajor() {
  OSVERSIONINFOEXA info = {};
  info.dwOSVersionInfoSize = sizeof info;
  if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) return 0;
  return info.dwMajorVersion;
}

uint32_t Win32SystemInfo::PackedVersion() { return ::GetVersion(); }
uint32_t Win32SystemInfo::OemCodePage() { return ::GetOEMCP(); }
uint32_t Win32SystemInfo::AnsiCodePage() { return ::GetACP(); }

std::u16string Win32SystemInfo::AnsiToUtf16(const std::string& ansi) {
  if (ansi.empty()) return std::u16string();
  int length = static_cast<int>(ansi.size());
  int n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
  if (n <= 0) return std::u16string();
  std::u16string wide(static_cast<size_t>(n), u'\0');
  n = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, reinterpret_cast<wchar_t*>(wide.data()), n);
  wide.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return wide;
}
int Win32SystemInfo::ScreenWidth() { return ::GetSystemMetrics(SM_CXSCREEN); }
int Win32SystemInfo::ScreenHeight() { return ::GetSystemMetrics(SM_CYSCREEN); }
void Win32SystemInfo::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

uint32_t Win32InputMethods::InstallIme(const std::u16string& imeFile, const std::u16string& description) {
  // The IMM prototype takes writable strings; it does not write to them.
  std::u16string file = imeFile;
  std::u16string text = description;
  return Handle(::ImmInstallIMEW(reinterpret_cast<LPWSTR>(file.data()), reinterpret_cast<LPWSTR>(text.data())));
}

std::string Win32InputMethods::Description(uint32_t layout, uint32_t bufferBytes) {
  std::vector<char> buffer(bufferBytes + 1, '\0');
  UINT n = ::ImmGetDescriptionA(Layout(layout), buffer.data(), bufferBytes);
  if (n > bufferBytes) n = bufferBytes;
  return std::string(buffer.data(), n);
}

uint32_t Win32InputMethods::CurrentLayout() { return Handle(::GetKeyboardLayout(0)); }

std::vector<uint32_t> Win32InputMethods::LayoutList(int maxCount) {
  std::vector<HKL> layouts(maxCount > 0 ? maxCount : 0);
  int n = layouts.empty() ? 0 : ::GetKeyboardLayoutList(maxCount, layouts.data());
  std::vector<uint32_t> handles;
  for (int i = 0; i < n; ++i) handles.push_back(Handle(layouts[i]));
  return handles;
}

uint32_t Win32InputMethods::Activate(uint32_t layout, uint32_t flags) {
  return Handle(::ActivateKeyboardLayout(Layout(layout), flags));
}

struct PendingStart {
  std::string commandLine;
  int showCommand;
  ScopedKernelHandle previous;  // the thread of the start before; none for the first
  std::string program;          // empty: found from the command line, as WinExec finds it
  std::unique_ptr<File> held;   // the program file, kept from changing until it has started
};

namespace {

// Started as WinExec starts a program (same command-line parsing, same show command), without
// WinExec's wait of up to 30 seconds for a window program to become idle. True when the process
// was created.
bool CreateProgram(PendingStart& start) {
  if (start.previous.IsValid()) ::WaitForSingleObject(start.previous.Get(), INFINITE);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(start.showCommand);
  PROCESS_INFORMATION started{};
  const char* program = start.program.empty() ? nullptr : start.program.c_str();
  if (!::CreateProcessA(program, start.commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started)) {
    return false;
  }
  ::CloseHandle(started.hThread);
  ::CloseHandle(started.hProcess);
  return true;
}

DWORD WINAPI StartProgram(void* argument) {
  std::unique_ptr<PendingStart> start(static_cast<PendingStart*>(argument));
  static_cast<void>(CreateProgram(*start));  // a plain start's failure is not reported
  return 0;
}

}  // namespace

Win32Processes::~Win32Processes() {
  if (lastStart_.IsValid()) ::WaitForSingleObject(lastStart_.Get(), INFINITE);
}

void Win32Processes::Start(const std::string& commandLine, int showCommand) {
  Launch(std::make_unique<PendingStart>(PendingStart{commandLine, showCommand, std::move(lastStart_), {}, {}}));
}

bool Win32Processes::StartHeld(const std::string& program, const std::string& commandLine, int showCommand,
                               std::unique_ptr<File> held) {
  PendingStart start{commandLine, showCommand, std::move(lastStart_), program, std::move(held)};
  return CreateProgram(start);
}

void Win32Processes::Launch(std::unique_ptr<PendingStart> start) {
  ScopedKernelHandle thread(::CreateThread(nullptr, 0, StartProgram, start.get(), 0, nullptr));
  if (thread.IsValid()) {
    start.release();  // the thread owns it now
    lastStart_ = std::move(thread);
  } else {
    StartProgram(start.release());  // no thread to be had: start it here and now
  }
}

std::unique_ptr<ResourceImage> Win32Resources::Load(const char* type, const char* name) {
  HRSRC found = ::FindResourceA(instance_, name, type);
  if (!found) return nullptr;
  HGLOBAL loaded = ::LoadResource(instance_, found);
  if (!loaded) return nullptr;
  const void* data = ::LockResource(loaded);
  if (!data) return nullptr;
  return std::make_unique<Win32ResourceImage>(loaded, static_cast<const uint8_t*>(data),
                                              ::SizeofResource(instance_, found));
}

std::unique_ptr<MemoryBlock> Win32Resources::AllocZeroed(size_t size) {
  ScopedGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
  if (!block.IsValid()) return nullptr;
  void* data = ::GlobalLock(block.Get());
  if (!data) return nullptr;
  return std::make_unique<Win32MemoryBlock>(std::move(block), static_cast<uint8_t*>(data), size);
}

int Win32Dialogs::MessageA(const std::string& text, const std::string& caption, uint32_t type) {
  return ::MessageBoxA(nullptr, text.c_str(), caption.c_str(), type);
}

int Win32Dialogs::MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) {
  return ::MessageBoxW(nullptr, Wide(text), Wide(caption), type);
}

}  // namespace platform::win32
