// Texts drawn on the setup window's pages (UTF-16 for TextOutW).
#pragma once

namespace ui::text {

inline constexpr char16_t kConfirmInstall[] = u"确 定 安 装";
inline constexpr char16_t kAbandon[] = u"放 弃 退 出";
inline constexpr char16_t kDirectoryTitle[] = u"Tavo输入平台";
inline constexpr char16_t kDirectoryHeading[] = u"Kelvo 7.1 版  系统安装";
inline constexpr char16_t kSuitedFor1[] = u"本版本适用于：WINDOWS NT、WIN2000、";
inline constexpr char16_t kSuitedFor2[] = u"WINDOWS XP、VISTA及WIN7中文系统。";
inline constexpr char16_t kPathLabel[] = u"安装路径：";

}  // namespace ui::text
