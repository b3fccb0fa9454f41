#include "flow/open_payload.h"

#include "archive/archive_format.h"
#include "archive/restore_record.h"
#include "archive/texts.h"
#include "archive/user_data.h"

namespace flow {

bool LoadPayload(core::SetupState& s) {
  s.PayloadImage = s.os.resources.Load(archive::text::kPayloadType, archive::text::kPayloadName);
  s.WorkBuffer = s.PayloadImage ? s.os.resources.AllocZeroed(archive::kWorkBufferSize) : nullptr;
  if (s.PayloadImage && s.WorkBuffer) return true;
  s.PayloadImage.reset();
  s.WorkBuffer.reset();
  return false;
}

bool OpenPayload(core::SetupState& s) {
  s.BackupState = core::Backup::None;
  bool loaded = LoadPayload(s);
  s.Log.Step("load the payload and the work buffer", "", loaded);
  if (!loaded) return false;
  // A run cut off between laying the payload's files over the user's and putting theirs back
  // left its record: their files go back first, or the packing below would take the fresh ones
  // for theirs. When that cannot be finished, their files and that run's archive stay as they are.
  if (archive::FinishCutOffRestore(s) == archive::CutOffRestore::Unfinished) {
    s.BackupState = core::Backup::Failed;
    s.Log.Line("back up the user's data: left as they are, with the archive of the run that was cut off");
    return true;
  }
  // Packed before anything is touched; the install keeps them (the window asks first). Without
  // an earlier install nothing is written: no archive is begun until a file of the list is there.
  s.BackupState = archive::BackupUserData(s);
  s.Log.Line(s.BackupState == core::Backup::Made     ? "back up the user's data: " + s.Log.Ansi(s.BackupArchive)
             : s.BackupState == core::Backup::Failed ? std::string("back up the user's data: failed, left as they are")
                                                     : std::string("back up the user's data: nothing to keep"));
  return true;
}

}  // namespace flow
