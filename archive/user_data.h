// Keeping the user's own dictionaries and settings across a reinstall: a backup archive
// "tavoback.tvz" built from an earlier installation when the window opens, and its restore over
// the freshly unpacked files when the user wants it.
#pragma once
#include <cstdint>
#include <string>

#include "app/setup_state.h"

namespace archive {

// Packs the user files of the directory of the earlier installation into tavoback.tvz. True
// when every required item was added.
bool BackupUserData(app::SetupState& s);
// Appends one file to an archive file, creating the archive when missing. False (archive
// unchanged) for a name over 12 bytes, a duplicate, a missing file, no memory or a failed write.
bool AddFileToArchive(app::SetupState& s, const std::string& archivePath, const std::string& filePath);
// Unpacks InstallDir + tavoback.tvz over the install directory; the number of files written.
uint32_t RestoreUserData(app::SetupState& s);

}  // namespace archive
