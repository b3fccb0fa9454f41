#include "system/ime_registration.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/path_format.h"
#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "system/preload.h"
#include "system/registry_text.h"
#include "system/texts.h"

namespace sys {
namespace {

using platform::RegKey;
using platform::RegRoot;

constexpr uint32_t kNameBufferChars = 200;
constexpr uint32_t kValueBufferBytes = 200;
// High halves of the identifiers this setup hands out: from just above the standard layouts'
// E000 up to the largest four hexadecimal digits hold.
constexpr uint32_t kFirstHigh = 0xE001;
constexpr uint32_t kLastHigh = 0xFFFF;

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A whole name of one to eight hexadecimal digits.
bool ParseHex(const std::string& name, uint32_t* value) {
  if (name.empty() || name.size() > 8) return false;
  uint32_t v = 0;
  for (char c : name) {
    int digit = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
    if (digit < 0) return false;
    v = v * 16 + static_cast<uint32_t>(digit);
  }
  *value = v;
  return true;
}

std::string WithSuffix(std::string id, std::string_view suffix) {
  if (id.size() >= 3 && std::string_view(id).substr(id.size() - 3) != suffix) id.replace(id.size() - 3, 3, suffix);
  return id;
}

// A layout key is the IME's when its text begins with the name in either Chinese encoding: a
// registration made under the other OEM code page is still ours.
bool IsImeLayoutText(std::string_view text) {
  return StartsWith(text, text::kLayoutPrefixGbk) || StartsWith(text, text::kLayoutPrefixBig5);
}

// Another IME's key must never be written into, so only a name that does not exist or that is
// already ours may be taken. A key that refuses to open is there all the same.
bool MayTake(RegKey& layouts, const std::string& id) {
  std::unique_ptr<RegKey> key;
  long result = layouts.OpenSubKey(id, platform::kKeyRead, &key);
  if (result == platform::kErrorFileNotFound) return true;
  if (result != platform::kErrorSuccess) return false;
  std::string layoutText;
  return ReadRegistryText(*key, text::kLayoutTextValue, kValueBufferBytes, &layoutText) == platform::kErrorSuccess &&
         IsImeLayoutText(layoutText);
}

// "%lx" upper-cased, as the layout names of earlier versions were formed, with the language.
std::string LayoutName(uint32_t number, std::string_view suffix) {
  return WithSuffix(platform::UpperAsciiCase(core::HexText(number), platform::kCodePageAscii), suffix);
}

// Steps the high half upward from `high`, keeping the low half; past FFFF the search goes on
// from E001, so that every high half is tried once and a name never loses its leading digits.
bool FindFreeLayoutName(RegKey& layouts, uint32_t high, uint32_t low, std::string_view suffix, std::string* id) {
  for (uint32_t tries = 0; tries <= kLastHigh - kFirstHigh; ++tries, ++high) {
    if (high < kFirstHigh || high > kLastHigh) high = kFirstHigh;
    std::string name = LayoutName((high << 16) | low, suffix);
    if (MayTake(layouts, name)) {
      *id = name;
      return true;
    }
  }
  return false;
}

void Message(core::SetupState& s, const char* text, const char* caption) {
  s.os.dialogs.MessageA(text, caption, platform::kMbOk);
}

[[nodiscard]] bool WriteText(RegKey& key, const char* name, const std::string& text) {
  return key.SetValue(name, platform::kRegSz, text) == platform::kErrorSuccess;
}

// What the machine's layout keys hold of ours: the key of an earlier registration and its name,
// and the largest number among the names read before it.
struct EarlierLayouts {
  std::unique_ptr<RegKey> ours;
  std::string id;
  uint32_t largest = 0;
};

// Looks at the layout names from the highest enumeration index down: the last earlier
// registration wins, and only the names before it count towards the largest number.
EarlierLayouts FindEarlierRegistration(RegKey& layouts, std::string_view prefix) {
  uint32_t count = 0;
  if (layouts.CountSubKeys(&count) != platform::kErrorSuccess) count = 0;
  std::vector<std::string> names;
  for (uint32_t index = count + 1; index-- > 0;) {
    std::string name;
    // A name too long for the buffer cannot be opened again by it: it is passed over.
    if (layouts.EnumSubKey(index, kNameBufferChars, &name) == platform::kErrorSuccess) names.push_back(name);
  }

  EarlierLayouts found;
  for (const std::string& name : names) {
    std::unique_ptr<RegKey> candidate;
    if (layouts.OpenSubKey(name, platform::kKeyAllAccess, &candidate) != platform::kErrorSuccess) continue;
    std::string layoutText;
    if (ReadRegistryText(*candidate, text::kLayoutTextValue, kValueBufferBytes, &layoutText) !=
        platform::kErrorSuccess) {
      continue;
    }
    if (StartsWith(layoutText, prefix)) {
      found.ours = std::move(candidate);
      found.id = name;
      break;
    }
    uint32_t number = 0;
    if (ParseHex(name, &number) && number > found.largest) found.largest = number;
  }
  return found;
}

// The key the IME is registered under, and its name in `id`: an earlier registration of the
// right language is kept; with none, a new key takes the next free number above the largest one
// and the standard E000; one of the other language is deleted (its name goes to `replaced`) and
// comes back under the same number with this language, or the next free one. Null when no name
// may be taken or the key cannot be made.
std::unique_ptr<RegKey> NameLayoutKey(RegKey& layouts, EarlierLayouts earlier, bool big5, std::string* id,
                                      std::string* replaced) {
  const std::string_view suffix = big5 ? "404" : "804";
  std::unique_ptr<RegKey> key = std::move(earlier.ours);
  *id = earlier.id;
  if (!key) {
    uint32_t base = std::max(earlier.largest, big5 ? 0xE0000404u : 0xE0000804u);
    if (FindFreeLayoutName(layouts, (base >> 16) + 1, base & 0xFFFFu, suffix, id)) {
      platform::Unchecked(layouts.CreateSubKey(*id, platform::kKeyAllAccess, &key));
    }
  } else if (id->size() >= 3 && std::string_view(*id).substr(id->size() - 3) != suffix) {
    key.reset();
    platform::Unchecked(layouts.DeleteSubKey(*id));
    *replaced = *id;
    std::string wanted = WithSuffix(*id, suffix);
    bool named = MayTake(layouts, wanted);
    if (named) {
      *id = wanted;
    } else {
      // A name that is not a number leaves 0, which starts the search at E001.
      uint32_t number = 0;
      ParseHex(*replaced, &number);
      named = FindFreeLayoutName(layouts, (number >> 16) + 1, number & 0xFFFFu, suffix, id);
    }
    if (named) platform::Unchecked(layouts.CreateSubKey(*id, platform::kKeyAllAccess, &key));
  }
  return key;
}

// Every value is tried, so that one refused costs only itself; true when all three were written.
[[nodiscard]] bool WriteLayoutValues(RegKey& key, bool win9x, bool big5) {
  const bool module = WriteText(key, text::kImeFileValue, text::kImeFile);
  const bool layout = WriteText(key, text::kLayoutFileValue, win9x ? text::kLayoutFile9x : text::kLayoutFileNt);
  const bool name = WriteText(key, text::kLayoutTextValue, big5 ? text::kLayoutTextBig5 : text::kLayoutTextGbk);
  return module && layout && name;
}

}  // namespace

bool InstallImeModule(core::SetupState& s) {
  // The system directory comes in a buffer of 100 characters.
  std::u16string module = s.os.files.SystemDirectoryW();
  if (module.size() >= 100) module.clear();
  module += text::kImeModuleInSystemDir;
  s.ImeLayoutHandle = s.os.ime.InstallIme(module, text::kImeDescription);
  return s.ImeLayoutHandle != 0;
}

bool RegisterKeyboardLayout(core::SetupState& s) {
  const bool win9x = s.Win9x;
  const bool big5 = s.UsesBig5();

  std::unique_ptr<RegKey> layouts;
  if (s.os.registry.OpenKey(RegRoot::LocalMachine, text::kKeyboardLayouts, platform::kKeyRead, &layouts) !=
      platform::kErrorSuccess) {
    Message(s, win9x ? text::kSoftwareOpenError1003 : text::kAdminNeeded, text::kCaptionTavo);
    return false;
  }
  std::string id, replaced;
  std::unique_ptr<RegKey> key = NameLayoutKey(
      *layouts, FindEarlierRegistration(*layouts, big5 ? text::kLayoutPrefixBig5 : text::kLayoutPrefixGbk), big5, &id,
      &replaced);
  if (!key) {
    layouts.reset();
    Message(s, win9x ? text::kSoftwareOpenError1004 : text::kAdminNeeded, text::kCaptionTavoKelvo);
    return false;
  }
  // The answer covers the layout key and the preload entry only: a value refused under the key
  // shows no message and does not fail the registration.
  platform::Unchecked(WriteLayoutValues(*key, win9x, big5));
  key.reset();
  layouts.reset();

  const std::string listed = win9x ? platform::UpperAsciiCase(id, platform::kCodePageAscii)
                                   : platform::FoldAsciiCase(id, platform::kCodePageAscii);
  if (AddToPreload(s, listed, replaced)) return true;
  Message(s, text::kSoftwareOpenError2003, text::kCaptionTavoKelvo);
  return false;
}

}  // namespace sys
