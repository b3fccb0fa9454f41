// The names of the install-path stores (path files, registry key and value), of the default
// folder and of the administrator test's marker.
#pragma once

namespace core::text {

inline constexpr char kPathFileName[] = "tavopath.tvh";
inline constexpr char kPathFileInWindows[] = "\\tavopath.tvh";
inline constexpr char kSoftwareKey[] = "Software";
inline constexpr char kProductKey[] = "tavowb";
inline constexpr char kProductKeyPath[] = "Software\\tavowb";
inline constexpr char kPathValue[] = "path";
inline constexpr char kDefaultFolder[] = "tavohu\\";
inline constexpr char kSysWow64Folder[] = "\\syswow64";
inline constexpr char kAdminMarker[] = "tavoisadmin";

}  // namespace core::text
