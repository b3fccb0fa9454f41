// Texts of the archive readers and the user-data backup: code page 936 (GBK) bytes for the ANSI
// calls, and the file names they work with.
#pragma once

namespace archive::text {

// "没有成功解压复制%s文件！请重新下载安装。" around the entry's name.
inline constexpr char kUnpackFailedBefore[] = "\xC3\xBB\xD3\xD0\xB3\xC9\xB9\xA6\xBD\xE2\xD1\xB9\xB8\xB4\xD6\xC6";
inline constexpr char kUnpackFailedAfter[] =
    "\xCE\xC4\xBC\xFE\xA3\xA1\xC7\xEB\xD6\xD8\xD0\xC2\xCF\xC2\xD4\xD8\xB0\xB2\xD7\xB0\xA1\xA3";
// "Tavo安装"
inline constexpr char kCaptionInstall[] = "Tavo\xB0\xB2\xD7\xB0";
// "冷色瓷面.tvz", the default skin.
inline constexpr char kDefaultSkin[] = "\xC0\xE4\xC9\xAB\xB4\xC9\xC3\xE6" ".tvz";
inline constexpr char kBackupArchive[] = "tavoback.tvz";

inline constexpr char kPayloadType[] = "TVZ";
inline constexpr char kPayloadName[] = "KELVTVZ";

}  // namespace archive::text
