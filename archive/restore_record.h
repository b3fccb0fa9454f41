// The record of a restore under way. It is written under the product's key in
// HKEY_LOCAL_MACHINE, which ordinary users cannot write, before the payload's files go over the
// user's own, and removed once the user's files are back or the user chose the fresh ones. A run
// cut off in between leaves it, and the next run puts the user's files back from the backup that
// run wrote (the archive with the recorded size and digest) and from nothing else.
#pragma once
#include "core/setup_state.h"

namespace archive {

// Records this run's backup (BackupArchive, its size and digest) and the directory its files go
// back to (InstallDir), in one registry value. False when it could not be written.
[[nodiscard]] bool RecordRestore(core::SetupState& s);
// True when no record is left.
[[nodiscard]] bool ClearRestoreRecord(core::SetupState& s);

enum class CutOffRestore {
  None,        // no run was cut off
  Finished,    // the user's files are back, the record is gone
  Refused,     // the recorded archive no longer holds the recorded bytes: nothing restored, record gone
  Unfinished,  // a file could not be put back: the record stays for the next run
};
// Puts the user's files of a cut-off run back, before this run packs anything. Needs the work
// buffer. Leaves this run's own backup values as they were.
CutOffRestore FinishCutOffRestore(core::SetupState& s);

}  // namespace archive
