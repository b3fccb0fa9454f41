// Numeric values of the Windows constants the setup logic works with. The logic never sees a
// Windows header; these numbers are what the real calls take and return.
#pragma once
#include <cstdint>

namespace platform {

// Drive types (GetDriveTypeA).
constexpr uint32_t kDriveNoRootDir = 1;
constexpr uint32_t kDriveRemovable = 2;
constexpr uint32_t kDriveFixed = 3;
constexpr uint32_t kDriveRemote = 4;
constexpr uint32_t kDriveCdrom = 5;

// File attributes.
constexpr uint32_t kAttrReadOnly = 0x01;
constexpr uint32_t kAttrHidden = 0x02;
constexpr uint32_t kAttrSystem = 0x04;
constexpr uint32_t kAttrDirectory = 0x10;
constexpr uint32_t kAttrArchive = 0x20;
constexpr uint32_t kAttrNormal = 0x80;
constexpr uint32_t kAttrReparsePoint = 0x400;  // a symbolic link or a junction
constexpr uint32_t kInvalidAttributes = 0xFFFFFFFF;

// Win32 error numbers passed through.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorPathNotFound = 3;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorSharingViolation = 32;
constexpr long kErrorHandleDiskFull = 39;
constexpr long kErrorDiskFull = 112;
constexpr long kErrorFileExists = 80;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorDirectory = 267;  // the name is not a directory

// Registry.
constexpr uint32_t kRegNone = 0;
constexpr uint32_t kRegSz = 1;
constexpr uint32_t kRegExpandSz = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegDword = 4;
constexpr uint32_t kRegMultiSz = 7;
constexpr uint32_t kKeyRead = 0x20019;
constexpr uint32_t kKeyAllAccess = 0xF003F;
// Registry views, added to an access mask. A 32-bit program on 64-bit Windows opens the 32-bit
// view by default: HKLM\Software\X is HKLM\Software\Wow6432Node\X of the 64-bit view. On
// 32-bit Windows both flags are ignored: there is one view.
constexpr uint32_t kKeyWow64_64Key = 0x100;
constexpr uint32_t kKeyWow64_32Key = 0x200;

// Message boxes.
constexpr uint32_t kMbOk = 0x0;
constexpr uint32_t kMbYesNo = 0x4;
constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Show commands.
constexpr int kSwHide = 0;
constexpr int kSwShowNormal = 1;
constexpr int kSwShow = 5;

// Keyboard layouts.
constexpr uint32_t kKlfSetForProcess = 0x100;

}  // namespace platform
