// The start-up and install-location texts: messages (UTF-16, shown with MessageBoxW) and the names
// of the install-path stores.
#pragma once

namespace app::text {

inline constexpr char16_t kCaptionTavo[] = u"Tavo";
inline constexpr char16_t kAdminRefusal[] =
    u"本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。（运行方式为：用鼠标右键点击安装程序，"
    u"在弹出菜单中点击“以管理员身份运行”）";
inline constexpr char16_t kRegisterSuccess[] = u"Tavo已安装成功，如不能使用，请重新启动计算机！";

// Command-line switches.
inline constexpr char kSwitchRegister[] = "regtv32";
inline constexpr char kSwitchRegisterPath[] = "regtv32=";
inline constexpr char kSwitchSilent[] = "settvsrf32";

// Install-path stores.
inline constexpr char kPathFileName[] = "tavopath.tvh";
inline constexpr char kPathFileInWindows[] = "\\tavopath.tvh";
inline constexpr char kSoftwareKey[] = "Software";
inline constexpr char kProductKey[] = "tavowb";
inline constexpr char kProductKeyPath[] = "Software\\tavowb";
inline constexpr char kPathValue[] = "path";
inline constexpr char kDefaultFolder[] = "tavohu\\";
inline constexpr char kSysWow64Folder[] = "\\syswow64";
inline constexpr char kAdminMarker[] = "tavoisadmin";

}  // namespace app::text
