#include "system/preload.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "system/preload_store.h"
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
std::string Slot(std::string text, uint32_t slotBytes) {
  if (text.size() > slotBytes - 1) text.resize(slotBytes - 1);
  return text;
}

// The list up to its first place that is not there or cannot be read; a 9x place whose key opens
// but whose identifier cannot be read is still a place, with no identifier.
void ReadIds(PreloadStore& store, std::vector<core::PreloadEntry>* list) {
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    core::PreloadEntry entry;
    std::string id;
    PreloadPlace place = store.Read(k, kIdSlotBytes, &id);
    if (place == PreloadPlace::Absent || place == PreloadPlace::Unreadable) return;
    if (place == PreloadPlace::Listed) entry.id = Slot(id, kIdSlotBytes);
    list->push_back(entry);
  }
}

// The default user's list belongs to the log-on screen and to users yet to come, not to the
// current user: the IME is moved or added within it, and whatever else it lists stays in order.
void PromoteForDefaultUser(core::SetupState& s, const std::string& ime) {
  std::unique_ptr<PreloadStore> store;
  if (OpenDefaultUserPreload(s, &store) != PreloadOpen::Opened) return;
  std::vector<std::string> list;
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    std::string id;
    PreloadPlace place = store->Read(k, kValueBufferBytes, &id);
    if (place == PreloadPlace::Absent) break;
    // An entry that cannot be read could not be moved without being lost.
    if (place != PreloadPlace::Listed) return;
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
    if (i >= list.size() || promoted[i] != list[i]) store->Write(i + 1, promoted[i]);
  }
  for (size_t i = promoted.size(); i < list.size(); ++i) store->Remove(i + 1);
}

enum class PreloadMatch { Listed, OtherLanguage, Different };

// Compares the preload text P with a stored identifier, ASCII letters without case, up to the
// first difference; the end of the stored text counts as a difference.
PreloadMatch ComparePreload(const std::string& p, const std::string& value) {
  const size_t i = platform::SharedPrefixIgnoringCase(p, value, platform::kCodePageAscii);
  if (i == p.size()) return PreloadMatch::Listed;
  return i + 3 >= p.size() ? PreloadMatch::OtherLanguage : PreloadMatch::Different;
}

// A stored identifier that names `id` (ASCII letters without case).
bool HoldsId(const std::string& stored, const std::string& id) {
  return !id.empty() && ComparePreload(id, stored) == PreloadMatch::Listed;
}

}  // namespace

size_t ReadPreloadList(core::SetupState& s) {
  s.PreloadList.clear();
  std::unique_ptr<PreloadStore> store;
  if (OpenUserPreload(s, &store) == PreloadOpen::Opened) ReadIds(*store, &s.PreloadList);
  std::unique_ptr<RegKey> layouts;
  if (s.os.registry.OpenKey(RegRoot::LocalMachine, text::kKeyboardLayouts, platform::kKeyRead, &layouts) !=
      platform::kErrorSuccess) {
    s.PreloadList.clear();
    return 0;
  }
  for (core::PreloadEntry& entry : s.PreloadList) {
    std::unique_ptr<RegKey> layout;
    // Only read, but opened for full access as the earlier versions opened it, and kept so: where
    // the process may not write the machine's layouts (no administrator on the NT family) the
    // texts stay unread and the IME counts as not listed, so that an earlier module of ours in use
    // does not stop the install and no promotion is tried that would fail on the default user.
    if (layouts->OpenSubKey(entry.id, platform::kKeyAllAccess, &layout) != platform::kErrorSuccess) continue;
    std::string layoutText;
    if (ReadRegistryText(*layout, text::kLayoutTextValue, kTextSlotBytes, &layoutText) == platform::kErrorSuccess) {
      entry.text = Slot(layoutText, kTextSlotBytes);
    }
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
  std::unique_ptr<PreloadStore> store;
  PreloadOpen opened = OpenUserPreload(s, &store);
  if (opened == PreloadOpen::Opened) {
    for (size_t place = 2; place <= s.PreloadList.size(); ++place) store->Write(place, s.PreloadList[place - 1].id);
  }
  // Only where the current user's keyboard-layout key could be opened at all is the default
  // user's list looked at.
  if (opened != PreloadOpen::Failed) PromoteForDefaultUser(s, s.PreloadList[1].id);
}

bool AddToPreload(core::SetupState& s, const std::string& p, const std::string& replaced) {
  std::unique_ptr<PreloadStore> store;
  PreloadOpen opened = OpenUserPreload(s, &store);
  if (opened != PreloadOpen::Opened) return opened == PreloadOpen::NoList;
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    std::string id;
    PreloadPlace place = store->Read(k, kValueBufferBytes, &id);
    if (place == PreloadPlace::Absent) {
      store->Write(k, p);
      return true;
    }
    // A place that is there but cannot be read is still someone's layout.
    if (place != PreloadPlace::Listed) continue;
    PreloadMatch match = ComparePreload(p, id);
    if (match == PreloadMatch::Listed) return true;
    if (match == PreloadMatch::OtherLanguage || HoldsId(id, replaced)) {
      store->Write(k, p);
      return true;
    }
  }
  store->Write(core::kMaxPreloadEntries, p);
  return true;
}

}  // namespace sys
