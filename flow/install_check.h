// The check at the end of an install: the install directory exists and can be entered, holds
// enough files, and the Wubi and Pinyin phrase libraries and the IME module can be read. The
// first failing check is reported in one message box.
#pragma once
#include <string>

#include "core/setup_state.h"

namespace flow {

struct ScanResult {
  int status = 0;  // 1 listed, +10 enterable, +3 a directory (whatever its other attributes): 14 passes
  int textFiles = 0;
  int tableFiles = 0;
  int otherFiles = 0;
};

ScanResult ScanDataFiles(core::SetupState& s);
// 0x1400 when 20 bytes were read; else the error, or bytes read x 256 + the error.
int ProbeFile(core::SetupState& s, const std::string& name);
// 1 when a fault was found (and reported, if showReport), 0 when every check passed.
int VerifyInstallation(core::SetupState& s, bool showReport = true);

}  // namespace flow
