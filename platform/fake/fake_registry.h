// An in-memory registry with the three roots the setup uses. Values keep their exact bytes and
// whether they were written through the ANSI or the UTF-16 call; every write is logged in order.
// A root can be made unreadable or unwritable, as for a process without administrator rights:
// then full-access opens, key creation and value writes under it fail with access denied.
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
  std::string data;
  bool wide = false;  // written with RegSetValueExW
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

  // Machine set-up and inspection; paths are "HKLM\...", "HKCU\..." or "HKU\...".
  void SetValue(const std::string& keyPath, const std::string& name, uint32_t type, const std::string& data);
  void AddKey(const std::string& keyPath);
  bool HasKey(const std::string& keyPath) const;
  bool HasValue(const std::string& keyPath, const std::string& name) const;
  FakeValue Value(const std::string& keyPath, const std::string& name) const;
  std::vector<std::string> SubKeys(const std::string& keyPath) const;
  std::vector<std::string> ValueNames(const std::string& keyPath) const;
  void DenyWrites(RegRoot root);
  void DenyReads(RegRoot root);
  // One existing key whose own security shuts the process out: opening or creating it fails with
  // access denied, while its parent still counts and enumerates it.
  void DenyKey(const std::string& keyPath);
  const std::vector<RegWrite>& Writes() const { return writes_; }

  long OpenKey(RegRoot root, const std::string& path, uint32_t access, std::unique_ptr<RegKey>* out) override;
  long OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access,
                std::unique_ptr<RegKey>* out) override;

  struct Node {
    std::string name;
    std::map<std::string, std::unique_ptr<Node>> children;  // by case-folded name
    std::map<std::string, std::pair<std::string, FakeValue>> values;  // folded -> (name, value)
  };

  // Used by the key handles.
  Node* Resolve(RegRoot root, const std::vector<std::string>& parts) const;
  bool Writable(RegRoot root) const;
  bool Readable(RegRoot root) const;
  bool Denied(RegRoot root, const std::vector<std::string>& parts) const;
  void Log(RegWrite write) { writes_.push_back(std::move(write)); }
  static std::string RootName(RegRoot root);

 private:
  Node* Root(RegRoot root) const;
  Node* Make(RegRoot root, const std::vector<std::string>& parts);
  bool ParsePath(const std::string& keyPath, RegRoot* root, std::vector<std::string>* parts) const;

  std::unique_ptr<Node> roots_[3];
  bool unwritable_[3] = {false, false, false};
  bool unreadable_[3] = {false, false, false};
  std::set<std::pair<RegRoot, std::string>> denied_;  // folded paths
  std::vector<RegWrite> writes_;
};

std::string FoldAscii(const std::string& text);
std::vector<std::string> SplitKeyPath(const std::string& path);
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace platform::fake
