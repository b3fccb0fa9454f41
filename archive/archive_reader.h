// Reading archives: one payload entry into the work buffer, every entry of an image into the
// install directory, and the default skin archive over the skin files there.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "archive/archive_format.h"
#include "core/setup_state.h"

namespace archive {

// Decompresses the payload entry `name` (exact, case-sensitive) into the data area of the work
// buffer. The first two bytes of the data area are 0 when no entry was produced. Returns the
// number of bytes produced (0: absent, empty or corrupt).
size_t LoadArchiveEntry(core::SetupState& s, const std::string& name);

// The names of the payload's entries, in their order; empty without a payload.
std::vector<std::string> PayloadEntryNames(core::SetupState& s);

// Which entries an archive may write; the others are passed over without a message.
using EntryFilter = std::function<bool(std::string_view name)>;

// Writes each entry of the image as InstallDir + name, using the work area (name area, then
// data area) for the decompressed content. True when every entry of the count was written or
// passed over by `mayWrite`;
// `written` (optional) receives how many were. The first entry that fails is reported in a
// message box; later failures of the same archive are only counted (`failed`, optional). An
// entry that unpacks to nothing is a failure, unless `emptyFiles` says the archive holds files
// that may be empty (the user's own, in the backup): then it is written as an empty file.
bool UnpackArchive(core::SetupState& s, const uint8_t* image, size_t imageSize, uint8_t* workArea, size_t workAreaSize,
                   uint32_t* written = nullptr, EntryFilter mayWrite = nullptr, uint32_t* failed = nullptr,
                   bool emptyFiles = false);

// False for the names of modules and programs (".ime", ".exe", ".dll" and other executable
// kinds): an archive read from a directory ordinary users can write to must never place one
// where the deployment would copy it into the system directory or start it.
bool IsDataFileName(std::string_view name);

// Unpacks InstallDir + "冷色瓷面.tvz" (its first 128 KiB) into the install directory, unless the
// user kept the earlier installation's data.
void UnpackDefaultSkin(core::SetupState& s);

// The data area of a work area.
inline uint8_t* DataArea(uint8_t* workArea) { return workArea + kNameAreaSize; }

}  // namespace archive
