// An in-memory registry with the three roots the setup uses. Values keep the exact bytes the
// program passed and whether they were written through the ANSI or the UTF-16 call; every write is
// logged in order. A text written through a key is stored with the terminating NUL the Windows
// call adds when the program left it out (FakeValue::nulAdded) and is read back with it; machine
// set-up stores the bytes exactly as given, as another program may have written them. Read through
// the ANSI call, a text written through the UTF-16 call comes back in the ANSI code page. A root
// can be made unreadable or unwritable, as for a process without administrator rights: then
// full-access opens, key creation and value writes under it fail with access denied.
// On 64-bit Windows the 32-bit program sees the 32-bit view: HKLM\Software\X is
// HKLM\Software\Wow6432Node\X unless a key is opened with KEY_WOW64_64KEY; HKLM\System and the
// other roots are shared. Machine set-up and inspection paths are taken in that 32-bit view too
// (as "reg add /reg:32" takes them); "HKLM\Software\Wow6432Node\..." names the same keys by
// their place in the 64-bit view. The seam table (tests/seam) checks all this against the real
// layer in Wine.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace platform::fake {

struct FakeValue {
  uint32_t type = 0;
  std::string data;   // the bytes the program passed
  bool wide = false;  // written with RegSetValueExW
  // Windows stored a terminating NUL after the data: the write left it out of a text and one
  // followed the data in memory (see AsStored). Reading the value back gives it.
  bool nulAdded = false;
};

struct RegWrite {
  std::string op;    // "create", "set", "delete-value", "delete-key"
  std::string path;  // "HKLM\..." as written
  std::string name;
  FakeValue value;
};

class FakeRegistry : public Registry {
 public:
  FakeRegistry();
  // The same registry, on its own from here on (no key of the original is open in the copy).
  FakeRegistry(const FakeRegistry& other);
  FakeRegistry& operator=(const FakeRegistry&) = delete;

  // Machine set-up and inspection; paths are "HKLM\...", "HKCU\..." or "HKU\...".
  void SetValue(const std::string& keyPath, const std::string& name, uint32_t type, const std::string& data);
  void AddKey(const std::string& keyPath);
  bool HasKey(const std::string& keyPath) const;
  bool HasValue(const std::string& keyPath, const std::string& name) const;
  FakeValue Value(const std::string& keyPath, const std::string& name) const;
  std::vector<std::string> SubKeys(const std::string& keyPath) const;
  std::vector<std::string> ValueNames(const std::string& keyPath) const;
  // A 32-bit program on 64-bit Windows (two views) or on 32-bit Windows (one, the default).
  void SetWow64(bool on);
  void DenyWrites(RegRoot root);
  void DenyReads(RegRoot root);
  // One existing key whose own security shuts the process out: opening or creating it fails with
  // access denied, while its parent still counts and enumerates it.
  void DenyKey(const std::string& keyPath);
  const std::vector<RegWrite>& Writes() const { return writes_; }

  long OpenKey(RegRoot root, const std::string& path, uint32_t access, std::unique_ptr<RegKey>* out) override;
  long OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access, std::unique_ptr<RegKey>* out) override;

  struct Node {
    std::string name;
    std::map<std::string, std::unique_ptr<Node>> children;            // by case-folded name
    std::map<std::string, std::pair<std::string, FakeValue>> values;  // folded -> (name, value)
  };

  // Used by the key handles.
  Node* Resolve(RegRoot root, const std::vector<std::string>& parts) const;
  Node* Make(RegRoot root, const std::vector<std::string>& parts);
  // The key's place in the 64-bit view, for a path opened with the given access.
  std::vector<std::string> Redirect(RegRoot root, std::vector<std::string> parts, uint32_t access) const;
  bool Writable(RegRoot root) const;
  bool Readable(RegRoot root) const;
  bool Denied(RegRoot root, const std::vector<std::string>& parts) const;
  void Log(RegWrite write) { writes_.push_back(std::move(write)); }
  static std::string RootName(RegRoot root);

 private:
  Node* Root(RegRoot root) const;
  void AddStandardKeys();
  bool ParsePath(const std::string& keyPath, RegRoot* root, std::vector<std::string>* parts) const;

  std::unique_ptr<Node> roots_[3];
  bool unwritable_[3] = {false, false, false};
  bool unreadable_[3] = {false, false, false};
  bool wow64_ = false;
  std::set<std::pair<RegRoot, std::string>> denied_;  // folded paths
  std::vector<RegWrite> writes_;
};

std::string FoldAscii(const std::string& text);
std::vector<std::string> SplitKeyPath(const std::string& path);
std::string Utf16ToUtf8(const std::u16string& text);
// A value as a write through a key stores it: a text (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) not
// ending in a NUL gets one (a UTF-16 NUL for one written through the UTF-16 call).
FakeValue AsStored(FakeValue value);
// A value's data as RegQueryValueExA returns them: the stored bytes, a text written through the
// UTF-16 call in the ANSI code page.
std::string AnsiData(const FakeValue& value);

}  // namespace platform::fake
