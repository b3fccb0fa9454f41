// Keeping the user's own dictionaries and settings across a reinstall: a backup archive
// "tavoback.tvz" built from an earlier installation when the window opens, and its restore over
// the freshly unpacked files when the user wants it.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/setup_state.h"

namespace archive {

// Packs the user files of the directory of the earlier installation into tavoback.tvz, which is
// written whole and takes the place of an earlier one in one step (platform::WriteWholeFile). Made when
// every file of the list that is there, and every required one, was added (the archive is then
// remembered as this run's backup); None when no file of the list is there; Failed otherwise, and
// then the install must leave those files as they are.
core::Backup BackupUserData(core::SetupState& s);
// A name of the user's own data: an entry of the backup list or the live file it is copied from.
bool IsUserDataName(std::string_view name);
// Appends one file to an archive file, creating the archive when missing. False (archive
// unchanged) for a name over 12 bytes or not a plain file name, a duplicate (letter case
// ignored), a missing file, a file larger than a restore could unpack, no memory or a failed
// write. `appended` (optional) receives the entry's bytes as they were written.
bool AddFileToArchive(core::SetupState& s, const std::string& archivePath, const std::string& filePath,
                      std::string* appended = nullptr);
// Remembers the archive at `path` as the backup this run wrote. With `written` (the archive's
// bytes as this run wrote them), only when the file still holds exactly those: one swapped in
// between the writing and this reading is not remembered. Without it, the archive as it is now.
bool RememberBackup(core::SetupState& s, const std::string& path, const std::string* written = nullptr);
// Whether the remembered backup archive still holds exactly the bytes remembered.
bool BackupIsIntact(core::SetupState& s);
// Unpacks this run's backup archive over the install directory, if its bytes are still the ones
// written, and only the files of the backup list; the number of files written. `whole`
// (optional) tells whether every entry of the archive was put back.
uint32_t RestoreUserData(core::SetupState& s, bool* whole = nullptr);
// True for the file names of the backup list (letter case ignored).
bool IsBackupEntryName(std::string_view name);
// A file of the backup list without which no backup is made: there under its entry name, or as
// the live file it is copied from (null when it has none).
struct RequiredUserFile {
  const char* entry;
  const char* copiedFrom;
};
std::vector<RequiredUserFile> RequiredUserFiles();

}  // namespace archive
