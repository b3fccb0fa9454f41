#include "platform/win32/win32_files.h"

#include <aclapi.h>
#include <sddl.h>

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
  long Seek(long offset, SeekFrom origin) override {
    return ::_llseek(file_.Get(), offset, static_cast<int>(origin));
  }

 private:
  ScopedSmallFile file_;
};

std::string DirectoryFrom(UINT (WINAPI *get)(LPSTR, UINT)) {
  char buffer[MAX_PATH + 1] = {};
  UINT n = get(buffer, sizeof buffer);
  return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
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
  ScopedKernelHandle handle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                          nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
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
  if (!Done(convert("D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200a9;;;BU)", SDDL_REVISION_1, &descriptor, nullptr) !=
            FALSE)) {
    return false;
  }
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  DWORD error = getDacl(descriptor, &present, &dacl, &defaulted) && present
                    ? setNamed(const_cast<char*>(path.c_str()), SE_FILE_OBJECT,
                               DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                               dacl, nullptr)
                    : ERROR_INVALID_SECURITY_DESCR;
  ::LocalFree(descriptor);
  ::SetLastError(error);
  return Done(error == ERROR_SUCCESS);
}

bool Win32Files::Delete(const std::string& path) { return Done(::DeleteFileA(path.c_str()) != FALSE); }

bool Win32Files::Move(const std::string& from, const std::string& to) {
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
  BOOL wow64 = FALSE;
  using IsWow64ProcessFn = BOOL(WINAPI*)(HANDLE, PBOOL);
  // Looked up at run time: systems before XP SP2 do not have it (and are never 64-bit).
  auto isWow64 = reinterpret_cast<IsWow64ProcessFn>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "IsWow64Process")));
  if (isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64) {
    std::string windows = WindowsDirectory();
    if (!windows.empty()) return windows + "\\sysnative";
  }
  return SystemDirectory();
}

}  // namespace platform::win32
