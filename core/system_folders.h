// The folders of the system itself that no install directory may be: the Windows and system
// directories, Program Files, the common application data and the users' profiles folder. The
// setup runs with administrator rights, writes its files into the install directory and lowers
// that directory's integrity level, and the path stores that name it can be written by any user.
#pragma once
#include <cstdint>
#include <string_view>

#include "platform/files.h"

namespace core {

// Whether `dir`, a folder right below a drive root (with or without its backslash), is one of the
// system's folders or holds one, judged by what the system names them: the same directory under
// another spelling (letter case, a short name) counts, a directory that is not there counts only
// when spelt as the system spells it, letter case aside.
bool IsSystemFolder(platform::Files& files, std::string_view dir, uint32_t codePage);

}  // namespace core
