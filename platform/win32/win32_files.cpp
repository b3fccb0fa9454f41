#include "platform/win32/win32_files.h"

#include <aclapi.h>
#include <sddl.h>
#include <shlobj.h>

#include <cstring>

#include "platform/win32/scoped_handle.h"

namespace platform::win32 {
namespace {

class Win32File : public File {
 public:
  explicit Win32File(ScopedSmallFile file) : file_(std::move(file)) {}

  long Read(void* buffer, unsigned long count) override {
    UINT n = ::_lread(file_.Get(), buffer, count);
    return n == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<long>(n);
  }
  long Write(const void* data, unsigned long count) override {
    UINT n = ::_lwrite(file_.Get(), static_cast<LPCCH>(data), count);
    return n == static_cast<UINT>(HFILE_ERROR) ? -1 : static_cast<long>(n);
  }
  long Seek(long offset, SeekFrom origin) override { return ::_llseek(file_.Get(), offset, static_cast<int>(origin)); }
  // The small-file calls hand out the file's own handle.
  bool Flush() override {
    return ::FlushFileBuffers(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(file_.Get()))) != FALSE;
  }

 private:
  ScopedSmallFile file_;
};

std::string DirectoryFrom(UINT(WINAPI* get)(LPSTR, UINT)) {
  char buffer[MAX_PATH + 1] = {};
  UINT n = get(buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

// The text a call left in a buffer of `size` bytes, up to its zero (none: nothing).
std::string TextIn(const char* buffer, size_t size) {
  size_t n = strnlen(buffer, size);
  return n < size ? std::string(buffer, n) : std::string();
}

bool RunsOnWow64() {
  BOOL wow64 = FALSE;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  // Looked up at run time: systems before XP SP2 do not have it (and are never 64-bit).
  auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

// A DLL of the system by its full path: a bare name is looked for first beside the setup, in a
// download folder any user may have put a DLL of that name into, and it would run with the
// administrator's rights. Null where the system has no such DLL.
ScopedLibrary LoadSystemLibrary(const std::string& systemDirectory, const char* name) {
  if (systemDirectory.empty()) return ScopedLibrary();
  return ScopedLibrary(::LoadLibraryA((systemDirectory + "\\" + name).c_str()));
}

template <typename Function>
Function LookUp(const ScopedLibrary& library, const char* name) {
  if (!library.IsValid()) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(library.Get(), name)));
}

// Program Files, the common application data and, for a 32-bit program on 64-bit Windows, the
// 32-bit Program Files, as the shell names them. SHGetFolderPathA came with shell32 5.0; older
// systems have it from shfolder.dll, where that is installed.
void AddShellFolders(const std::string& systemDirectory, std::vector<std::string>* folders) {
  using GetFolderPathFn = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);
  ScopedLibrary library = LoadSystemLibrary(systemDirectory, "shell32.dll");
  auto getFolderPath = LookUp<GetFolderPathFn>(library, "SHGetFolderPathA");
  if (!getFolderPath) {
    library = LoadSystemLibrary(systemDirectory, "shfolder.dll");
    getFolderPath = LookUp<GetFolderPathFn>(library, "SHGetFolderPathA");
  }
  if (!getFolderPath) return;
  for (int folder : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86, CSIDL_COMMON_APPDATA}) {
    char buffer[MAX_PATH + 1] = {};
    if (getFolderPath(nullptr, folder, nullptr, SHGFP_TYPE_CURRENT, buffer) == S_OK) {
      folders->push_back(TextIn(buffer, sizeof buffer));
    }
  }
}

// The 64-bit Program Files, which the shell never names to a 32-bit program: Windows 7 and later
// hand every 32-bit process the value ProgramW6432 in its environment; the 64-bit registry view
// keeps it on every 64-bit Windows, where whoever starts the setup cannot change it.
void AddNativeProgramFiles(std::vector<std::string>* folders) {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = ::GetEnvironmentVariableA("ProgramW6432", buffer, sizeof buffer);
  if (n > 0 && n < sizeof buffer) folders->push_back(std::string(buffer, n));

  ScopedRegKey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.Receive()) != ERROR_SUCCESS) {
    return;
  }
  char value[MAX_PATH + 1] = {};
  DWORD type = 0;
  DWORD size = MAX_PATH;  // the last byte stays a zero for a value stored without one
  if (::RegQueryValueExA(key.Get(), "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
          ERROR_SUCCESS &&
      type == REG_SZ) {
    folders->push_back(TextIn(value, sizeof value));
  }
}

// The folder of the users' profiles ("C:\Users", "C:\Documents and Settings"): userenv expands
// the ProfileList value "ProfilesDirectory" (%SystemDrive%\Users) as Windows itself does. Windows
// 9x has no userenv, and no such folder.
void AddProfilesFolder(const std::string& systemDirectory, std::vector<std::string>* folders) {
  using GetProfilesDirectoryFn = BOOL(WINAPI*)(LPSTR, LPDWORD);
  ScopedLibrary userenv = LoadSystemLibrary(systemDirectory, "userenv.dll");
  auto getProfilesDirectory = LookUp<GetProfilesDirectoryFn>(userenv, "GetProfilesDirectoryA");
  char buffer[MAX_PATH + 1] = {};
  DWORD size = sizeof buffer;
  if (getProfilesDirectory && getProfilesDirectory(buffer, &size)) folders->push_back(TextIn(buffer, sizeof buffer));
}

}  // namespace

bool Win32Files::Done(bool ok) {
  lastError_ = ok ? 0 : static_cast<long>(::GetLastError());
  return ok;
}

std::unique_ptr<File> Win32Files::Open(const std::string& path, OpenMode mode) {
  int style = mode == OpenMode::Read       ? OF_READ
              : mode == OpenMode::ReadHeld ? OF_READ | OF_SHARE_DENY_WRITE
              : mode == OpenMode::Write    ? OF_WRITE
                                           : OF_READWRITE;
  ScopedSmallFile file(::_lopen(path.c_str(), style));
  if (!Done(file.IsValid())) return nullptr;
  return std::make_unique<Win32File>(std::move(file));
}

std::unique_ptr<File> Win32Files::Create(const std::string& path) {
  ScopedSmallFile file(::_lcreat(path.c_str(), 0));
  if (!Done(file.IsValid())) return nullptr;
  return std::make_unique<Win32File>(std::move(file));
}

bool Win32Files::CanOpenForReading(const std::string& path) {
  ScopedKernelHandle handle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return Done(handle.IsValid());
}

bool Win32Files::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  return Done(::CopyFileA(from.c_str(), to.c_str(), failIfExists) != FALSE);
}

bool Win32Files::SetAttributes(const std::string& path, uint32_t attributes) {
  return Done(::SetFileAttributesA(path.c_str(), attributes) != FALSE);
}

uint32_t Win32Files::GetAttributes(const std::string& path) {
  DWORD attributes = ::GetFileAttributesA(path.c_str());
  Done(attributes != INVALID_FILE_ATTRIBUTES);
  return attributes;
}

uint32_t Win32Files::LinkCount(const std::string& path) {
  // No access asked and every sharing granted: a file another program holds is counted too.
  ScopedKernelHandle handle(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING,
                                          FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  if (!Done(handle.IsValid() && ::GetFileInformationByHandle(handle.Get(), &information) != FALSE)) return 0;
  return information.nNumberOfLinks;
}

bool Win32Files::RestrictToReadAndRun(const std::string& path) {
  // Looked up at run time: Windows 9x has no access lists and lacks the calls.
  HMODULE advapi = ::LoadLibraryA("advapi32.dll");
  using ConvertFn = BOOL(WINAPI*)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
  using GetDaclFn = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, LPBOOL, PACL*, LPBOOL);
  using SetNamedFn = DWORD(WINAPI*)(LPSTR, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL);
  auto lookUp = [advapi](const char* name) {
    return advapi ? reinterpret_cast<void*>(::GetProcAddress(advapi, name)) : nullptr;
  };
  auto convert = reinterpret_cast<ConvertFn>(lookUp("ConvertStringSecurityDescriptorToSecurityDescriptorA"));
  auto getDacl = reinterpret_cast<GetDaclFn>(lookUp("GetSecurityDescriptorDacl"));
  auto setNamed = reinterpret_cast<SetNamedFn>(lookUp("SetNamedSecurityInfoA"));
  if (!convert || !getDacl || !setNamed) return Done(true);
  // A volume that keeps no access lists (FAT) has nothing to set.
  DWORD flags = 0;
  const std::string root = path.size() > 2 && path[1] == ':' ? path.substr(0, 2) + "\\" : std::string();
  if (!root.empty() && ::GetVolumeInformationA(root.c_str(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
      !(flags & FILE_PERSISTENT_ACLS)) {
    return Done(true);
  }
  // SYSTEM and Administrators: full control; Users: read, run and read the attributes.
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!Done(convert("D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)", SDDL_REVISION_1, &descriptor, nullptr) != FALSE)) {
    return false;
  }
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  DWORD error =
      getDacl(descriptor, &present, &dacl, &defaulted) && present
          ? setNamed(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                     DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr)
          : ERROR_INVALID_SECURITY_DESCR;
  ::LocalFree(descriptor);
  ::SetLastError(error);
  return Done(error == ERROR_SUCCESS);
}

bool Win32Files::Delete(const std::string& path) { return Done(::DeleteFileA(path.c_str()) != FALSE); }

bool Win32Files::Move(const std::string& from, const std::string& to) {
  return Done(::MoveFileA(from.c_str(), to.c_str()) != FALSE);
}

bool Win32Files::MoveReplacing(const std::string& from, const std::string& to) {
  // Looked up at run time: Windows 9x has no MoveFileExA, or one that does nothing but fail.
  using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
  auto moveFileEx = reinterpret_cast<MoveFileExFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
  if (moveFileEx) {
    if (moveFileEx(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return Done(true);
    if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return Done(false);
  }
  // There the name stands empty for a moment, with the new file whole under its fresh name.
  if (!::DeleteFileA(to.c_str()) && ::GetLastError() != ERROR_FILE_NOT_FOUND &&
      ::GetLastError() != ERROR_PATH_NOT_FOUND) {
    return Done(false);
  }
  return Done(::MoveFileA(from.c_str(), to.c_str()) != FALSE);
}

bool Win32Files::MakeDirectory(const std::string& path) {
  return Done(::CreateDirectoryA(path.c_str(), nullptr) != FALSE);
}

std::vector<std::string> Win32Files::List(const std::string& pattern) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  ScopedFind find(::FindFirstFileA(pattern.c_str(), &data));
  if (!Done(find.IsValid())) return names;
  do {
    names.emplace_back(data.cFileName);
  } while (::FindNextFileA(find.Get(), &data));
  return names;
}

bool Win32Files::ChangeDirectory(const std::string& path) {
  return Done(::SetCurrentDirectoryA(path.c_str()) != FALSE);
}

uint32_t Win32Files::DriveType(const std::string& root) { return ::GetDriveTypeA(root.c_str()); }

std::string Win32Files::WindowsDirectory() { return DirectoryFrom(::GetWindowsDirectoryA); }

std::string Win32Files::SystemDirectory() { return DirectoryFrom(::GetSystemDirectoryA); }

std::u16string Win32Files::SystemDirectoryW() {
  wchar_t buffer[MAX_PATH + 1] = {};
  UINT n = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
  if (n == 0 || n > MAX_PATH) return std::u16string();
  return std::u16string(reinterpret_cast<const char16_t*>(buffer), n);
}

std::string Win32Files::NativeSystemDirectory() {
  if (RunsOnWow64()) {
    std::string windows = WindowsDirectory();
    if (!windows.empty()) return windows + "\\sysnative";
  }
  return SystemDirectory();
}

std::vector<std::string> Win32Files::SystemFolders() {
  if (foldersFound_) return systemFolders_;
  const std::string system = SystemDirectory();
  std::vector<std::string> folders = {WindowsDirectory(), system};
  AddShellFolders(system, &folders);
  if (RunsOnWow64()) AddNativeProgramFiles(&folders);
  AddProfilesFolder(system, &folders);
  for (std::string& folder : folders) {
    if (!folder.empty()) systemFolders_.push_back(std::move(folder));
  }
  foldersFound_ = true;
  return systemFolders_;
}

// Volume serial number and file index are the directory itself, whatever name opened it: letter
// case, an 8.3 short name or a junction all lead to the same pair.
bool Win32Files::SameDirectory(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION info[2] = {};
  const std::string* paths[] = {&a, &b};
  for (int i = 0; i < 2; ++i) {
    ScopedKernelHandle handle(::CreateFileA(paths[i]->c_str(), FILE_READ_ATTRIBUTES,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!Done(handle.IsValid() && ::GetFileInformationByHandle(handle.Get(), &info[i]))) return false;
  }
  auto directory = [](const BY_HANDLE_FILE_INFORMATION& file) {
    return (file.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  };
  return directory(info[0]) && directory(info[1]) && info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh && info[0].nFileIndexLow == info[1].nFileIndexLow;
}

}  // namespace platform::win32
