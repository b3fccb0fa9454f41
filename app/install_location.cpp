#include "app/install_location.h"

#include <algorithm>

#include "app/path_format.h"
#include "app/texts.h"
#include "platform/constants.h"

namespace app {
namespace {

// GetWindowsDirectoryA into a buffer of bufferSize bytes: empty when it does not fit.
std::string WindowsDirectory(SetupState& s, size_t bufferSize) {
  std::string dir = s.os.files.WindowsDirectory();
  return dir.size() < bufferSize ? dir : std::string();
}

bool PathFileInWindows(SetupState& s, std::string* name) {
  std::string windows = WindowsDirectory(s, kPathBufferSize);
  return !windows.empty() && JoinPath(windows, text::kPathFileInWindows, name);
}

// A store's bytes, as the C string they were read into; false when they do not fit InstallDir.
bool TakeStoredPath(const std::string& bytes, std::string* dir) {
  std::string path = UpToNul(bytes);
  if (path.size() > kMaxPathChars) return false;
  *dir = std::move(path);
  return true;
}

// Reads a path file whole; a file too long for InstallDir is passed over like a missing one.
bool ReadPathFile(SetupState& s, const std::string& name, std::string* dir) {
  std::string bytes;
  if (!platform::ReadSmallFile(s.os.files, name, kPathBufferSize, &bytes)) return false;
  return TakeStoredPath(bytes, dir);
}

}  // namespace

bool ReadPathFileInWindows(SetupState& s, std::string* dir) {
  std::string pathFile;
  return PathFileInWindows(s, &pathFile) && ReadPathFile(s, pathFile, dir);
}

bool ReadRegistryPath(SetupState& s, std::string* dir) {
  std::unique_ptr<platform::RegKey> key;
  if (s.os.registry.OpenKey(platform::RegRoot::LocalMachine, text::kProductKeyPath,
                            platform::kKeyAllAccess, &key) != platform::kErrorSuccess) {
    return false;
  }
  uint32_t type = 0;
  std::string data;
  if (key->QueryValue(text::kPathValue, kPathBufferSize, &type, &data) != platform::kErrorSuccess) {
    return false;
  }
  return TakeStoredPath(data, dir);
}

namespace {

void WritePathStores(SetupState& s) {
  std::string pathFile;
  if (PathFileInWindows(s, &pathFile)) platform::WriteSmallFile(s.os.files, pathFile, s.InstallDir);

  std::unique_ptr<platform::RegKey> software;
  if (s.os.registry.OpenKey(platform::RegRoot::LocalMachine, text::kSoftwareKey, platform::kKeyRead,
                            &software) == platform::kErrorSuccess) {
    std::unique_ptr<platform::RegKey> product;
    if (software->CreateSubKey(text::kProductKey, platform::kKeyAllAccess, &product) ==
        platform::kErrorSuccess) {
      product->SetValue(text::kPathValue, platform::kRegSz, s.InstallDir);
    }
  }

  if (s.WindowsMajor >= 6) {
    const std::string& defaultDir = DefaultInstallDir(s);
    s.os.files.MakeDirectory(defaultDir);
    std::string second;
    if (JoinPath(defaultDir, text::kPathFileName, &second)) {
      platform::WriteSmallFile(s.os.files, second, s.InstallDir);
    }
  }
}

}  // namespace

const std::string& ReadInstallPath(SetupState& s) {
  const std::string& dir = s.InstallDir;
  if (dir.size() >= 3 && dir[1] == ':' && dir[2] == '\\') return dir;
  s.InstallDir.clear();

  if (ReadPathFileInWindows(s, &s.InstallDir) || ReadRegistryPath(s, &s.InstallDir)) return s.InstallDir;
  const std::string& defaultDir = DefaultInstallDir(s);
  std::string pathFile;
  if (JoinPath(defaultDir, text::kPathFileName, &pathFile) && ReadPathFile(s, pathFile, &s.InstallDir)) {
    return s.InstallDir;
  }
  s.InstallDir = defaultDir;
  return s.InstallDir;
}

void SaveInstallPath(SetupState& s) {
  // A full buffer has no room for the backslash; every way into InstallDir leaves that room.
  if ((s.InstallDir.empty() || s.InstallDir.back() != '\\') && s.InstallDir.size() < kMaxPathChars) {
    s.InstallDir.push_back('\\');
  }
  WritePathStores(s);
}

const std::string& DefaultInstallDir(SetupState& s) {
  s.DefaultDir.clear();
  for (char drive = 'g'; drive >= 'c'; --drive) {
    std::string root = {drive, ':', '\\'};
    if (s.os.files.DriveType(root) == platform::kDriveFixed) {
      s.DefaultDir = root + text::kDefaultFolder;
      break;
    }
  }
  return s.DefaultDir;
}

int IsBadInstallDir(SetupState& s, std::string& directory) {
  if (directory.size() < 3 || directory[1] != ':' || directory[2] != '\\') {
    directory = DefaultInstallDir(s);
    return 1;
  }
  if (directory.size() < 5) return 1;
  auto backslashes = std::count(directory.begin(), directory.end(), '\\');
  if (backslashes > 2) return 1;
  if (backslashes == 2 && directory.back() != '\\') return 1;
  return 0;
}

int Is64BitWindows(SetupState& s) {
  s.WindowsMajor = 0;
  s.WindowsMajor = s.os.system.VersionMajor();
  if (s.WindowsMajor <= 5) return 0;
  std::string windows = WindowsDirectory(s, 100);
  if (windows.empty()) return 0;
  s.SysWow64Dir = windows + text::kSysWow64Folder;
  return PathExists(s, s.SysWow64Dir);
}

int PathExists(SetupState& s, const std::string& path) {
  return s.os.files.CanOpenForReading(path) ? 1 : 0;
}

std::string GetSysWow64Dir(SetupState& s) {
  std::string dir;
  std::string windows = WindowsDirectory(s, kPathBufferSize);
  if (windows.empty() || !JoinPath(windows, text::kSysWow64Folder, &dir)) return std::string();
  return dir;
}

}  // namespace app
