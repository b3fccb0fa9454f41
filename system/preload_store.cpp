#include "system/preload_store.h"

#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "platform/unchecked.h"
#include "system/registry_text.h"
#include "system/texts.h"

namespace sys {
namespace {

using platform::RegKey;
using platform::RegRoot;

// NT family: the places are values of the list's key.
class ValueStore : public PreloadStore {
 public:
  explicit ValueStore(std::unique_ptr<RegKey> key) : key_(std::move(key)) {}
  PreloadPlace Read(size_t place, uint32_t bufferBytes, std::string* id) override {
    long result = ReadRegistryText(*key_, std::to_string(place), bufferBytes, id);
    if (result == platform::kErrorSuccess) return PreloadPlace::Listed;
    return result == platform::kErrorFileNotFound ? PreloadPlace::Absent : PreloadPlace::Unreadable;
  }
  void Write(size_t place, const std::string& id) override {
    platform::Unchecked(key_->SetValue(std::to_string(place), platform::kRegSz, id));
  }
  void Remove(size_t place) override { platform::Unchecked(key_->DeleteValue(std::to_string(place))); }

 private:
  std::unique_ptr<RegKey> key_;
};

// 9x family: the places are subkeys of the list's key, the identifier their default value.
class SubKeyStore : public PreloadStore {
 public:
  explicit SubKeyStore(std::unique_ptr<RegKey> key) : key_(std::move(key)) {}
  PreloadPlace Read(size_t place, uint32_t bufferBytes, std::string* id) override {
    std::unique_ptr<RegKey> key;
    // Full access as for the NT family's list; the 9x family keeps no security on keys, so no
    // place is passed over for it.
    long opened = key_->OpenSubKey(std::to_string(place), platform::kKeyAllAccess, &key);
    if (opened == platform::kErrorFileNotFound) return PreloadPlace::Absent;
    if (opened != platform::kErrorSuccess) return PreloadPlace::Unreadable;
    return ReadRegistryText(*key, "", bufferBytes, id) == platform::kErrorSuccess ? PreloadPlace::Listed
                                                                                  : PreloadPlace::Blank;
  }
  void Write(size_t place, const std::string& id) override {
    std::unique_ptr<RegKey> key;
    if (key_->CreateSubKey(std::to_string(place), platform::kKeyAllAccess, &key) == platform::kErrorSuccess) {
      platform::Unchecked(key->SetValue("", platform::kRegSz, id));
    }
  }
  void Remove(size_t place) override { platform::Unchecked(key_->DeleteSubKey(std::to_string(place))); }

 private:
  std::unique_ptr<RegKey> key_;
};

// NT family: the list is the subkey "preload" of a keyboard-layout key. The list's key is opened
// for full access, also where it is only read: the places are written through the same handle,
// and a list the process may not change is one the setup leaves alone (nothing found in it,
// nothing added, nothing promoted), where a read-only opening would find the IME and then fail
// to move it.
PreloadOpen OpenNtList(core::SetupState& s, RegRoot root, const char* layoutKey, std::unique_ptr<PreloadStore>* store) {
  std::unique_ptr<RegKey> layout, list;
  if (s.os.registry.OpenKey(root, layoutKey, platform::kKeyRead, &layout) != platform::kErrorSuccess) {
    return PreloadOpen::Failed;
  }
  if (layout->OpenSubKey(text::kPreload, platform::kKeyAllAccess, &list) != platform::kErrorSuccess) {
    return PreloadOpen::NoList;
  }
  *store = std::make_unique<ValueStore>(std::move(list));
  return PreloadOpen::Opened;
}

}  // namespace

PreloadOpen OpenUserPreload(core::SetupState& s, std::unique_ptr<PreloadStore>* store) {
  if (!s.Win9x) return OpenNtList(s, RegRoot::CurrentUser, text::kUserKeyboardLayout, store);
  std::unique_ptr<RegKey> list;
  if (s.os.registry.OpenKey(RegRoot::CurrentUser, text::kUserPreload9x, platform::kKeyRead, &list) !=
      platform::kErrorSuccess) {
    return PreloadOpen::Failed;
  }
  *store = std::make_unique<SubKeyStore>(std::move(list));
  return PreloadOpen::Opened;
}

PreloadOpen OpenDefaultUserPreload(core::SetupState& s, std::unique_ptr<PreloadStore>* store) {
  if (s.Win9x) return PreloadOpen::Failed;
  return OpenNtList(s, RegRoot::Users, text::kDefaultUserKeyboardLayout, store);
}

bool SameLayoutId(std::string_view a, std::string_view b) {
  return platform::SameIgnoringCase(a, b, platform::kCodePageAscii);
}

}  // namespace sys
