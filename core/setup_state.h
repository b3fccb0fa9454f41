// The process-wide values every part of the setup reads: install directory, the facts about the
// running system and the outcomes of earlier steps.
// One object per run; each test starts from a fresh one.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/install_log.h"
#include "platform/platform.h"

namespace core {

// Every path lives in a 200-byte buffer: at most 199 characters and the terminating zero.
constexpr size_t kPathBufferSize = 200;
constexpr size_t kMaxPathChars = kPathBufferSize - 1;

// What became of the user's own data of an earlier install: nothing to keep, packed into this
// run's backup archive, put back over the fresh files, or not packed (a file of it could not be
// read or the archive not written): then its files are left as they are.
enum class Backup { None, Made, DataKept, Failed };

// One place of the current user's keyboard-layout preload list.
struct PreloadEntry {
  std::string id;    // layout identifier, at most 9 characters
  std::string text;  // that layout's "layout text", at most 199 bytes
};
constexpr size_t kMaxPreloadEntries = 49;
constexpr size_t kMaxAddressChars = 99;

// All zero but byte 8 = 0x36 and a few flags set to 1.
constexpr std::array<uint8_t, 200> InitialSettingsRecord() {
  std::array<uint8_t, 200> record{};
  record[8] = 0x36;
  for (int at : {9, 10, 12, 15, 19, 22, 24, 36, 41, 54, 58}) record[static_cast<size_t>(at)] = 1;
  return record;
}

struct SetupState {
  explicit SetupState(platform::Platform& platform) : os(platform) {}

  platform::Platform& os;

  uint32_t OemCodePage = 0;
  // The ANSI code page paths are written in (GetACP), read at start-up: in a double-byte code
  // page the second byte of a character may be 0x5C and is no backslash. Until then, that of
  // the target systems.
  uint32_t AnsiCodePage = 936;

  // Drive-letter path; ends with a backslash once SaveInstallPath has run. Never longer than
  // kMaxPathChars.
  std::string InstallDir;
  std::string DefaultDir;
  uint32_t WindowsMajor = 0;
  // 64-bit Windows (6.x and later, with a SysWOW64 folder); the Windows 9x family.
  bool Is64Bit = false;
  bool Win9x = false;
  // Traditional Chinese systems (OEM code page 950) get the Big5 stubs, texts and settings.
  bool UsesBig5() const { return OemCodePage == 950; }

  // The payload archive image (read-only, from the program's resources) and the 2 MiB scratch
  // block every entry is decompressed in; both absent until set up.
  std::unique_ptr<platform::ResourceImage> PayloadImage;
  std::unique_ptr<platform::MemoryBlock> WorkBuffer;
  Backup BackupState = Backup::None;
  // The backup archive this run wrote, with its size and a digest of its bytes ("" when none):
  // it lies in a directory other programs can write to, so only these exact bytes are restored.
  std::string BackupArchive;
  size_t BackupSize = 0;
  uint64_t BackupDigest = 0;
  // The settings record "tvszsj43.tvh" in memory; its built-in initial value.
  std::array<uint8_t, 200> SettingsRecord = InitialSettingsRecord();

  uint32_t ImeLayoutHandle = 0;
  std::vector<PreloadEntry> PreloadList;
  bool ImeInPreload = false;
  int ImePreloadPosition = 0;

  // The two web addresses of the address page (unit, government), ANSI, at most 99 characters.
  std::string ServerAddress1;
  std::string ServerAddress2;

  // The /LOG= file every step writes its line to; off without the switch.
  InstallLog Log;
};

}  // namespace core
