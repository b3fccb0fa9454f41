// Looks into a Wine prefix from the inside, for the end-to-end tests:
//   e2eprobe reg ROOT KEY VALUE [32|64]     type, data bytes through the ANSI and the UTF-16
//                                            call (hex) and text of one value
//   e2eprobe regenum ROOT KEY VALUE [32|64] each subkey's name and the text of VALUE in it
//   e2eprobe box CAPTION ok|yes|no SECONDS  waits for a message box, prints its caption and
//                                            text, and presses the button
//   e2eprobe run COMMANDLINE SECONDS        starts the exact command line, waits, exits with
//                                            its exit code (124 on time-out)
//   e2eprobe resource EXE TYPE NAME LANGUAGE OUT  copies a resource of a program (found with
//                                            FindResourceExA in that language) into a file
//   e2eprobe hold FILE SECONDS              keeps FILE open without delete sharing (it can be
//                                            neither deleted nor renamed) for SECONDS
//   e2eprobe load FILE SECONDS              keeps FILE loaded as a module for SECONDS
//   e2eprobe close TITLE SECONDS            waits for a top-level window with this title and
//                                            closes it (WM_CLOSE)
//   e2eprobe sys                            OEM and ANSI code pages, Windows major version
//   e2eprobe fields SECONDS                 waits for the setup window (class installWClass)
//                                            and prints the text of each shown edit field
//                                            (field=), where the keyboard focus is
//                                            (focus=field, window or elsewhere) and whether
//                                            the setup window is the active one (active=yes|no)
// "box" with the button "none" only reports the box and leaves it open.
// Output is UTF-8. Exit code 1 when the thing looked for is not there.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

void Print(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), utf8.data(), n, nullptr, nullptr);
  utf8 += "\n";
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

HKEY Root(const std::wstring& name) {
  if (name == L"HKLM") return HKEY_LOCAL_MACHINE;
  if (name == L"HKCU") return HKEY_CURRENT_USER;
  if (name == L"HKU") return HKEY_USERS;
  return nullptr;
}

REGSAM View(int argc, wchar_t** argv, int index) {
  if (argc <= index) return 0;
  return std::wstring(argv[index]) == L"64" ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

std::wstring Hex(const BYTE* data, DWORD size) {
  static const wchar_t kDigits[] = L"0123456789abcdef";
  std::wstring out;
  for (DWORD i = 0; i < size; ++i) {
    out += kDigits[data[i] >> 4];
    out += kDigits[data[i] & 15];
  }
  return out;
}

// The text of a string value, read through the UTF-16 call; empty when absent.
bool ReadText(HKEY key, const wchar_t* value, std::wstring* text) {
  std::vector<wchar_t> buffer(2048, 0);
  DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  DWORD type = 0;
  if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS) {
    return false;
  }
  text->assign(buffer.data(), size / sizeof(wchar_t));
  while (!text->empty() && text->back() == L'\0') text->pop_back();
  return true;
}

int Reg(int argc, wchar_t** argv) {
  HKEY key;
  if (RegOpenKeyExW(Root(argv[2]), argv[3], 0, KEY_READ | View(argc, argv, 5), &key) != ERROR_SUCCESS) {
    Print(L"no key");
    return 1;
  }
  BYTE data[4096];
  DWORD size = sizeof data;
  DWORD type = 0;
  LONG rc = RegQueryValueExA(key, std::string(argv[4], argv[4] + wcslen(argv[4])).c_str(), nullptr, &type, data, &size);
  std::wstring text;
  ReadText(key, argv[4], &text);
  BYTE wide[8192];
  DWORD wideSize = sizeof wide;
  bool hasWide = RegQueryValueExW(key, argv[4], nullptr, nullptr, wide, &wideSize) == ERROR_SUCCESS;
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS) {
    Print(L"no value");
    return 1;
  }
  Print(L"type=" + std::to_wstring(type));
  Print(L"size=" + std::to_wstring(size));
  Print(L"hex=" + Hex(data, size));
  Print(L"text=" + text);
  if (hasWide) Print(L"hexw=" + Hex(wide, wideSize));
  return 0;
}

int RegEnum(int argc, wchar_t** argv) {
  HKEY key;
  if (RegOpenKeyExW(Root(argv[2]), argv[3], 0, KEY_READ | View(argc, argv, 5), &key) != ERROR_SUCCESS) {
    Print(L"no key");
    return 1;
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub;
    std::wstring text;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      ReadText(sub, argv[4], &text);
      RegCloseKey(sub);
    }
    Print(std::wstring(name) + L"=" + text);
  }
  RegCloseKey(key);
  return 0;
}

BOOL CALLBACK CollectText(HWND child, LPARAM param) {
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  if (lstrcmpiW(className, L"Static") == 0) {
    wchar_t text[2048] = {};
    GetWindowTextW(child, text, 2048);
    if (text[0]) *reinterpret_cast<std::wstring*>(param) += text;
  }
  return TRUE;
}

int Box(wchar_t** argv) {
  std::wstring button = argv[3];
  DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[4])) * 1000;
  HWND box = nullptr;
  while (!(box = FindWindowW(L"#32770", argv[2]))) {
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
      Print(L"no box");
      return 1;
    }
    Sleep(100);
  }
  Sleep(300);  // let the box finish laying itself out
  wchar_t caption[512] = {};
  GetWindowTextW(box, caption, 512);
  std::wstring text;
  EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
  Print(L"caption=" + std::wstring(caption));
  Print(L"text=" + text);
  if (button == L"none") return 0;
  int id = button == L"yes" ? IDYES : button == L"no" ? IDNO : IDOK;
  HWND control = GetDlgItem(box, id);
  if (!control) {
    Print(L"no button");
    return 1;
  }
  SendMessageW(control, BM_CLICK, 0, 0);
  return 0;
}

int Run(wchar_t** argv) {
  std::wstring commandLine = argv[2];
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    Print(L"cannot start");
    return 1;
  }
  CloseHandle(process.hThread);
  DWORD wait = WaitForSingleObject(process.hProcess, static_cast<DWORD>(_wtoi(argv[3])) * 1000);
  DWORD code = 124;
  if (wait == WAIT_OBJECT_0) {
    GetExitCodeProcess(process.hProcess, &code);
  } else {
    // A program that hangs (on a box nobody answers) must not outlive its case: it would hold
    // the case's output pipe and the case would never end.
    TerminateProcess(process.hProcess, 124);
    WaitForSingleObject(process.hProcess, 5000);
  }
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

int Resource(wchar_t** argv) {
  HMODULE module = LoadLibraryExW(argv[2], nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) {
    Print(L"cannot load");
    return 1;
  }
  auto narrow = [](const wchar_t* w) { return std::string(w, w + wcslen(w)); };
  std::string type = narrow(argv[3]), name = narrow(argv[4]);
  HRSRC found = FindResourceExA(module, type.c_str(), name.c_str(), static_cast<WORD>(_wtoi(argv[5])));
  if (!found) {
    Print(L"no resource");
    return 1;
  }
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = LockResource(loaded);
  DWORD size = SizeofResource(module, found);
  HANDLE out = CreateFileW(argv[6], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  bool ok = out != INVALID_HANDLE_VALUE && data && WriteFile(out, data, size, &written, nullptr) && written == size;
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  Print(L"size=" + std::to_wstring(size));
  return ok ? 0 : 1;
}

int Hold(wchar_t** argv, bool load) {
  HANDLE file = INVALID_HANDLE_VALUE;
  HMODULE module = nullptr;
  if (load) {
    module = LoadLibraryW(argv[2]);
  } else {
    file = CreateFileW(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  if (load ? module == nullptr : file == INVALID_HANDLE_VALUE) {
    Print(L"cannot open");
    return 1;
  }
  Print(L"held");
  Sleep(static_cast<DWORD>(_wtoi(argv[3])) * 1000);
  if (module) FreeLibrary(module);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return 0;
}

int Close(wchar_t** argv) {
  DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[3])) * 1000;
  HWND window = nullptr;
  while (!(window = FindWindowW(L"installWClass", argv[2]))) {
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
      Print(L"no window");
      return 1;
    }
    Sleep(100);
  }
  PostMessageW(window, WM_CLOSE, 0, 0);
  Print(L"closed");
  return 0;
}

BOOL CALLBACK CollectShownEdits(HWND child, LPARAM param) {
  wchar_t className[64] = {};
  GetClassNameW(child, className, 64);
  if (lstrcmpiW(className, L"Edit") == 0 && IsWindowVisible(child)) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(child);
  }
  return TRUE;
}

int Fields(wchar_t** argv) {
  DWORD deadline = GetTickCount() + static_cast<DWORD>(_wtoi(argv[2])) * 1000;
  HWND window = nullptr;
  while (!(window = FindWindowW(L"installWClass", nullptr))) {
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) {
      Print(L"no window");
      return 1;
    }
    Sleep(100);
  }
  std::vector<HWND> edits;
  EnumChildWindows(window, CollectShownEdits, reinterpret_cast<LPARAM>(&edits));
  for (HWND edit : edits) {
    // WM_GETTEXT itself: GetWindowTextW does not ask a window of another process for its text.
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    Print(L"field=" + std::wstring(text, static_cast<size_t>(copied)));
  }
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  std::wstring focus = L"elsewhere";
  if (info.hwndFocus == window) focus = L"window";
  for (HWND edit : edits) {
    if (info.hwndFocus == edit) focus = L"field";
  }
  Print(L"focus=" + focus);
  Print(std::wstring(L"active=") + (info.hwndActive == window ? L"yes" : L"no"));
  return 0;
}

int Sys() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExW(&version);
  Print(L"oemcp=" + std::to_wstring(GetOEMCP()));
  Print(L"acp=" + std::to_wstring(GetACP()));
  Print(L"major=" + std::to_wstring(version.dwMajorVersion));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"reg" && argc >= 5) return Reg(argc, argv);
  if (command == L"regenum" && argc >= 5) return RegEnum(argc, argv);
  if (command == L"box" && argc >= 5) return Box(argv);
  if (command == L"run" && argc >= 4) return Run(argv);
  if (command == L"sys") return Sys();
  if (command == L"close" && argc >= 4) return Close(argv);
  if (command == L"fields" && argc >= 3) return Fields(argv);
  if ((command == L"hold" || command == L"load") && argc >= 4) return Hold(argv, command == L"load");
  if (command == L"resource" && argc >= 7) return Resource(argv);
  fwprintf(stderr, L"usage: e2eprobe reg|regenum|box|run|resource|hold|load|close|fields|sys ...\n");
  return 2;
}
