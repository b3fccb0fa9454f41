#include "flow/open_payload.h"

#include "archive/archive_format.h"
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
  // Packed before anything is touched; the install keeps them (the window asks first). Without
  // an earlier install nothing is written: no archive is begun until a file of the list is there.
  s.BackupState = archive::BackupUserData(s);
  s.Log.Line(s.BackupState == core::Backup::Made     ? "back up the user's data: " + s.Log.Ansi(s.BackupArchive)
             : s.BackupState == core::Backup::Failed ? std::string("back up the user's data: failed, left as they are")
                                                     : std::string("back up the user's data: nothing to keep"));
  return true;
}

}  // namespace flow
