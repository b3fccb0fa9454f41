// Files the setup places from the payload it carries: an entry's bytes (the version stamp
// applied where the install directory's copy has it), written whole under a fresh name beside the
// target before the file there makes way, and the message a failed copy shows.
#pragma once
#include <string>

#include "core/install_report.h"
#include "core/setup_state.h"

namespace flow {

// Where a file the setup places comes from: an entry of the payload it carries, never the copy
// in the install directory, which every user can change between the unpack and the copy.
struct Source {
  const char* entry;
  bool stamp = false;  // the version stamp applied, as the install directory's copy has it
};

// "<InstallDir>name", or empty when it does not fit a path buffer.
std::string InInstallDir(core::SetupState& s, const char* name);
// "<dir>\name", or empty when it does not fit a path buffer.
std::string InDirectory(const std::string& dir, const char* name);
// Whether a file (not a folder) is there.
bool IsFile(core::SetupState& s, const std::string& path);
// "没有成功复制<target>文件…" in its box.
void ShowCopyFailed(core::SetupState& s, const std::string& target);
// The bytes of the payload's entry; false when the payload has no such entry.
bool PayloadBytes(core::SetupState& s, const Source& source, std::string* bytes);
// The main program as Windows of this kind runs it: the payload's own "tavokelv.exe" is for the
// 32-bit Windows before Vista; everywhere else "tavokel6.exe" takes its name.
const char* MainProgramEntry(core::SetupState& s);

// InTheWay: the file under the name could not make way (in use, held, a link that stays).
enum class Placed { Yes, NotWritten, InTheWay };

// The payload's entry written as `to` (tried once more when it could not be written); a module
// (`moveAside`) in use is moved to its aside name to make way. A file that could not be placed is
// counted in `report`; nothing is shown.
Placed PlaceFile(core::SetupState& s, core::InstallReport& report, const Source& source, const std::string& to,
                 bool moveAside);

}  // namespace flow
