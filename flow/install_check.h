// The check at the end of an install: the install directory exists and can be entered, holds
// enough files, and the Wubi and Pinyin phrase libraries and the IME module can be read. The
// first failing check is reported in one message box.
#pragma once
#include <string>

#include "core/setup_state.h"

namespace flow {

struct ScanResult {
  bool listed = false;     // the directory listing had an entry
  bool enterable = false;  // the directory can be made the current one
  bool directory = false;  // it is a directory, whatever its other attributes
  int textFiles = 0;
  int tableFiles = 0;
  int otherFiles = 0;
  bool Passes() const { return listed && enterable && directory; }
};

ScanResult ScanDataFiles(core::SetupState& s);
// The first 20 bytes of the install directory's file `name` can be read.
bool ProbeFile(core::SetupState& s, const std::string& name);
// True when every check passed; false when a fault was found (and reported, if showReport).
bool VerifyInstallation(core::SetupState& s, bool showReport = true);

}  // namespace flow
