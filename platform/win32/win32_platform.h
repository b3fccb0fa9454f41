// The real platform: every interface over its Win32 calls, for the running program.
#pragma once
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_window.h"

namespace platform::win32 {

class Win32SystemInfo : public SystemInfo {
 public:
  uint32_t VersionMajor() override;
  uint32_t PackedVersion() override;
  uint32_t OemCodePage() override;
  uint32_t AnsiCodePage() override;
  std::u16string AnsiToUtf16(const std::string& ansi) override;
  int ScreenWidth() override;
  int ScreenHeight() override;
  void Sleep(uint32_t milliseconds) override;
};

class Win32InputMethods : public InputMethods {
 public:
  uint32_t InstallIme(const std::u16string& imeFile, const std::u16string& description) override;
  std::string Description(uint32_t layout, uint32_t bufferBytes) override;
  uint32_t CurrentLayout() override;
  std::vector<uint32_t> LayoutList(int maxCount) override;
  uint32_t Activate(uint32_t layout, uint32_t flags) override;
};

// Each plain start is made by a thread of its own, which first waits for the thread of the start
// before it: the setup goes on while Windows creates the process, the order of the starts is kept,
// and the destructor waits until the last start has been made. A held start is made at once,
// after those before it, since its caller needs to know whether it was made.
struct PendingStart;

class Win32Processes : public Processes {
 public:
  ~Win32Processes() override;
  void Start(const std::string& commandLine, int showCommand) override;
  bool StartHeld(const std::string& program, const std::string& commandLine, int showCommand,
                 std::unique_ptr<File> held) override;

 private:
  void Launch(std::unique_ptr<PendingStart> start);
  ScopedKernelHandle lastStart_;  // the thread of the latest start, until the next takes it over
};

class Win32Resources : public Resources {
 public:
  explicit Win32Resources(HINSTANCE instance) : instance_(instance) {}
  std::unique_ptr<ResourceImage> Load(const char* type, const char* name) override;
  std::unique_ptr<MemoryBlock> AllocZeroed(size_t size) override;

 private:
  HINSTANCE instance_;
};

class Win32Dialogs : public Dialogs {
 public:
  int MessageA(const std::string& text, const std::string& caption, uint32_t type) override;
  int MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) override;
};

class Win32Platform {
 public:
  explicit Win32Platform(HINSTANCE instance) : resources_(instance), windows_(instance) {}
  Platform& os() { return platform_; }

 private:
  Win32Files files_;
  Win32Registry registry_;
  Win32SystemInfo system_;
  Win32InputMethods ime_;
  Win32Processes processes_;
  Win32Resources resources_;
  Win32Dialogs dialogs_;
  Win32Windows windows_;
  Platform platform_{files_, registry_, system_, ime_, processes_, resources_, dialogs_, windows_};
};

}  // namespace platform::win32
