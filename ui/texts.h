// Texts of the setup window: page texts (UTF-16 for TextOutW; only the welcome page's loading
// note is ANSI, GBK or Big5), hover captions, messages, the title, the class and the font faces.
#pragma once

namespace ui::text {

// Painted captions (UTF-16).
inline constexpr char16_t kConfirmInstall[] = u"确 定 安 装";
inline constexpr char16_t kConfirmExit[] = u"确 定 退 出";
inline constexpr char16_t kAbandon[] = u"放 弃 退 出";

// Hover captions (ANSI): GBK, and Big5 under OEM code page 950.
// "确 定 安 装", "确 定 退 出", "放 弃 退 出"
inline constexpr char kHoverConfirmInstall[] = "\xC8\xB7 \xB6\xA8 \xB0\xB2 \xD7\xB0";
inline constexpr char kHoverConfirmExit[] = "\xC8\xB7 \xB6\xA8 \xCD\xCB \xB3\xF6";
inline constexpr char kHoverAbandon[] = "\xB7\xC5 \xC6\xFA \xCD\xCB \xB3\xF6";
// "確 定 安 裝", "放 棄 退 出" (Big5)
inline constexpr char kHoverConfirmBig5[] = "\xBDT \xA9w \xA6w \xB8\xCB";
inline constexpr char kHoverAbandonBig5[] = "\xA9\xF1 \xB1\xF3 \xB0h \xA5X";

// Welcome page.
// "安装程序正在载入文件，请等待……" (GBK) and "安裝程序正在載入文件，請等待……" (Big5)
inline constexpr char kLoadingNote[] =
    "\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xD5\xFD\xD4\xDA\xD4\xD8\xC8\xEB\xCE\xC4\xBC\xFE\xA3\xAC\xC7\xEB\xB5\xC8\xB4\xFD"
    "\xA1\xAD\xA1\xAD";
inline constexpr char kLoadingNoteBig5[] =
    "\xA6w\xB8\xCB\xB5{\xA7\xC7\xA5\xBF\xA6"
    "b\xB8\xFC\xA4J\xA4\xE5\xA5\xF3\xA1"
    "A\xBD\xD0\xB5\xA5\xAB\xDD\xA1K\xA1K";
inline constexpr char16_t kWelcomeLine1[] = u"您尝试过Tavo语句提示输入吗？";
inline constexpr char16_t kWelcomeLine2[] = u"Tavo语句将给你带来新的输入体验……";
inline constexpr char16_t kVersionNote[] = u"7.1 版";
inline constexpr char kPicture[] = "kelv1.bmp";

// Address page.
inline constexpr char16_t kAddressTitle[] = u"Tavo输入平台  系统安装";
inline constexpr char16_t kEdition[] = u"Kelvo专版";
inline constexpr char16_t kAddressLine1[] = u"请输入你所在单位网站和你所在地政府网站的网址，";
inline constexpr char16_t kAddressLine2[] = u"Tavo就可每天自动从这两个网站上下载相关文章，";
inline constexpr char16_t kAddressLine3[] = u"组建或增加系统文章库，以方便你的快速输入。";
inline constexpr char16_t kUnitLabel[] = u"所在单位网址：";
inline constexpr char16_t kGovernmentLabel[] = u"当地政府网址：";

// Directory page.
inline constexpr char16_t kDirectoryTitle[] = u"Tavo输入平台";
inline constexpr char16_t kDirectoryHeading[] = u"Kelvo 7.1 版  系统安装";
inline constexpr char16_t kSuitedFor1[] = u"本版本适用于：WINDOWS NT、WIN2000、";
inline constexpr char16_t kSuitedFor2[] = u"WINDOWS XP、VISTA及WIN7中文系统。";
inline constexpr char16_t kPathLabel[] = u"安装路径：";

// Processing and try-out pages. Wide like the other page texts: GBK bytes through the ANSI call
// would read as other characters on a Big5 system.
inline constexpr char16_t kProcessingTitle[] = u"Tavo7.1版安装";
inline constexpr char16_t kProcessingHeading[] = u"Tavo正在处理有关数据……";
inline constexpr char16_t kTryOutTitle[] = u"欢迎使用Tavo系统";
inline constexpr char16_t kTryOutHeading[] = u"欢迎使用Tavo输入系统";
inline constexpr char16_t kTryOutLine1[] = u"Tavo已经安装在你的系统中!";
inline constexpr char16_t kTryOutLine2[] = u"请在下面的框中试着用Tavo系统输入你的姓名。";
inline constexpr char16_t kTryOutLine3[] = u"请输入你的姓名：";

// Window, fonts and messages.
inline constexpr char kClassName[] = "installWClass";
inline constexpr char kIconName[] = "tavohu";
inline constexpr char kMenuName[] = "install";
inline constexpr char16_t kTitle32[] = u"Tavo系统安装32";
inline constexpr char16_t kTitle64[] = u"Tavo系统安装3264";
inline constexpr char kFontSong[] = "\xCB\xCE\xCC\xE5";  // "宋体"
inline constexpr char kFontKai[] = "\xBF\xAC\xCC\xE5";   // "楷体"
inline constexpr char16_t kCaptionTavo[] = u"Tavo";
// The install's questions, which the window puts to the user.
inline constexpr char16_t kCaptionInstall[] = u"Tavo安装";
inline constexpr char16_t kKeepDataQuestion[] = u"检测到安装目录下有Tavo以前的词组等数据文件，是否保留？";
inline constexpr char16_t kSentenceLibraryQuestion[] = u"是否立即增加智能语句库数据？";
inline constexpr char16_t kBadPath[] = u"Tavo不能安装在你设定的路径下，请重新设定路径！";
inline constexpr char16_t kDoneRestartNow[] = u"安装完毕，请立即重新启动计算机！";
inline constexpr char16_t kDone[] = u"安装完毕，如不能使用，请重新启动计算机！";

}  // namespace ui::text
