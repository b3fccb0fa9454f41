#include "system/ime_registration.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "core/path_format.h"
#include "platform/constants.h"
#include "platform/text_case.h"
#include "platform/unchecked.h"
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

std::string AsciiCase(std::string text, bool upper) {
  for (char& c : text) c = upper ? platform::AsciiUpper(c) : platform::AsciiLower(c);
  return text;
}

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
  return WithSuffix(AsciiCase(core::HexText(number), true), suffix);
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

enum class PreloadMatch { Listed, OtherLanguage, Different };

// Compares the preload text P with a stored value (up to its NUL), ASCII letters without case, up to the first
// difference; the end of the stored bytes counts as a difference.
PreloadMatch ComparePreload(const std::string& p, const std::string& value) {
  size_t i = 0;
  while (i < p.size() && i < value.size() && platform::AsciiLower(p[i]) == platform::AsciiLower(value[i])) ++i;
  if (i == p.size()) return PreloadMatch::Listed;
  return i + 3 >= p.size() ? PreloadMatch::OtherLanguage : PreloadMatch::Different;
}

// A stored preload value that names `id` (ASCII letters without case).
bool HoldsId(const std::string& stored, const std::string& id) {
  return !id.empty() && ComparePreload(id, stored) == PreloadMatch::Listed;
}

void Message(core::SetupState& s, const char* text, const char* caption) {
  s.os.dialogs.MessageA(text, caption, platform::kMbOk);
}

bool WriteText(RegKey& key, const char* name, const std::string& text) {
  return key.SetValue(name, platform::kRegSz, text) == platform::kErrorSuccess;
}

// NT family: preload values named 1 to 49 under HKCU\keyboard layout\preload. `replaced` is the
// identifier of a registration just deleted: its place is where the new one belongs.
bool AddToPreloadNt(core::SetupState& s, const std::string& p, const std::string& replaced) {
  std::unique_ptr<RegKey> layout, preload;
  if (s.os.registry.OpenKey(RegRoot::CurrentUser, text::kUserKeyboardLayout, platform::kKeyRead, &layout) !=
      platform::kErrorSuccess) {
    Message(s, text::kSoftwareOpenError2003, text::kCaptionTavoKelvo);
    return false;
  }
  if (layout->OpenSubKey(text::kPreload, platform::kKeyAllAccess, &preload) != platform::kErrorSuccess) return true;
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    std::string name = std::to_string(k);
    std::string data;
    long result = ReadRegistryText(*preload, name, kValueBufferBytes, &data);
    if (result == platform::kErrorFileNotFound) {
      WriteText(*preload, name.c_str(), p);
      return true;
    }
    // A value that is there but cannot be read is still someone's layout.
    if (result != platform::kErrorSuccess) continue;
    PreloadMatch match = ComparePreload(p, data);
    if (match == PreloadMatch::Listed) return true;
    if (match == PreloadMatch::OtherLanguage || HoldsId(data, replaced)) {
      WriteText(*preload, name.c_str(), p);
      return true;
    }
  }
  WriteText(*preload, "49", p);
  return true;
}

// Windows 9x family: subkeys 1 to 49 of HKCU\keyboard layout\preload, the identifier in each
// one's default value; `replaced` as for the NT family.
bool AddToPreload9x(core::SetupState& s, const std::string& p, const std::string& replaced) {
  std::unique_ptr<RegKey> preload;
  if (s.os.registry.OpenKey(RegRoot::CurrentUser, text::kUserPreload9x, platform::kKeyRead, &preload) !=
      platform::kErrorSuccess) {
    Message(s, text::kSoftwareOpenError2003, text::kCaptionTavoKelvo);
    return false;
  }
  for (size_t k = 1; k <= core::kMaxPreloadEntries; ++k) {
    std::string name = std::to_string(k);
    std::unique_ptr<RegKey> place;
    long opened = preload->OpenSubKey(name, platform::kKeyAllAccess, &place);
    if (opened == platform::kErrorFileNotFound) {
      if (preload->CreateSubKey(name, platform::kKeyAllAccess, &place) == platform::kErrorSuccess) {
        WriteText(*place, "", p);
      }
      return true;
    }
    if (opened != platform::kErrorSuccess) continue;
    std::string data;
    if (ReadRegistryText(*place, "", kValueBufferBytes, &data) != platform::kErrorSuccess) continue;
    PreloadMatch match = ComparePreload(p, data);
    if (match == PreloadMatch::Listed) return true;
    if (match == PreloadMatch::OtherLanguage || HoldsId(data, replaced)) {
      WriteText(*place, "", p);
      return true;
    }
  }
  std::unique_ptr<RegKey> last;
  if (preload->CreateSubKey("49", platform::kKeyAllAccess, &last) == platform::kErrorSuccess) WriteText(*last, "", p);
  return true;
}

}  // namespace

bool SameLayoutId(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return platform::AsciiLower(x) == platform::AsciiLower(y);
         });
}

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
  const std::string_view suffix = big5 ? "404" : "804";
  const std::string_view prefix = big5 ? text::kLayoutPrefixBig5 : text::kLayoutPrefixGbk;

  std::unique_ptr<RegKey> layouts;
  if (s.os.registry.OpenKey(RegRoot::LocalMachine, text::kKeyboardLayouts, platform::kKeyRead, &layouts) !=
      platform::kErrorSuccess) {
    Message(s, win9x ? text::kSoftwareOpenError1003 : text::kAdminNeeded, text::kCaptionTavo);
    return false;
  }

  // Layout names from the highest enumeration index down: the last earlier registration wins.
  uint32_t count = 0;
  if (layouts->CountSubKeys(&count) != platform::kErrorSuccess) count = 0;
  std::vector<std::string> names;
  for (uint32_t index = count + 1; index-- > 0;) {
    std::string name;
    // A name too long for the buffer cannot be opened again by it: it is passed over.
    if (layouts->EnumSubKey(index, kNameBufferChars, &name) == platform::kErrorSuccess) names.push_back(name);
  }

  std::unique_ptr<RegKey> key;
  std::string id;
  uint32_t largest = 0;
  for (const std::string& name : names) {
    std::unique_ptr<RegKey> candidate;
    if (layouts->OpenSubKey(name, platform::kKeyAllAccess, &candidate) != platform::kErrorSuccess) continue;
    std::string layoutText;
    if (ReadRegistryText(*candidate, text::kLayoutTextValue, kValueBufferBytes, &layoutText) !=
        platform::kErrorSuccess) {
      continue;
    }
    if (StartsWith(layoutText, prefix)) {
      key = std::move(candidate);
      id = name;
      break;
    }
    uint32_t number = 0;
    if (ParseHex(name, &number) && number > largest) largest = number;
  }

  std::string replaced;
  if (!key) {
    uint32_t base = std::max(largest, big5 ? 0xE0000404u : 0xE0000804u);
    if (FindFreeLayoutName(*layouts, (base >> 16) + 1, base & 0xFFFFu, suffix, &id)) {
      platform::Unchecked(layouts->CreateSubKey(id, platform::kKeyAllAccess, &key));
    }
  } else if (id.size() >= 3 && std::string_view(id).substr(id.size() - 3) != suffix) {
    key.reset();
    platform::Unchecked(layouts->DeleteSubKey(id));
    replaced = id;
    std::string wanted = WithSuffix(id, suffix);
    bool named = MayTake(*layouts, wanted);
    if (named) {
      id = wanted;
    } else {
      // A name that is not a number leaves 0, which starts the search at E001.
      uint32_t number = 0;
      ParseHex(replaced, &number);
      named = FindFreeLayoutName(*layouts, (number >> 16) + 1, number & 0xFFFFu, suffix, &id);
    }
    if (named) platform::Unchecked(layouts->CreateSubKey(id, platform::kKeyAllAccess, &key));
  }
  if (!key) {
    layouts.reset();
    Message(s, win9x ? text::kSoftwareOpenError1004 : text::kAdminNeeded, text::kCaptionTavoKelvo);
    return false;
  }

  WriteText(*key, text::kImeFileValue, text::kImeFile);
  WriteText(*key, text::kLayoutFileValue, win9x ? text::kLayoutFile9x : text::kLayoutFileNt);
  WriteText(*key, text::kLayoutTextValue, big5 ? text::kLayoutTextBig5 : text::kLayoutTextGbk);
  key.reset();
  layouts.reset();

  std::string p = AsciiCase(id, win9x);
  return win9x ? AddToPreload9x(s, p, replaced) : AddToPreloadNt(s, p, replaced);
}

}  // namespace sys
