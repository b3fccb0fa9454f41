// The texts of the start-up, the install sequence and the installation check: messages (UTF-16,
// shown with MessageBoxW; the report in GBK bytes) and the command-line switches.
#pragma once

namespace flow::text {

inline constexpr char16_t kCaptionTavo[] = u"Tavo";
inline constexpr char16_t kAdminRefusal[] =
    u"本安装程序需要以管理员权限运行，请退出后重新以管理员权限运行。（运行方式为：用鼠标右键点击安装程序，"
    u"在弹出菜单中点击“以管理员身份运行”）";
inline constexpr char16_t kRegisterSuccess[] = u"Tavo已安装成功，如不能使用，请重新启动计算机！";

// Install sequence (caption "Tavo安装").
inline constexpr char16_t kCaptionInstall[] = u"Tavo安装";
inline constexpr char16_t kOldImeLocked[] =
    u"\u3000\u3000你以前安装的Kelvo正在使用，请关闭使用Kelvo的所有窗口，或者重新启动机器后，才能安装新版本的Kelvo！";
// The product's files the install places, starts or checks, by the names it gives them.
inline constexpr char kMainProgramName[] = "tavokelv.exe";  // started at logon and after a Yes
inline constexpr char kMainProgram6[] = "tavokel6.exe";     // the payload's main program for 6.x and 64-bit
inline constexpr char kCompanionName[] = "setupw64.exe";    // registers the 64-bit module
inline constexpr char kModuleName[] = "tavohu4.ime";        // the IME module, in every system directory
inline constexpr char kModule64[] = "tavohu64.ime";         // the payload's 64-bit module
inline constexpr char kModuleCopy[] = "tavohu32.ime";       // the install directory's copy of the module
inline constexpr char kUninstallerName[] = "tavodel.exe";   // in the system directory
inline constexpr char kUninstaller64[] = "tvqdel64.exe";    // the payload's 64-bit uninstaller
// The version-stamped stubs that stand in for the module while it is registered: GBK and Big5
// systems, 32- and 64-bit.
inline constexpr const char* kStubs[] = {"tavo320.ime", "tavo321.ime", "tavo640.ime", "tavo641.ime"};
// The Wubi and Pinyin libraries: shipped as ".tv1" and copied to ".tvu", the copy the user's own
// words go into; the product reads a compiled ".tvh" first.
struct Library {
  const char* shipped;
  const char* usersCopy;
  const char* compiled;
};
inline constexpr Library kWubiLibrary = {"tavocyzk.tv1", "tavocyzk.tvu", "tavocyzk.tvh"};
inline constexpr Library kPinyinLibrary = {"tavopyck.tv1", "tavopyck.tvu", "tavopyck.tvh"};
// The folder the install makes inside the install directory for the product's own use.
inline constexpr char kOwnFolder[] = "filer";

// Installation report (ANSI, code page 936, caption "Tavo7.1").
inline constexpr char kReportCaption[] = "Tavo7.1";
// "Tavo汉字输入系统7.1版安装情况报告。"
inline constexpr char kReportTitle[] =
    "Tavo\xBA\xBA\xD7\xD6\xCA\xE4\xC8\xEB\xCF\xB5\xCD\xB3"
    "7.1\xB0\xE6\xB0\xB2\xD7\xB0\xC7\xE9\xBF\xF6\xB1\xA8\xB8\xE6\xA1\xA3";
// "安装出现错误！错误为："
inline constexpr char kReportError[] =
    "\xB0\xB2\xD7\xB0\xB3\xF6\xCF\xD6\xB4\xED\xCE\xF3\xA3\xA1\xB4\xED\xCE\xF3\xCE\xAA\xA3\xBA";
// "检测不到安装路径！"
inline constexpr char kReasonPath[] = "\xBC\xEC\xB2\xE2\xB2\xBB\xB5\xBD\xB0\xB2\xD7\xB0\xC2\xB7\xBE\xB6\xA3\xA1";
// "文件不完整！"
inline constexpr char kReasonFiles[] = "\xCE\xC4\xBC\xFE\xB2\xBB\xCD\xEA\xD5\xFB\xA3\xA1";
// "无五笔词库文件！"
inline constexpr char kReasonWubi[] = "\xCE\xDE\xCE\xE5\xB1\xCA\xB4\xCA\xBF\xE2\xCE\xC4\xBC\xFE\xA3\xA1";
// "无拼音词库文件！"
inline constexpr char kReasonPinyin[] = "\xCE\xDE\xC6\xB4\xD2\xF4\xB4\xCA\xBF\xE2\xCE\xC4\xBC\xFE\xA3\xA1";
// "缺少文件！"
inline constexpr char kReasonModule[] = "\xC8\xB1\xC9\xD9\xCE\xC4\xBC\xFE\xA3\xA1";
// "请到主页" + home page + "重新下载安装！并解除杀毒软件对安装过程的拦截！"
inline constexpr char kAdviceBefore[] = "\xC7\xEB\xB5\xBD\xD6\xF7\xD2\xB3";
inline constexpr char kAdviceAfter[] =
    "\xD6\xD8\xD0\xC2\xCF\xC2\xD4\xD8\xB0\xB2\xD7\xB0\xA3\xA1\xB2\xA2\xBD\xE2\xB3\xFD\xC9\xB1\xB6\xBE\xC8\xED\xBC\xFE"
    "\xB6\xD4\xB0\xB2\xD7\xB0\xB9\xFD\xB3\xCC\xB5\xC4\xC0\xB9\xBD\xD8\xA3\xA1";

// Command-line switches.
inline constexpr char kSwitchRegister[] = "regtv32";
inline constexpr char kSwitchRegisterPath[] = "regtv32=";
inline constexpr char kSwitchSilent[] = "settvsrf32";
// Unattended deployment: the install directory (the rest of the line), the log file and no boxes.
inline constexpr char kSwitchTargetDir[] = "/D=";
inline constexpr char kSwitchLog[] = "/log=";
inline constexpr char kSwitchSuppressBoxes[] = "/suppressmsgboxes";

}  // namespace flow::text
