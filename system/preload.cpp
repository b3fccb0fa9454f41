#include "system/preload.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/install_location.h"
#include "core/path_format.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "system/ime_registration.h"
#include "system/registry_text.h"
#include "system/texts.h"

namespace sys {
namespace {

using platform::RegKey;
using platform::RegRoot;

constexpr uint32_t kIdSlotBytes = 10;     // at most 9 characters and a NUL
constexpr uint32_t kTextSlotBytes = 200;  // at most 199 bytes and a NUL
constexpr uint32_t kValueBufferBytes = 200;

// A text read into a slot of slotBytes keeps at most slotBytes - 1 of them: the last is its NUL.
bool ReadText(RegKey& key, const std::string& name, uint32_t slotBytes, std::string* out) {
  std::string text;
  if (ReadRegistryText(key, name, slotBytes, &text) != platform::kErrorSuccess) return false;
  if (text.size() > slotBytes - 1) text.resize(slotBytes - 1);
  *out = text;
  return true;
}

bool Open(core::SetupState& s, RegRoot root, const char* path, uint32_t access, std::unique_ptr<RegKey>* key) {
  return s.os.registry.OpenKey(root, path, access, key) == platform::kErrorSuccess;
}

void ReadIdsNt(core::SetupState& s) {
  std::unique_ptr<RegKey> layout, preload;
  if (!Open(s, RegRoot::CurrentUser, text::kUserKeyboardLayout, platform::kKeyRead, &layout)) return;
  if (layout->OpenSubKey(text::kPreload, platform::kKeyAllAccess, &preload) != platform::kErrorSuccess) return;
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    core::PreloadEntry entry;
    if (!ReadText(*preload, std::to_string(k), kIdSlotBytes, &entry.id)) return;
    s.PreloadList.push_back(entry);
  }
}

void ReadIds9x(core::SetupState& s) {
  std::unique_ptr<RegKey> preload;
  if (!Open(s, RegRoot::CurrentUser, text::kUserPreload9x, platform::kKeyRead, &preload)) return;
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    std::unique_ptr<RegKey> place;
    if (preload->OpenSubKey(std::to_string(k), platform::kKeyAllAccess, &place) != platform::kErrorSuccess) return;
    core::PreloadEntry entry;
    ReadText(*place, "", kIdSlotBytes, &entry.id);
    s.PreloadList.push_back(entry);
  }
}

// Writes places 2 to count of the current user's list as the values named 2 to count; false when
// the keyboard-layout key itself cannot be opened.
bool WriteUserPlacesNt(core::SetupState& s) {
  std::unique_ptr<RegKey> layout, preload;
  if (!Open(s, RegRoot::CurrentUser, text::kUserKeyboardLayout, platform::kKeyRead, &layout)) return false;
  if (layout->OpenSubKey(text::kPreload, platform::kKeyAllAccess, &preload) != platform::kErrorSuccess) return true;
  for (size_t place = 2; place <= s.PreloadList.size(); ++place) {
    platform::Unchecked(preload->SetValue(std::to_string(place), platform::kRegSz, s.PreloadList[place - 1].id));
  }
  return true;
}

// The default user's list belongs to the log-on screen and to users yet to come, not to the
// current user: the IME is moved or added within it, and whatever else it lists stays in order.
void PromoteForDefaultUserNt(core::SetupState& s, const std::string& ime) {
  std::unique_ptr<RegKey> layout, preload;
  if (!Open(s, RegRoot::Users, text::kDefaultUserKeyboardLayout, platform::kKeyRead, &layout)) return;
  if (layout->OpenSubKey(text::kPreload, platform::kKeyAllAccess, &preload) != platform::kErrorSuccess) return;
  std::vector<std::string> list;
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    std::string id;
    long result = ReadRegistryText(*preload, std::to_string(k), kValueBufferBytes, &id);
    if (result == platform::kErrorFileNotFound) break;
    // An entry that cannot be read could not be moved without being lost.
    if (result != platform::kErrorSuccess) return;
    list.push_back(id);
  }
  const size_t at = static_cast<size_t>(
      std::find_if(list.begin(), list.end(), [&](const std::string& id) { return SameLayoutId(id, ime); }) -
      list.begin());
  const bool absent = at == list.size();
  if (list.empty() || at < 2 || (absent && list.size() == core::kMaxPreloadEntries)) return;

  // The list's own spelling of the IME when it has one; any further copies of it are dropped.
  std::vector<std::string> promoted = {list[0], absent ? ime : list[at]};
  for (size_t i = 1; i < list.size(); ++i) {
    if (!SameLayoutId(list[i], ime)) promoted.push_back(list[i]);
  }
  for (size_t i = 1; i < promoted.size(); ++i) {
    if (i >= list.size() || promoted[i] != list[i]) {
      platform::Unchecked(preload->SetValue(std::to_string(i + 1), platform::kRegSz, promoted[i]));
    }
  }
  for (size_t i = promoted.size(); i < list.size(); ++i)
    platform::Unchecked(preload->DeleteValue(std::to_string(i + 1)));
}

}  // namespace

size_t ReadPreloadList(core::SetupState& s) {
  s.PreloadList.clear();
  if (s.Win9x) {
    ReadIds9x(s);
  } else {
    ReadIdsNt(s);
  }
  std::unique_ptr<RegKey> layouts;
  if (!Open(s, RegRoot::LocalMachine, text::kKeyboardLayouts, platform::kKeyRead, &layouts)) {
    s.PreloadList.clear();
    return 0;
  }
  for (core::PreloadEntry& entry : s.PreloadList) {
    std::unique_ptr<RegKey> layout;
    if (layouts->OpenSubKey(entry.id, platform::kKeyAllAccess, &layout) != platform::kErrorSuccess) continue;
    ReadText(*layout, text::kLayoutTextValue, kTextSlotBytes, &entry.text);
  }
  return s.PreloadList.size();
}

bool FindImeInPreload(core::SetupState& s) {
  s.ImeInPreload = false;
  s.ImePreloadPosition = 0;
  s.PreloadList.clear();
  if (s.Is64Bit) return false;
  if (ReadPreloadList(s) == 0) return false;
  const std::string_view prefix = text::kPreloadPrefixGbk;
  for (size_t i = 0; i < s.PreloadList.size(); ++i) {
    if (std::string_view(s.PreloadList[i].text).substr(0, prefix.size()) == prefix) {
      s.ImePreloadPosition = static_cast<int>(i + 1);
      s.ImeInPreload = true;
      return true;
    }
  }
  return false;
}

void PromotePreloadEntry(core::SetupState& s) {
  const int position = s.ImePreloadPosition;
  if (!s.ImeInPreload || s.PreloadList.size() < 3 || position < 3 ||
      static_cast<size_t>(position) > s.PreloadList.size() || s.WindowsMajor > 5) {
    return;
  }
  // Places 2 .. position: the IME moves to place 2, the others one place down.
  std::rotate(s.PreloadList.begin() + 1, s.PreloadList.begin() + (position - 1), s.PreloadList.begin() + position);
  if (s.Win9x) {
    std::unique_ptr<RegKey> preload;
    if (!Open(s, RegRoot::CurrentUser, text::kUserPreload9x, platform::kKeyRead, &preload)) return;
    for (size_t place = 2; place <= s.PreloadList.size(); ++place) {
      std::unique_ptr<RegKey> key;
      if (preload->OpenSubKey(std::to_string(place), platform::kKeyAllAccess, &key) == platform::kErrorSuccess) {
        platform::Unchecked(key->SetValue("", platform::kRegSz, s.PreloadList[place - 1].id));
      }
    }
    return;
  }
  if (WriteUserPlacesNt(s)) PromoteForDefaultUserNt(s, s.PreloadList[1].id);
}

}  // namespace sys
