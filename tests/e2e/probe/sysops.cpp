// Runs single operations of the setup's system registration against the real Windows (Wine)
// registry, for the end-to-end tests:
//   sysops uninstall | useragent | layout | findime | promote | aside PATH | version | run COMMANDLINE |
//          settings DIR [ADDR1 ADDR2]
// "promote" finds the IME in the preload list and promotes it, as the install does on Windows 5.x;
// "aside PATH" renames a file aside as the deployment does with a module in use.
// Prints "ok" or "failed" (and for findime and promote the place found).
#include <windows.h>

#include <cstdio>
#include <string>

#include "archive/file_replace.h"
#include "core/install_location.h"
#include "core/setup_state.h"
#include "core/system_facts.h"
#include "platform/unchecked.h"
#include "platform/win32/win32_platform.h"
#include "system/ime_registration.h"
#include "system/integration.h"
#include "system/preload.h"
#include "system/settings_files.h"

int main(int argc, char** argv) {
  platform::win32::Win32Platform os(GetModuleHandleA(nullptr));
  core::SetupState s(os.os());
  core::FindSystemFacts(s);
  std::string command = argc > 1 ? argv[1] : "";
  // The cases read what a write left in the registry or the files; its answer is not the exit code.
  bool ok = true;
  if (command == "uninstall") {
    platform::Unchecked(sys::WriteUninstallEntry(s));
  } else if (command == "useragent") {
    platform::Unchecked(sys::WriteUserAgentToken(s));
  } else if (command == "layout") {
    ok = sys::RegisterKeyboardLayout(s);
  } else if (command == "version") {
    std::printf("packed=%08lx major=%lu 9x=%d\n", static_cast<unsigned long>(os.os().system.PackedVersion()),
                static_cast<unsigned long>(s.WindowsMajor), s.Win9x ? 1 : 0);
  } else if (command == "findime") {
    ok = sys::FindImeInPreload(s);
    std::printf("place=%d\n", s.ImePreloadPosition);
  } else if (command == "aside" && argc > 2) {
    std::string aside;
    ok = archive::MoveFileAside(os.os().files, argv[2], &aside);
    std::printf("result=%d aside=%s\n", ok ? 0 : -1, aside.c_str());
  } else if (command == "promote") {
    ok = sys::FindImeInPreload(s);
    std::printf("place=%d\n", s.ImePreloadPosition);
    sys::PromotePreloadEntry(s);
  } else if (command == "run" && argc > 2) {
    platform::Unchecked(sys::WriteRunEntry(s, argv[2]));
  } else if (command == "settings" && argc > 2) {
    s.InstallDir = argv[2];
    if (argc > 4) {
      s.ServerAddress1 = argv[3];
      s.ServerAddress2 = argv[4];
    }
    platform::Unchecked(sys::WriteSettingsFiles(s));
  } else {
    std::fprintf(stderr,
                 "usage: sysops uninstall|useragent|layout|findime|promote|aside PATH|run CMD|settings DIR [A1 A2]\n");
    return 2;
  }
  std::printf("%s\n", ok ? "ok" : "failed");
  return ok ? 0 : 1;
}
