// Texts of the system registration and settings: ANSI bytes for the ANSI registry calls and
// message boxes (GBK, Big5 where the OEM code page is 950), UTF-16 for the W calls, and the
// registry paths and value names.
#pragma once

namespace sys::text {

// Description handed to the input method manager (two blanks before the version).
inline constexpr char16_t kImeDescription[] = u"Tavo输入平台  7.1";
// The module in the system directory, appended to it.
inline constexpr char16_t kImeModuleInSystemDir[] = u"\\tavohu4.ime";

// The "layout text" of the IME's layout key (two blanks before the version).
// "Tavo输入平台  7.1"
inline constexpr char kLayoutTextGbk[] = "Tavo\xCA\xE4\xC8\xEB\xC6\xBD\xCC\xA8  7.1";

// The same under OEM code page 950.
// "Tavo輸入平台  7.1"
inline constexpr char kLayoutTextBig5[] = "Tavo\xBF\xE9\xA4J\xA5\xAD\xA5x  7.1";

// Marks a layout key or an IME description as the IME's.
// "Tavo输入平台"
inline constexpr char kLayoutPrefixGbk[] = "Tavo\xCA\xE4\xC8\xEB\xC6\xBD\xCC\xA8";

// "Tavo輸入平台"
inline constexpr char kLayoutPrefixBig5[] = "Tavo\xBF\xE9\xA4J\xA5\xAD\xA5x";

// Marks a preload entry's layout text as the IME's.
// "Tavo输入"
inline constexpr char kPreloadPrefixGbk[] = "Tavo\xCA\xE4\xC8\xEB";

// Keyboard-layout failures on the NT family.
// "在WIN2000和WIN NT系统中安装本软件时，需要以系统管理员身份才能安装成功！"
inline constexpr char kAdminNeeded[] =
    "\xD4\xDAWIN2000\xBA\xCDWIN "
    "NT\xCF\xB5\xCD\xB3\xD6\xD0\xB0\xB2\xD7\xB0\xB1\xBE\xC8\xED\xBC\xFE\xCA\xB1\xA3\xAC\xD0\xE8\xD2\xAA\xD2\xD4\xCF\xB5"
    "\xCD\xB3\xB9\xDC\xC0\xED\xD4\xB1\xC9\xED\xB7\xDD\xB2\xC5\xC4\xDC\xB0\xB2\xD7\xB0\xB3\xC9\xB9\xA6\xA3\xA1";

// "Tavo"
inline constexpr char kCaptionTavo[] = "Tavo";

// "Tavo(Kelvo)"
inline constexpr char kCaptionTavoKelvo[] = "Tavo(Kelvo)";
inline constexpr char kSoftwareOpenError1003[] = "Software open error1003";
inline constexpr char kSoftwareOpenError1004[] = "Software open error1004";
inline constexpr char kSoftwareOpenError2003[] = "Software open error2003";

// Keyboard layouts and preload lists.
inline constexpr char kKeyboardLayouts[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
inline constexpr char kUserKeyboardLayout[] = "keyboard layout";
inline constexpr char kPreload[] = "preload";
inline constexpr char kUserPreload9x[] = "keyboard layout\\preload";
inline constexpr char kDefaultUserKeyboardLayout[] = ".DEFAULT\\keyboard layout";
inline constexpr char kImeFileValue[] = "IME file";
inline constexpr char kImeFile[] = "TAVOHU4.IME";
inline constexpr char kLayoutFileValue[] = "layout file";
inline constexpr char kLayoutFileNt[] = "kbdus.dll";
inline constexpr char kLayoutFile9x[] = "kbdus.kbd";
inline constexpr char kLayoutTextValue[] = "layout text";

// Windows integration entries.
inline constexpr char16_t kUninstallKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
inline constexpr char16_t kUninstallSubKey[] = u"tavoqwb";
inline constexpr char16_t kDisplayNameValue[] = u"DisplayName";
inline constexpr char16_t kDisplayName[] = u"Kelvo";
inline constexpr char16_t kUninstallStringValue[] = u"UninstallString";
inline constexpr char16_t kUninstallerInSystemDir[] = u"\\tavodel.exe";
// The rest of a complete entry, read by deployment tools and the system's program list.
inline constexpr char16_t kDisplayVersionValue[] = u"DisplayVersion";
inline constexpr char16_t kDisplayVersion[] = u"7.1";
inline constexpr char16_t kInstallLocationValue[] = u"InstallLocation";
inline constexpr char16_t kDisplayIconValue[] = u"DisplayIcon";
inline constexpr char16_t kMainProgram[] = u"tavokelv.exe";
inline constexpr char16_t kEstimatedSizeValue[] = u"EstimatedSize";
inline constexpr char16_t kNoModifyValue[] = u"NoModify";
inline constexpr char16_t kNoRepairValue[] = u"NoRepair";
inline constexpr char kCurrentVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr char kRunSubKey[] = "Run";
inline constexpr char kRunValue[] = "tvtasjgl";
inline constexpr char kUserAgentKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\User Agent";
inline constexpr char kPostPlatformSubKey[] = "Post Platform";
inline constexpr char kUserAgentToken[] = "kelv7100";
inline constexpr const char* kOlderTokens[] = {"kelv6300", "kelv6400", "kelv6500", "kelv6600",
                                               "kelv6700", "kelv6800", "kelv7000"};
// icacls is started by its full path in the system directory: by its bare name Windows would look
// for it first in the directory the setup was started from, which any user may write to.
inline constexpr char kIntegrityProgram[] = "icacls.exe";
inline constexpr char kIntegrityCommandAfter[] = "\" /SetIntegrityLevel Level: L";

// Settings files.
inline constexpr char kSwitchFile[] = "wbpybz.tvh";
inline constexpr char kNetFile[] = "tvnetsj.dat";
inline constexpr char kSettingsRecord[] = "tvszsj43.tvh";
// "TVWBPYBZ=0" and its terminating NUL: 11 bytes.
inline constexpr char kSwitchFileBytes[] = "TVWBPYBZ=0";
inline constexpr char kUrl1Key[] = "TVNETURL1=";
inline constexpr char kUrl2Key[] = "TVNETURL2=";
inline constexpr char kNetFileTail[] =
    "\r\nTVNETTIME=1\r\nTVBJTIME=7\r\nTVWYTIME=3\r\nTVSJOFF=0\r\nTVNETTIME0=0\r\nTVBJTIME0=0\r\nTVNEONE=1\r\n";

}  // namespace sys::text
