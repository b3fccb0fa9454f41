// The names of the install-path stores (path files, registry key and value), of the default
// folder and of the administrator test's marker; the one message both install roads show.
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

// Either install road without the payload resource or the work buffer.
inline constexpr char16_t kNoPayload[] = u"安装程序不完整或内存不足，无法安装。请重新下载安装程序。";

}  // namespace core::text
