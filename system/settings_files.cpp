#include "system/settings_files.h"

#include <cstring>

#include "core/install_location.h"
#include "core/path_format.h"
#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "platform/files.h"
#include "platform/unchecked.h"
#include "system/texts.h"

namespace sys {
namespace {

constexpr size_t kSettingsTextSize = 1000;
constexpr size_t kMaxValue = 250;

// An address as the 100-byte fields hold it: at most 99 bytes, never half a double-byte character.
// The characters are told by the lead bytes GBK and Big5 share, whatever the system's code page.
std::string FitAddress(std::string value) {
  if (value.size() <= core::kMaxAddressChars) return value;
  size_t keep = 0;
  for (size_t i = 0; i < core::kMaxAddressChars;) {
    size_t width = platform::CharLength(value, i, platform::kCodePageGbk);
    if (i + width > core::kMaxAddressChars) break;
    i += width;
    keep = i;
  }
  value.resize(keep);
  return value;
}

// Bytes of the settings record the install sets: 1 makes the product show traditional characters;
// the two from 62 on it reads as cleared on its first start after an install.
constexpr size_t kRecordTraditional = 38;
constexpr size_t kRecordClearedFirst = 62;

bool WriteFile(core::SetupState& s, const char* name, const std::string& bytes) {
  std::string path;
  if (!core::JoinPath(s.InstallDir, name, &path)) return false;
  bool written = platform::WriteWholeFile(s.os.files, path, bytes);
  s.Log.Step("write settings file", path, written);
  return written;
}

}  // namespace

bool WriteSettingsFiles(core::SetupState& s) {
  bool switches = WriteFile(s, text::kSwitchFile, std::string(text::kSwitchFileBytes, sizeof text::kSwitchFileBytes));
  std::string settings = text::kUrl1Key + FitAddress(s.ServerAddress1) + "\r\n" + text::kUrl2Key +
                         FitAddress(s.ServerAddress2) + text::kNetFileTail;
  bool net = WriteFile(s, text::kNetFile, settings);
  return switches && net;
}

bool ReadServerAddresses(core::SetupState& s) {
  std::string path, bytes;
  if (!core::JoinPath(s.InstallDir, text::kNetFile, &path) ||
      !platform::ReadSmallFile(s.os.files, path, kSettingsTextSize, &bytes)) {
    return false;
  }
  s.ServerAddress1 = FitAddress(FindKeyValue(bytes.data(), bytes.size(), text::kUrl1Key));
  s.ServerAddress2 = FitAddress(FindKeyValue(bytes.data(), bytes.size(), text::kUrl2Key));
  return true;
}

bool AdjustSettingsRecord(core::SetupState& s) {
  std::string path;
  if (!core::JoinPath(s.InstallDir, text::kSettingsRecord, &path)) return false;
  // The record is the user's when the earlier data were kept or left as they are; a fresh record
  // a run cut off left beside it goes all the same.
  if (s.BackupState == core::Backup::DataKept || s.BackupState == core::Backup::Failed) {
    return platform::DeleteIfPresent(s.os.files, platform::FreshName(path));
  }
  if (auto file = s.os.files.Open(path, platform::OpenMode::Read)) {
    // A record that is there but does not read is left alone: the built-in one would replace it.
    if (file->Read(s.SettingsRecord.data(), static_cast<unsigned long>(s.SettingsRecord.size())) < 0) return false;
  } else if (s.os.files.LastError() != platform::kErrorFileNotFound) {
    return false;
  }
  if (s.UsesBig5()) s.SettingsRecord[kRecordTraditional] = 1;
  s.SettingsRecord[kRecordClearedFirst] = 0;
  s.SettingsRecord[kRecordClearedFirst + 1] = 0;
  return platform::WriteWholeFile(s.os.files, path, std::string(s.SettingsRecord.begin(), s.SettingsRecord.end()));
}

void LoadServerAddresses(core::SetupState& s, std::string* unit, std::string* government) {
  if (!ReadServerAddresses(s)) {
    unit->clear();
    government->clear();
    return;
  }
  *unit = s.ServerAddress1;
  *government = s.ServerAddress2;
}

std::string FindKeyValue(const char* buffer, size_t length, const std::string& key) {
  if (length == 0 || key.empty()) return std::string();
  for (size_t i = 0; i + key.size() <= length; ++i) {
    if (buffer[i] != key[0] || std::memcmp(buffer + i, key.data(), key.size()) != 0) continue;
    std::string value;
    for (size_t j = i + key.size(); j < length && value.size() < kMaxValue; ++j) {
      if (static_cast<unsigned char>(buffer[j]) <= 0x20) break;
      value.push_back(buffer[j]);
    }
    return value;
  }
  return std::string();
}

}  // namespace sys
