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

// "没有成功复制%s文件，请退出安装程序并手动删除该文件后重新安装！" around the target path.
inline constexpr char kCopyFailedBefore[] = "\xC3\xBB\xD3\xD0\xB3\xC9\xB9\xA6\xB8\xB4\xD6\xC6";
inline constexpr char kCopyFailedAfter[] =
    "\xCE\xC4\xBC\xFE\xA3\xAC\xC7\xEB\xCD\xCB\xB3\xF6\xB0\xB2\xD7\xB0\xB3\xCC\xD0\xF2\xB2\xA2\xCA\xD6\xB6\xAF\xC9\xBE"
    "\xB3\xFD\xB8\xC3\xCE\xC4\xBC\xFE\xBA\xF3\xD6\xD8\xD0\xC2\xB0\xB2\xD7\xB0\xA3\xA1";
// "Tavo(Kelvo)安装"
inline constexpr char kCaptionTavoKelvoInstall[] = "Tavo(Kelvo)\xB0\xB2\xD7\xB0";
// The maker's home page, named in the incomplete-unpack message and the installation report.
inline constexpr char kHomePage[] = "www.tavo.com.cn";
// "文件解压不完整，请到Tavo网站" + home page + "重新下载安装。"
inline constexpr char kUnpackIncompleteBefore[] =
    "\xCE\xC4\xBC\xFE\xBD\xE2\xD1\xB9\xB2\xBB\xCD\xEA\xD5\xFB\xA3\xAC\xC7\xEB\xB5\xBDTavo\xCD\xF8\xD5\xBE";
inline constexpr char kUnpackIncompleteAfter[] = "\xD6\xD8\xD0\xC2\xCF\xC2\xD4\xD8\xB0\xB2\xD7\xB0\xA1\xA3";

inline constexpr char kPayloadType[] = "TVZ";
inline constexpr char kPayloadName[] = "KELVTVZ";

}  // namespace archive::text
