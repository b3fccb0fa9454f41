// Looks into a Wine prefix from the inside, for the end-to-end tests:
//   e2eprobe reg ROOT KEY VALUE [32|64]     type, data bytes through the ANSI and the UTF-16
//                                            call (hex) and text of one value
//   e2eprobe regenum ROOT KEY VALUE [32|64] each subkey's name and the text of VALUE in it
//   e2eprobe box CAPTION ok|yes|no SECONDS  waits for a message box to be shown and painted,
//                                            prints its caption and text, and presses the button
//   e2eprobe boxes PID SECONDS CAPTION...   until the process PID ends, answers every message
//                                            box of it with one of the captions by OK (a question:
//                                            No, and prints "answered no: CAPTION") and prints it
//                                            (box=CAPTION: TEXT); 1 when it runs on past SECONDS
//   e2eprobe run COMMANDLINE SECONDS        starts the exact command line, prints its process id
//                                            (pid=) at once, waits, exits with its exit code (124
//                                            on time-out)
//   e2eprobe ended SECONDS NAME...          waits until no process of one of these program names
//                                            (tavokelv.exe) runs; 1 and their names when some
//                                            still run after SECONDS
//   e2eprobe resource EXE TYPE NAME LANGUAGE OUT  copies a resource of a program (found with
//                                            FindResourceExA in that language) into a file
//   e2eprobe hold FILE SECONDS              keeps FILE open without delete sharing (it can be
//                                            neither deleted nor renamed) for SECONDS
//   e2eprobe load FILE SECONDS              keeps FILE loaded as a module for SECONDS
//   e2eprobe close TITLE SECONDS            waits for a top-level window with this title and
//                                            closes it (WM_CLOSE)
//   e2eprobe kill PID LOG TEXT SECONDS      ends the process PID (TerminateProcess, as Task
//                                            Manager does) the moment its log file LOG holds TEXT;
//                                            prints "killed", or "not seen" and exits with 1
//   e2eprobe sys                            OEM and ANSI code pages, Windows major version
//   e2eprobe acl FILE                       the file's access list as Windows reports it
//                                            (dacl=, in the security descriptor string form)
//   e2eprobe window SECONDS [CONDITION...]  waits until the setup window (class installWClass) is
//                                            shown, has painted all it was asked to, its thread is
//                                            back in its message loop and every CONDITION holds,
//                                            then prints its report (below); on time-out prints
//                                            "timeout" and the last report and exits with 1
//   e2eprobe acc CLASS [SECONDS]            waits (30 s unless told) for the shown window of the
//                                            class to answer, then reads its client area through
//                                            Active Accessibility as a screen reader does and
//                                            prints it (below)
//   e2eprobe accpress CLASS NAME            a screen reader's default action on the part of the
//                                            window's client area named NAME; prints "pressed",
//                                            "no such part" or "failed hr=0x...", exits with 0
//                                            only when pressed
// The report of "window", one line each:
//   title=TEXT                    the window's title (GetWindowTextW)
//   origin=X,Y                    the client area's top left corner on the screen
//   enabled=yes|no                whether the window takes input (not while it installs)
//   active=yes|no                 whether it is the active window
//   fields=BOX BOX...             the shown edit fields, top to bottom, each as its place in the
//                                 client area, LEFT,TOP,RIGHT,BOTTOM (nothing after "=": none)
//   field=BOX:TEXT                the text of each shown field
//   focus=BOX|window|elsewhere    where the keyboard focus of the window's thread is
// A CONDITION is a pattern of a report line ("*" any text, "?" one character) that some line
// matches, or, after "!", that no line matches: "fields=", "field=120,195,350,215:",
// "!field=120,195,350,215:", "field=130,165,360,185:*www.unit.cn".
// The report of "acc", one line each:
//   title=TEXT                          the window's title (GetWindowTextW)
//   page=ROLE|NAME|DESCRIPTION          the client area's object
//   part=N|ROLE|NAME|STATES|ACTION      each child, N from 1 in the object's order; a child with an
//                                       object of its own (an edit field) is read from that object
//                                       and its line ends in "|value=TEXT"
// ROLE is text, button, field (an editable text), page (a property page) or other:N; STATES the
// flags among focused,default,unavailable,readonly,focusable,invisible, in this order, separated by
// commas; ACTION the name of the default action. A call that fails leaves its part of the line
// empty; without an object for the client area "acc" prints "no accessible object hr=0x..." and
// exits with 1. Both commands give up after their time (accpress: 30 s), printing "timeout": a
// window whose thread never comes back to its message loop answers no reader.
// "box" with the button "none" only reports the box and leaves it open.
// Output is UTF-8. Exit code 1 when the thing looked for is not there.
#include <windows.h>

#include <aclapi.h>
#include <oleacc.h>
#include <sddl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <set>
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

DWORD Deadline(const wchar_t* seconds) { return GetTickCount() + static_cast<DWORD>(_wtoi(seconds)) * 1000; }
bool Passed(DWORD deadline) { return static_cast<LONG>(GetTickCount() - deadline) > 0; }

// Whether the thread of a window of another process is back in its message loop (or in a modal
// loop of its own, a message box's): a sent message is answered only there, after the handler it
// was in has returned.
bool Answers(HWND window) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 500, &result) != 0;
}

BOOL CALLBACK FindUnpainted(HWND child, LPARAM param) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(param) = false;
    return FALSE;
  }
  return TRUE;
}

// Whether the window and its shown children have nothing left to paint. A paint validates its
// region when it begins: a second message answered after this check (Answers) tells that the
// paint begun by then has ended, and the thread has gone idle since, when Wine hands what it
// painted to the display.
bool Painted(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  bool painted = true;
  EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&painted));
  return painted;
}

// A message box ready to be read and seen: shown, its texts laid out, and painted.
bool BoxReady(HWND box) { return IsWindowVisible(box) && Answers(box) && Painted(box) && Answers(box); }

std::wstring BoxText(HWND box) {
  std::wstring text;
  EnumChildWindows(box, CollectText, reinterpret_cast<LPARAM>(&text));
  return text;
}

bool PressButton(HWND box, int id) {
  HWND control = GetDlgItem(box, id);
  if (!control) return false;
  SendMessageW(control, BM_CLICK, 0, 0);
  return true;
}

int Box(wchar_t** argv) {
  std::wstring button = argv[3];
  DWORD deadline = Deadline(argv[4]);
  HWND box = nullptr;
  while (!(box = FindWindowW(L"#32770", argv[2])) || !BoxReady(box)) {
    if (Passed(deadline)) {
      Print(L"no box");
      return 1;
    }
    Sleep(50);
  }
  wchar_t caption[512] = {};
  GetWindowTextW(box, caption, 512);
  Print(L"caption=" + std::wstring(caption));
  Print(L"text=" + BoxText(box));
  if (button == L"none") return 0;
  if (!PressButton(box, button == L"yes" ? IDYES : button == L"no" ? IDNO : IDOK)) {
    Print(L"no button");
    return 1;
  }
  return 0;
}

struct BoxSearch {
  DWORD process;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectBoxes(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<BoxSearch*>(param);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process == search->process && lstrcmpW(className, L"#32770") == 0 && IsWindowVisible(window)) {
    search->found.push_back(window);
  }
  return TRUE;
}

int Boxes(int argc, wchar_t** argv) {
  DWORD id = static_cast<DWORD>(_wtoi(argv[2]));
  DWORD deadline = Deadline(argv[3]);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (!process) return 0;  // ended already
  std::set<HWND> answered;
  int status = 0;
  while (WaitForSingleObject(process, 50) != WAIT_OBJECT_0) {
    if (Passed(deadline)) {
      Print(L"timeout");
      status = 1;
      break;
    }
    BoxSearch search = {id, {}};
    EnumWindows(CollectBoxes, reinterpret_cast<LPARAM>(&search));
    for (HWND box : search.found) {
      wchar_t caption[512] = {};
      GetWindowTextW(box, caption, 512);
      bool listed = false;
      for (int i = 4; i < argc; ++i) listed = listed || lstrcmpW(caption, argv[i]) == 0;
      if (!listed || answered.count(box) || !BoxReady(box)) continue;
      answered.insert(box);
      Print(L"box=" + std::wstring(caption) + L": " + BoxText(box));
      // A question (Yes and No) is answered No; the caller decides whether one may come.
      if (PressButton(box, IDOK)) continue;
      if (PressButton(box, IDNO)) {
        Print(L"answered no: " + std::wstring(caption));
      } else {
        Print(L"no OK button: " + std::wstring(caption));
      }
    }
  }
  CloseHandle(process);
  return status;
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
  Print(L"pid=" + std::to_wstring(process.dwProcessId));
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

// Whether the file holds `text` (bytes), read while its writer still has it open.
bool FileHolds(const wchar_t* path, const std::string& text) {
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes.find(text) != std::string::npos;
}

int Kill(wchar_t** argv) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, static_cast<DWORD>(_wtoi(argv[2])));
  if (!process) {
    Print(L"no process");
    return 1;
  }
  std::wstring wide = argv[4];
  std::string text(wide.begin(), wide.end());  // the log's markers are ASCII
  DWORD deadline = Deadline(argv[5]);
  // Read as often as the machine allows: the step the text announces may take only milliseconds.
  while (!FileHolds(argv[3], text)) {
    if (Passed(deadline) || WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
      CloseHandle(process);
      Print(L"not seen");
      return 1;
    }
    Sleep(0);
  }
  TerminateProcess(process, 137);
  WaitForSingleObject(process, 5000);
  CloseHandle(process);
  Print(L"killed");
  return 0;
}

int Close(wchar_t** argv) {
  DWORD deadline = Deadline(argv[3]);
  HWND window = nullptr;
  while (!(window = FindWindowW(L"installWClass", argv[2]))) {
    if (Passed(deadline)) {
      Print(L"no window");
      return 1;
    }
    Sleep(50);
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

// The title as the system keeps it for the window (not asked of the window's own procedure).
std::wstring Title(HWND window) {
  wchar_t title[512] = {};
  GetWindowTextW(window, title, 512);
  return title;
}

// A child's place in the client area of its parent: LEFT,TOP,RIGHT,BOTTOM.
RECT PlaceIn(HWND parent, HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::wstring BoxName(const RECT& r) {
  return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
         std::to_wstring(r.bottom);
}

std::vector<std::wstring> Report(HWND window) {
  std::vector<HWND> edits;
  EnumChildWindows(window, CollectShownEdits, reinterpret_cast<LPARAM>(&edits));
  std::sort(edits.begin(), edits.end(), [&](HWND a, HWND b) {
    RECT ra = PlaceIn(window, a), rb = PlaceIn(window, b);
    return ra.top != rb.top ? ra.top < rb.top : ra.left < rb.left;
  });
  POINT origin = {0, 0};
  ClientToScreen(window, &origin);
  std::vector<std::wstring> lines;
  lines.push_back(L"title=" + Title(window));
  lines.push_back(L"origin=" + std::to_wstring(origin.x) + L"," + std::to_wstring(origin.y));
  lines.push_back(std::wstring(L"enabled=") + (IsWindowEnabled(window) ? L"yes" : L"no"));
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  lines.push_back(std::wstring(L"active=") + (info.hwndActive == window ? L"yes" : L"no"));
  std::wstring shown = L"fields=";
  std::wstring focus = info.hwndFocus == window ? L"window" : L"elsewhere";
  std::vector<std::wstring> texts;
  for (HWND edit : edits) {
    std::wstring box = BoxName(PlaceIn(window, edit));
    shown += (shown.size() > 7 ? L" " : L"") + box;
    // WM_GETTEXT itself: GetWindowTextW does not ask a window of another process for its text.
    wchar_t text[512] = {};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(edit, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &copied);
    texts.push_back(L"field=" + box + L":" + std::wstring(text, static_cast<size_t>(copied)));
    if (info.hwndFocus == edit) focus = box;
  }
  lines.push_back(shown);
  lines.insert(lines.end(), texts.begin(), texts.end());
  lines.push_back(L"focus=" + focus);
  return lines;
}

// Pattern of a report line: "*" any text, "?" one character.
bool Matches(const wchar_t* pattern, const wchar_t* text) {
  const wchar_t* star = nullptr;
  const wchar_t* resume = nullptr;
  while (*text) {
    if (*pattern == L'*') {
      star = pattern++;
      resume = text;
    } else if (*pattern == L'?' || *pattern == *text) {
      ++pattern;
      ++text;
    } else if (star) {
      pattern = star + 1;
      text = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == L'*') ++pattern;
  return *pattern == L'\0';
}

bool Holds(const std::vector<std::wstring>& report, const wchar_t* condition) {
  bool absent = condition[0] == L'!';
  const wchar_t* pattern = absent ? condition + 1 : condition;
  bool found = std::any_of(report.begin(), report.end(),
                           [&](const std::wstring& line) { return Matches(pattern, line.c_str()); });
  return found != absent;
}

int Window(int argc, wchar_t** argv) {
  DWORD deadline = Deadline(argv[2]);
  std::vector<std::wstring> report = {L"window=none"};
  // The conditions must hold on two looks in a row, each after the thread answered: the second
  // answer comes only after a paint that had begun at the first look has ended.
  int looks = 0;
  while (looks < 2) {
    HWND window = FindWindowW(L"installWClass", nullptr);
    bool ready = false;
    if (!window) {
      report = {L"window=none"};
    } else if (!IsWindowVisible(window)) {
      report = {L"window=hidden"};
    } else if (!Answers(window)) {
      report = {L"window=busy"};
    } else {
      report = Report(window);
      ready = Painted(window);
      if (!ready) report.push_back(L"painted=no");
      for (int i = 3; i < argc && ready; ++i) ready = Holds(report, argv[i]);
    }
    looks = ready ? looks + 1 : 0;
    if (ready) continue;
    if (Passed(deadline)) {
      Print(L"timeout");
      for (const std::wstring& line : report) Print(line);
      return 1;
    }
    Sleep(50);
  }
  for (const std::wstring& line : report) Print(line);
  return 0;
}

std::wstring HexCode(HRESULT hr) {
  wchar_t text[16] = {};
  swprintf(text, 16, L"0x%08lx", static_cast<unsigned long>(hr));
  return text;
}

// On one line of the report: line ends become blanks.
std::wstring OneLine(std::wstring text) {
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n') c = L' ';
  }
  return text;
}

// The text of a string an accessible object handed over (freed here); empty when none.
std::wstring Taken(BSTR text) {
  std::wstring taken = text ? std::wstring(text, SysStringLen(text)) : std::wstring();
  SysFreeString(text);
  return OneLine(taken);
}

VARIANT ChildId(LONG id) {
  VARIANT child;
  VariantInit(&child);
  child.vt = VT_I4;
  child.lVal = id;
  return child;
}

std::wstring RoleWord(const VARIANT& role) {
  if (role.vt == VT_BSTR) return L"other:" + OneLine(role.bstrVal ? role.bstrVal : L"");
  if (role.vt != VT_I4) return L"other:none";
  switch (role.lVal) {
    case ROLE_SYSTEM_STATICTEXT:
      return L"text";
    case ROLE_SYSTEM_PUSHBUTTON:
      return L"button";
    case ROLE_SYSTEM_TEXT:
      return L"field";
    case ROLE_SYSTEM_PROPERTYPAGE:
      return L"page";
    default:
      return L"other:" + std::to_wstring(role.lVal);
  }
}

std::wstring StateWords(const VARIANT& state) {
  static const struct {
    LONG flag;
    const wchar_t* word;
  } kFlags[] = {{STATE_SYSTEM_FOCUSED, L"focused"},         {STATE_SYSTEM_DEFAULT, L"default"},
                {STATE_SYSTEM_UNAVAILABLE, L"unavailable"}, {STATE_SYSTEM_READONLY, L"readonly"},
                {STATE_SYSTEM_FOCUSABLE, L"focusable"},     {STATE_SYSTEM_INVISIBLE, L"invisible"}};
  std::wstring words;
  if (state.vt != VT_I4) return words;
  for (const auto& f : kFlags) {
    if (state.lVal & f.flag) words += (words.empty() ? L"" : L",") + std::wstring(f.word);
  }
  return words;
}

std::wstring NameOf(IAccessible* object, LONG child) {
  BSTR name = nullptr;
  if (FAILED(object->get_accName(ChildId(child), &name))) name = nullptr;
  return Taken(name);
}

// ROLE|NAME|STATES|ACTION of a child of an object (CHILDID_SELF: of the object itself).
std::wstring Described(IAccessible* object, LONG child) {
  VARIANT role, state;
  VariantInit(&role);
  VariantInit(&state);
  object->get_accRole(ChildId(child), &role);
  object->get_accState(ChildId(child), &state);
  BSTR action = nullptr;
  if (FAILED(object->get_accDefaultAction(ChildId(child), &action))) action = nullptr;
  std::wstring line = RoleWord(role) + L"|" + NameOf(object, child) + L"|" + StateWords(state) + L"|" + Taken(action);
  VariantClear(&role);
  VariantClear(&state);
  return line;
}

// The object of its own that child `n` of the page has (an edit field's), or nullptr: a simple
// element that the page answers for.
IAccessible* ObjectOf(IAccessible* page, LONG n) {
  IDispatch* dispatch = nullptr;
  if (FAILED(page->get_accChild(ChildId(n), &dispatch)) || !dispatch) return nullptr;
  IAccessible* object = nullptr;
  if (FAILED(dispatch->QueryInterface(IID_IAccessible, reinterpret_cast<void**>(&object)))) object = nullptr;
  dispatch->Release();
  return object;
}

std::wstring PartLine(IAccessible* page, LONG n) {
  IAccessible* object = ObjectOf(page, n);
  if (!object) return Described(page, n);
  BSTR value = nullptr;
  if (FAILED(object->get_accValue(ChildId(CHILDID_SELF), &value))) value = nullptr;
  std::wstring line = Described(object, CHILDID_SELF) + L"|value=" + Taken(value);
  object->Release();
  return line;
}

std::wstring PartName(IAccessible* page, LONG n) {
  IAccessible* object = ObjectOf(page, n);
  if (!object) return NameOf(page, n);
  std::wstring name = NameOf(object, CHILDID_SELF);
  object->Release();
  return name;
}

struct AccessRequest {
  const wchar_t* className;
  const wchar_t* partName;  // accpress: the part to press; acc: nullptr
  DWORD deadline;           // for the window to be shown and answer
  int status;
};

// The client area's object of the shown window of the class, once its thread answers; nullptr
// (and the reason printed) when there is none by the deadline.
IAccessible* PageOf(const AccessRequest& request, HWND* found) {
  HWND window = nullptr;
  while (!(window = FindWindowW(request.className, nullptr)) || !IsWindowVisible(window) || !Answers(window)) {
    if (Passed(request.deadline)) {
      Print(L"no window");
      return nullptr;
    }
    Sleep(50);
  }
  *found = window;
  IAccessible* page = nullptr;
  HRESULT hr = AccessibleObjectFromWindow(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&page));
  if (FAILED(hr) || !page) {
    Print(L"no accessible object hr=" + HexCode(hr));
    return nullptr;
  }
  return page;
}

int ReadPage(const AccessRequest& request) {
  HWND window = nullptr;
  IAccessible* page = PageOf(request, &window);
  if (!page) return 1;
  Print(L"title=" + Title(window));
  BSTR description = nullptr;
  if (FAILED(page->get_accDescription(ChildId(CHILDID_SELF), &description))) description = nullptr;
  VARIANT role;
  VariantInit(&role);
  page->get_accRole(ChildId(CHILDID_SELF), &role);
  Print(L"page=" + RoleWord(role) + L"|" + NameOf(page, CHILDID_SELF) + L"|" + Taken(description));
  VariantClear(&role);
  LONG count = 0;
  HRESULT hr = page->get_accChildCount(&count);
  if (FAILED(hr)) {
    Print(L"no parts hr=" + HexCode(hr));
    page->Release();
    return 1;
  }
  for (LONG n = 1; n <= count; ++n) Print(L"part=" + std::to_wstring(n) + L"|" + PartLine(page, n));
  page->Release();
  return 0;
}

int PressPart(const AccessRequest& request) {
  HWND window = nullptr;
  IAccessible* page = PageOf(request, &window);
  if (!page) return 1;
  LONG count = 0;
  if (FAILED(page->get_accChildCount(&count))) count = 0;
  for (LONG n = 1; n <= count; ++n) {
    if (PartName(page, n) != request.partName) continue;
    // A part with an object of its own takes the action on that object.
    IAccessible* object = ObjectOf(page, n);
    HRESULT hr = object ? object->accDoDefaultAction(ChildId(CHILDID_SELF)) : page->accDoDefaultAction(ChildId(n));
    if (object) object->Release();
    page->Release();
    Print(SUCCEEDED(hr) ? std::wstring(L"pressed") : L"failed hr=" + HexCode(hr));
    return SUCCEEDED(hr) ? 0 : 1;
  }
  page->Release();
  Print(L"no such part");
  return 1;
}

DWORD WINAPI AccessWork(void* param) {
  auto* request = static_cast<AccessRequest*>(param);
  CoInitialize(nullptr);
  request->status = request->partName ? PressPart(*request) : ReadPage(*request);
  CoUninitialize();
  return 0;
}

// Runs the request on a thread of its own: a call into the window's process waits for the window's
// thread, which may never take it. The reading gets 30 s beyond the wait for the window.
int Access(const wchar_t* className, const wchar_t* partName, DWORD seconds) {
  AccessRequest request = {className, partName, GetTickCount() + seconds * 1000, 1};
  HANDLE thread = CreateThread(nullptr, 0, AccessWork, &request, 0, nullptr);
  if (!thread) {
    Print(L"cannot start");
    return 1;
  }
  if (WaitForSingleObject(thread, (seconds + 30) * 1000) != WAIT_OBJECT_0) {
    Print(L"timeout");
    ExitProcess(1);  // the thread is still inside a call that nothing will end
  }
  CloseHandle(thread);
  return request.status;
}

// Whether a process of one of the names runs; their names are added to *running.
bool AnyRunning(int argc, wchar_t** argv, std::wstring* running) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return true;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  bool any = false;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    const wchar_t* name = entry.szExeFile;
    for (const wchar_t* c = name; *c; ++c) {
      if (*c == L'\\') name = c + 1;
    }
    for (int i = 3; i < argc; ++i) {
      if (lstrcmpiW(name, argv[i]) == 0) {
        any = true;
        *running += std::wstring(running->empty() ? L"" : L" ") + name;
      }
    }
  }
  CloseHandle(snapshot);
  return any;
}

int Ended(int argc, wchar_t** argv) {
  DWORD deadline = Deadline(argv[2]);
  std::wstring running;
  while (AnyRunning(argc, argv, &running)) {
    if (Passed(deadline)) {
      Print(L"running=" + running);
      return 1;
    }
    running.clear();
    Sleep(50);
  }
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

int Acl(wchar_t** argv) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL dacl = nullptr;
  if (GetNamedSecurityInfoW(argv[2], SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl, nullptr,
                            &descriptor) != ERROR_SUCCESS) {
    return 1;
  }
  wchar_t* text = nullptr;
  bool ok = ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                                 &text, nullptr);
  if (ok) Print(std::wstring(L"dacl=") + text);
  LocalFree(text);
  LocalFree(descriptor);
  return ok ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring command = argc > 1 ? argv[1] : L"";
  if (command == L"reg" && argc >= 5) return Reg(argc, argv);
  if (command == L"regenum" && argc >= 5) return RegEnum(argc, argv);
  if (command == L"box" && argc >= 5) return Box(argv);
  if (command == L"boxes" && argc >= 5) return Boxes(argc, argv);
  if (command == L"ended" && argc >= 4) return Ended(argc, argv);
  if (command == L"run" && argc >= 4) return Run(argv);
  if (command == L"sys") return Sys();
  if (command == L"acl" && argc >= 3) return Acl(argv);
  if (command == L"close" && argc >= 4) return Close(argv);
  if (command == L"kill" && argc >= 6) return Kill(argv);
  if (command == L"window" && argc >= 3) return Window(argc, argv);
  if (command == L"acc" && argc >= 3)
    return Access(argv[2], nullptr, argc >= 4 ? static_cast<DWORD>(_wtoi(argv[3])) : 30);
  if (command == L"accpress" && argc >= 4) return Access(argv[2], argv[3], 30);
  if ((command == L"hold" || command == L"load") && argc >= 4) return Hold(argv, command == L"load");
  if (command == L"resource" && argc >= 7) return Resource(argv);
  fwprintf(
      stderr,
      L"usage: e2eprobe reg|regenum|box|boxes|run|ended|resource|hold|load|close|window|acc|accpress|sys|acl ...\n");
  return 2;
}
