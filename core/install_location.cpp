#include "core/install_location.h"

#include <string_view>
#include <vector>

#include "core/path_format.h"
#include "core/system_folders.h"
#include "core/texts.h"
#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"

namespace core {
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

std::unique_ptr<platform::RegKey> OpenProductKey(SetupState& s, bool create) {
  std::unique_ptr<platform::RegKey> key;
  if (!create) {
    return s.os.registry.OpenKey(platform::RegRoot::LocalMachine, text::kProductKeyPath, platform::kKeyAllAccess,
                                 &key) == platform::kErrorSuccess
               ? std::move(key)
               : nullptr;
  }
  std::unique_ptr<platform::RegKey> software;
  if (s.os.registry.OpenKey(platform::RegRoot::LocalMachine, text::kSoftwareKey, platform::kKeyRead, &software) !=
          platform::kErrorSuccess ||
      software->CreateSubKey(text::kProductKey, platform::kKeyAllAccess, &key) != platform::kErrorSuccess) {
    return nullptr;
  }
  return key;
}

bool ReadRegistryPath(SetupState& s, std::string* dir) {
  // Full access even for reading: a process that may not write the value must not take it as
  // the install's directory either (it falls back to path file 2 or the default), and the
  // administrator test reads the stores back this way.
  std::unique_ptr<platform::RegKey> key = OpenProductKey(s, false);
  if (!key) return false;
  uint32_t type = 0;
  std::string data;
  if (key->QueryValue(text::kPathValue, kPathBufferSize, &type, &data) != platform::kErrorSuccess) {
    return false;
  }
  // Only a text is a directory: the bytes of a number or a binary value would be taken as one.
  if (type != platform::kRegSz) return false;
  return TakeStoredPath(data, dir);
}

namespace {

bool WritePathStores(SetupState& s) {
  bool all = true;
  std::string pathFile;
  if (PathFileInWindows(s, &pathFile)) {
    bool written = platform::WriteWholeFile(s.os.files, pathFile, s.InstallDir);
    s.Log.Step("record the install directory in path file", pathFile, written);
    all = all && written;
  }

  std::unique_ptr<platform::RegKey> product = OpenProductKey(s, true);
  const bool stored =
      product && product->SetValue(text::kPathValue, platform::kRegSz, s.InstallDir) == platform::kErrorSuccess;
  s.Log.Step("record the install directory in registry value",
             std::string("HKLM\\") + text::kProductKeyPath + "\\" + text::kPathValue + " = " + s.InstallDir, stored);
  all = all && stored;

  // Path file 2 lies in the default directory, which any user may create: in place of a junction
  // there it is not written at all, never through it.
  if (s.WindowsMajor >= 6 && platform::IsLink(s.os.files, DefaultInstallDir(s))) {
    s.Log.Step("record the install directory in path file 2 (the default directory is a link)", s.DefaultDir, false);
  } else if (s.WindowsMajor >= 6) {
    const std::string& defaultDir = DefaultInstallDir(s);
    platform::Unchecked(s.os.files.MakeDirectory(defaultDir));
    std::string second;
    if (JoinPath(defaultDir, text::kPathFileName, &second)) {
      bool written = platform::WriteWholeFile(s.os.files, second, s.InstallDir);
      s.Log.Step("record the install directory in path file", second, written);
      all = all && written;
    }
  }
  return all;
}

}  // namespace

bool IsInstallableDir(SetupState& s, const std::string& dir) {
  if (dir.size() < 3 || dir[1] != ':' || dir[2] != '\\') return false;
  unsigned char drive = static_cast<unsigned char>(dir[0]);
  if (!((drive >= 'a' && drive <= 'z') || (drive >= 'A' && drive <= 'Z'))) return false;
  return IsAcceptedInstallDir(s, dir);
}

const std::string& ReadInstallPath(SetupState& s) {
  const std::string& dir = s.InstallDir;
  if (dir.size() >= 3 && dir[1] == ':' && dir[2] == '\\') return dir;
  s.InstallDir.clear();

  // A store may hold anything: a number, a leftover of the administrator test, a relative path
  // that would send the install wherever the current directory happens to be. What the
  // directory page would refuse is passed over like a missing store.
  std::string stored;
  auto take = [&](bool read) {
    if (!read || !IsInstallableDir(s, stored)) return false;
    s.InstallDir = WithTrailingBackslash(stored, s.AnsiCodePage);
    return true;
  };
  if (take(ReadPathFileInWindows(s, &stored)) || take(ReadRegistryPath(s, &stored))) return s.InstallDir;
  const std::string& defaultDir = DefaultInstallDir(s);
  std::string pathFile;
  if (JoinPath(defaultDir, text::kPathFileName, &pathFile) && take(ReadPathFile(s, pathFile, &stored))) {
    return s.InstallDir;
  }
  s.InstallDir = defaultDir;
  return s.InstallDir;
}

bool SaveInstallPath(SetupState& s) {
  // A full buffer has no room for the backslash; every way into InstallDir leaves that room.
  s.InstallDir = WithTrailingBackslash(std::move(s.InstallDir), s.AnsiCodePage);
  return WritePathStores(s);
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

namespace {

// "x:\" in front, the drive's character a whole character of the code page: a lead byte there
// would take the ':' as its second byte, and the path would be relative.
bool StartsWithDrive(SetupState& s, const std::string& directory) {
  return directory.size() >= 3 && platform::CharLength(directory, 0, s.AnsiCodePage) == 1 && directory[1] == ':' &&
         directory[2] == '\\';
}

}  // namespace

bool IsAcceptedInstallDir(SetupState& s, const std::string& directory) {
  if (!StartsWithDrive(s, directory) || directory.size() < 5) return false;
  if (HasForbiddenPathCharacters(directory, s.AnsiCodePage)) return false;
  // One folder right below the root, with or without its backslash: "x:\folder" or "x:\folder\".
  std::vector<std::string_view> levels = PathLevels(std::string_view(directory).substr(3), s.AnsiCodePage);
  if (levels.size() > 2 || (levels.size() == 2 && !levels[1].empty())) return false;
  // Windows drops a trailing dot or blank and reads "." and ".." as the root itself: the files
  // would land in the drive root or in a folder other than the one recorded.
  std::string_view folder = levels[0];
  if (folder.empty() || folder.back() == '.' || folder.back() == ' ') return false;
  // Any user may write a path store, and the install writes with administrator rights and lowers
  // its directory's integrity level: "c:\windows\" in the default directory's path file would
  // otherwise put the product into the Windows directory.
  if (IsSystemFolder(s.os.files, directory, s.AnsiCodePage)) return false;
  // A junction or a symbolic link in its place would send every write of the install elsewhere.
  return !platform::IsLink(s.os.files, directory);
}

std::string CorrectedInstallDir(SetupState& s, const std::string& refused) {
  // Offered for a correction rather than a fresh start; its backslash is added when it is taken.
  std::string_view folder = text::kDefaultFolder;
  folder.remove_suffix(1);
  std::string drive = StartsWithDrive(s, refused) ? refused.substr(0, 3) : DefaultInstallDir(s).substr(0, 3);
  return drive + std::string(folder);
}

}  // namespace core
