// Where the product is installed: the directory of an earlier install (path files and registry),
// the default directory and the judgement of a typed directory.
#pragma once
#include <memory>
#include <string>

#include "core/setup_state.h"
#include "platform/registry.h"

namespace core {

// Fills InstallDir from the first store that holds an installable directory, or with the default
// directory; keeps a drive path already set.
const std::string& ReadInstallPath(SetupState& s);
// The two stores only an administrator can write: path file 1 (Windows directory) and the
// HKLM value. False when the store is missing, unreadable, not a text or too long for InstallDir;
// what they hold is not judged here.
bool ReadPathFileInWindows(SetupState& s, std::string* dir);
bool ReadRegistryPath(SetupState& s, std::string* dir);
// HKEY_LOCAL_MACHINE\Software\tavowb with full access, made first when `create`; null when it cannot
// be had.
std::unique_ptr<platform::RegKey> OpenProductKey(SetupState& s, bool create);
// Adds the trailing backslash and writes path file 1, the registry value and (6.x) path file 2;
// false when one of them could not be written.
[[nodiscard]] bool SaveInstallPath(SetupState& s);
// "<first fixed drive of g: down to c:>\tavohu\", or empty.
const std::string& DefaultInstallDir(SetupState& s);
// The directory page's verdict on a typed directory. Accepted: one folder right below a drive
// root, its name free of characters Windows refuses, not "." or "..", not ending in a dot or blank,
// none of the system's folders (see IsSystemFolder), and no junction or symbolic link.
bool IsAcceptedInstallDir(SetupState& s, const std::string& directory);
// What the directory page offers after refusing `refused`: the default folder's name, without its
// backslash, on the drive typed, or on the default directory's drive when no drive was typed.
std::string CorrectedInstallDir(SetupState& s, const std::string& refused);
// A directory that may become InstallDir from the stores or the command line: a drive letter and
// what the directory page accepts.
bool IsInstallableDir(SetupState& s, const std::string& dir);

}  // namespace core
