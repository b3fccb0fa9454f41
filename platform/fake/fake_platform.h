// A whole machine in memory for the host tests: file system, registry, system facts, input
// methods, started programs, resources and message boxes. Message boxes are answered from a
// script and recorded with their caption, text, text form and buttons.
#pragma once
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/fake/fake_files.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_window.h"
#include "platform/platform.h"

namespace platform::fake {

class FakeSystemInfo : public SystemInfo {
 public:
  uint32_t major = 6;
  bool win9x = false;
  uint32_t oemCodePage = 936;
  uint32_t ansiCodePage = 936;
  int screenWidth = 1024;
  int screenHeight = 768;
  uint32_t sleptMs = 0;

  uint32_t VersionMajor() override { return major; }
  uint32_t PackedVersion() override { return major | (win9x ? 0x80000000u : 0u); }
  uint32_t OemCodePage() override { return oemCodePage; }
  uint32_t AnsiCodePage() override { return ansiCodePage; }
  // Through iconv from "CP<ansiCodePage>"; a byte sequence it refuses becomes U+FFFD.
  std::u16string AnsiToUtf16(const std::string& ansi) override;
  int ScreenWidth() override { return screenWidth; }
  int ScreenHeight() override { return screenHeight; }
  void Sleep(uint32_t milliseconds) override { sleptMs += milliseconds; }
};

class FakeInputMethods : public InputMethods {
 public:
  struct Install {
    std::u16string file;
    std::u16string description;
  };
  // What InstallIme returns (0: the input method manager refuses).
  uint32_t installResult = 0xE0200804;
  std::vector<Install> installs;
  std::map<uint32_t, std::string> descriptions;
  std::vector<uint32_t> layouts;
  uint32_t current = 0x08040804;
  std::vector<uint32_t> activations;

  uint32_t InstallIme(const std::u16string& file, const std::u16string& description) override {
    installs.push_back({file, description});
    return installResult;
  }
  std::string Description(uint32_t layout, uint32_t bufferBytes) override;
  uint32_t CurrentLayout() override { return current; }
  std::vector<uint32_t> LayoutList(int maxCount) override;
  uint32_t Activate(uint32_t layout, uint32_t flags) override;
};

class FakeProcesses : public Processes {
 public:
  struct Started {
    std::string commandLine;
    int show;
    std::string program;  // the program file named apart from the command line, if any
    bool held = false;    // the program file was held open while it was started
  };
  std::vector<Started> started;
  // Program files whose held start the system refuses (a file that is no program, one for another
  // processor); they are not listed as started.
  std::vector<std::string> refused;
  void Start(const std::string& commandLine, int show) override { started.push_back({commandLine, show, {}, false}); }
  bool StartHeld(const std::string& program, const std::string& commandLine, int show,
                 std::unique_ptr<File> held) override {
    for (const std::string& name : refused) {
      if (name == program) return false;
    }
    started.push_back({commandLine, show, program, held != nullptr});
    return true;
  }
};

class FakeResources : public Resources {
 public:
  std::map<std::string, std::string> images;  // "TYPE/NAME" -> bytes
  bool failAllocation = false;
  std::vector<size_t> allocations;

  std::unique_ptr<ResourceImage> Load(const char* type, const char* name) override;
  std::unique_ptr<MemoryBlock> AllocZeroed(size_t size) override;
};

struct ShownMessage {
  bool wide = false;
  std::string text;     // bytes as passed (MessageBoxA) or UTF-8 of the UTF-16 text
  std::string caption;  // the same for the caption
  std::u16string textW;
  std::u16string captionW;
  uint32_t type = 0;
};

class FakeDialogs : public Dialogs {
 public:
  std::deque<int> answers;  // taken in order; when empty: IDOK, or IDNO for a Yes/No box
  std::vector<ShownMessage> shown;
  // Called with each box before it is answered: what the user (or anyone else) does meanwhile.
  std::function<void(const ShownMessage&)> whileShown;

  int MessageA(const std::string& text, const std::string& caption, uint32_t type) override;
  int MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) override;

 private:
  int Answer(uint32_t type);
};

class FakePlatform {
 public:
  // A 32-bit Windows 7 with the system's folders on c:.
  FakePlatform();
  // The same machine, on its own from here on: a test prepares a machine once and runs each of
  // many variations on a copy of it.
  FakePlatform(const FakePlatform& other);
  FakePlatform& operator=(const FakePlatform&) = delete;

  // Windows 5.x or 6.x, 32- or 64-bit (a 64-bit machine has syswow64 and redirects system32, and
  // shows this 32-bit program the 32-bit registry view), with the system's folders of that
  // version on the Windows directory's drive: Program Files (and Program Files (x86)), ProgramData
  // and Users on 6.x, "Documents and Settings" and its common application data on 5.x, Program
  // Files alone before; and their short names, and 6.x's junction "Documents and Settings".
  void SetWindows(uint32_t major, bool is64Bit);
  // A process without administrator rights: the Windows directory and HKLM cannot be written.
  void DropAdminRights();

  FakeFiles files;
  FakeRegistry registry;
  FakeSystemInfo system;
  FakeInputMethods ime;
  FakeProcesses processes;
  FakeResources resources;
  FakeDialogs dialogs;
  FakeWindows windows;

  Platform& os() { return platform_; }

 private:
  Platform platform_{files, registry, system, ime, processes, resources, dialogs, windows};
};

}  // namespace platform::fake
