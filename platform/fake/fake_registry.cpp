#include "platform/fake/fake_registry.h"

#include "platform/ansi_text.h"
#include "platform/constants.h"
#include "platform/utf8.h"

namespace platform::fake {

std::string FoldAscii(const std::string& text) { return FoldAsciiCase(text, kCodePageGbk); }

std::vector<std::string> SplitKeyPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part.push_back(c);
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

std::string Utf16ToUtf8(const std::u16string& text) { return Utf8(text); }

bool IsText(uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

FakeValue AsStored(FakeValue value) {
  const std::string& data = value.data;
  if (!IsText(value.type) || data.empty()) return value;
  if (!value.wide) {
    // RegSetValueExA counts a NUL left out of a text when one follows the data in memory, which
    // it always does for the std::string the real layer passes.
    value.nulAdded = data.back() != '\0';
  } else if (data.size() % 2 == 0) {
    // The real layer gives RegSetValueExW its data with a UTF-16 NUL after them: counted the same.
    value.nulAdded = data[data.size() - 2] != '\0' || data.back() != '\0';
  }
  return value;
}

std::string AnsiData(const FakeValue& value) {
  std::string stored = value.data;
  if (value.nulAdded) stored.append(value.wide ? 2 : 1, '\0');
  if (!value.wide || !IsText(value.type)) return stored;
  // RegQueryValueExA gives a text stored through the UTF-16 call in the ANSI code page; the fake
  // knows none, so what lies outside ASCII comes back as '?'.
  std::string ansi;
  for (size_t i = 0; i + 1 < stored.size(); i += 2) {
    unsigned unit = static_cast<unsigned char>(stored[i]) | static_cast<unsigned char>(stored[i + 1]) << 8;
    ansi.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
  }
  return ansi;
}

namespace {

std::string Join(const std::vector<std::string>& parts) {
  std::string path;
  for (const auto& p : parts) path += (path.empty() ? "" : "\\") + p;
  return path;
}

// The view flags choose a view; they ask for no right.
bool WantsWrite(uint32_t access) { return (access & ~(kKeyRead | kKeyWow64_64Key | kKeyWow64_32Key)) != 0; }

class FakeRegKey : public RegKey {
 public:
  // parts: the key's place in the registry (the 64-bit view); spelt: the path as the program
  // named it, for the write log.
  FakeRegKey(FakeRegistry* registry, RegRoot root, std::vector<std::string> parts, std::vector<std::string> spelt,
             uint32_t access)
      : registry_(registry), root_(root), parts_(std::move(parts)), spelt_(std::move(spelt)), access_(access) {}

  long CreateSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (!Self()) return kErrorKeyDeleted;
    auto sub = SplitKeyPath(name);
    if (sub.empty()) return kErrorInvalidParameter;
    std::vector<std::string> spelt = spelt_;
    spelt.insert(spelt.end(), sub.begin(), sub.end());
    std::vector<std::string> parts = parts_;
    parts.insert(parts.end(), sub.begin(), sub.end());
    parts = registry_->Redirect(root_, parts, access);
    bool exists = registry_->Resolve(root_, parts) != nullptr;
    // Creating a key is checked against the parent's security, not the parent handle's access.
    if (!registry_->Writable(root_) && (!exists || WantsWrite(access))) return kErrorAccessDenied;
    if (!registry_->Readable(root_)) return kErrorAccessDenied;
    if (exists && registry_->Denied(root_, parts)) return kErrorAccessDenied;
    if (!exists) {
      registry_->Make(root_, parts);
      registry_->Log({"create", Path(spelt), "", {}});
    }
    *out = std::make_unique<FakeRegKey>(registry_, root_, parts, spelt, access);
    return kErrorSuccess;
  }

  long CreateSubKeyW(const std::u16string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    return CreateSubKey(Utf16ToUtf8(name), access, out);
  }

  long OpenSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (!Self()) return kErrorKeyDeleted;
    auto sub = SplitKeyPath(name);
    std::vector<std::string> spelt = spelt_;
    spelt.insert(spelt.end(), sub.begin(), sub.end());
    std::vector<std::string> parts = parts_;
    parts.insert(parts.end(), sub.begin(), sub.end());
    return Open(registry_, root_, registry_->Redirect(root_, parts, access), spelt, access, out);
  }

  long QueryValue(const std::string& name, uint32_t maxBytes, uint32_t* type, std::string* data) override {
    FakeRegistry::Node* node = Self();
    if (!node) return kErrorKeyDeleted;
    auto it = node->values.find(FoldAscii(name));
    if (it == node->values.end()) {
      *type = kRegNone;
      return kErrorFileNotFound;
    }
    const FakeValue& v = it->second.second;
    *type = v.type;
    std::string stored = AnsiData(v);
    if (stored.size() > maxBytes) return kErrorMoreData;
    *data = stored;
    return kErrorSuccess;
  }

  long SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    return Set(name, AsStored({type, data, false}));
  }

  long SetValueW(const std::u16string& name, uint32_t type, const std::string& data) override {
    return Set(Utf16ToUtf8(name), AsStored({type, data, true}));
  }

  long DeleteValue(const std::string& name) override {
    FakeRegistry::Node* node = Self();
    if (!node) return kErrorKeyDeleted;
    if (!WantsWrite(access_) || !registry_->Writable(root_)) return kErrorAccessDenied;
    if (node->values.erase(FoldAscii(name)) == 0) return kErrorFileNotFound;
    registry_->Log({"delete-value", Path(spelt_), name, {}});
    return kErrorSuccess;
  }

  long DeleteSubKey(const std::string& name) override {
    FakeRegistry::Node* node = Self();
    if (!node) return kErrorKeyDeleted;
    auto it = node->children.find(FoldAscii(name));
    if (it == node->children.end()) return kErrorFileNotFound;
    if (!registry_->Writable(root_) || !it->second->children.empty()) return kErrorAccessDenied;
    std::vector<std::string> spelt = spelt_;
    spelt.push_back(it->second->name);
    node->children.erase(it);
    registry_->Log({"delete-key", Path(spelt), "", {}});
    return kErrorSuccess;
  }

  long EnumSubKey(uint32_t index, uint32_t maxChars, std::string* name) override {
    FakeRegistry::Node* node = Self();
    if (!node) return kErrorKeyDeleted;
    if (index >= node->children.size()) return kErrorNoMoreItems;
    auto it = node->children.begin();
    std::advance(it, index);
    if (it->second->name.size() >= maxChars) return kErrorMoreData;
    *name = it->second->name;
    return kErrorSuccess;
  }

  long CountSubKeys(uint32_t* count) override {
    FakeRegistry::Node* node = Self();
    if (!node) return kErrorKeyDeleted;
    *count = static_cast<uint32_t>(node->children.size());
    return kErrorSuccess;
  }

  // parts: already redirected.
  static long Open(FakeRegistry* registry, RegRoot root, const std::vector<std::string>& parts,
                   const std::vector<std::string>& spelt, uint32_t access, std::unique_ptr<RegKey>* out) {
    if (!registry->Readable(root)) return kErrorAccessDenied;
    if (!registry->Resolve(root, parts)) return kErrorFileNotFound;
    if (registry->Denied(root, parts)) return kErrorAccessDenied;
    if (WantsWrite(access) && !registry->Writable(root)) return kErrorAccessDenied;
    *out = std::make_unique<FakeRegKey>(registry, root, parts, spelt, access);
    return kErrorSuccess;
  }

 private:
  static constexpr long kErrorKeyDeleted = 1018;
  static constexpr long kErrorInvalidParameter = 87;

  FakeRegistry::Node* Self() const { return registry_->Resolve(root_, parts_); }

  std::string Path(const std::vector<std::string>& parts) const {
    return FakeRegistry::RootName(root_) + (parts.empty() ? "" : "\\" + Join(parts));
  }

  long Set(const std::string& name, FakeValue value) {
    FakeRegistry::Node* node = Self();
    if (!node) return kErrorKeyDeleted;
    if (!WantsWrite(access_) || !registry_->Writable(root_)) return kErrorAccessDenied;
    node->values[FoldAscii(name)] = {name, value};
    registry_->Log({"set", Path(spelt_), name, value});
    return kErrorSuccess;
  }

  FakeRegistry* registry_;
  RegRoot root_;
  std::vector<std::string> parts_;
  std::vector<std::string> spelt_;
  uint32_t access_;
};

}  // namespace

namespace {

std::unique_ptr<FakeRegistry::Node> CopyTree(const FakeRegistry::Node& node) {
  auto copy = std::make_unique<FakeRegistry::Node>();
  copy->name = node.name;
  copy->values = node.values;
  for (const auto& [folded, child] : node.children) copy->children[folded] = CopyTree(*child);
  return copy;
}

}  // namespace

FakeRegistry::FakeRegistry(const FakeRegistry& other)
    : Registry(other), wow64_(other.wow64_), denied_(other.denied_), writes_(other.writes_) {
  for (int i = 0; i < 3; ++i) {
    roots_[i] = CopyTree(*other.roots_[i]);
    unwritable_[i] = other.unwritable_[i];
    unreadable_[i] = other.unreadable_[i];
  }
}

FakeRegistry::FakeRegistry() {
  for (auto& root : roots_) root = std::make_unique<Node>();
  AddStandardKeys();
  AddKey("HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts");
  AddKey("HKCU\\Software");
  AddKey("HKCU\\Keyboard Layout\\Preload");
  AddKey("HKU\\.DEFAULT\\Keyboard Layout\\Preload");
}

// The keys of HKLM\Software every Windows has, in the view set-up paths are taken in: on 64-bit
// Windows both views have them.
void FakeRegistry::AddStandardKeys() {
  AddKey("HKLM\\Software");
  AddKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
  AddKey("HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

void FakeRegistry::SetWow64(bool on) {
  wow64_ = on;
  if (on) AddStandardKeys();
}

std::vector<std::string> FakeRegistry::Redirect(RegRoot root, std::vector<std::string> parts, uint32_t access) const {
  // HKLM\Software itself is redirected: the 32-bit view's HKLM\Software is Wow6432Node, and keys
  // opened or created through a handle to it are found there. (HKLM\Software\Classes and a few
  // shared keys below HKLM\Software have rules of their own on Windows; the setup touches none.)
  if (!wow64_ || root != RegRoot::LocalMachine || (access & kKeyWow64_64Key)) return parts;
  if (parts.empty() || FoldAscii(parts[0]) != "software") return parts;
  if (parts.size() > 1 && FoldAscii(parts[1]) == "wow6432node") return parts;
  parts.insert(parts.begin() + 1, "Wow6432Node");
  return parts;
}

std::string FakeRegistry::RootName(RegRoot root) {
  switch (root) {
    case RegRoot::LocalMachine:
      return "HKLM";
    case RegRoot::CurrentUser:
      return "HKCU";
    case RegRoot::Users:
      return "HKU";
  }
  return "";
}

FakeRegistry::Node* FakeRegistry::Root(RegRoot root) const { return roots_[static_cast<int>(root)].get(); }

bool FakeRegistry::Writable(RegRoot root) const { return !unwritable_[static_cast<int>(root)]; }
bool FakeRegistry::Readable(RegRoot root) const { return !unreadable_[static_cast<int>(root)]; }
void FakeRegistry::DenyWrites(RegRoot root) { unwritable_[static_cast<int>(root)] = true; }
void FakeRegistry::DenyReads(RegRoot root) { unreadable_[static_cast<int>(root)] = true; }

void FakeRegistry::DenyKey(const std::string& keyPath) {
  RegRoot root;
  std::vector<std::string> parts;
  if (ParsePath(keyPath, &root, &parts)) denied_.insert({root, FoldAscii(Join(parts))});
}

bool FakeRegistry::Denied(RegRoot root, const std::vector<std::string>& parts) const {
  return !denied_.empty() && denied_.count({root, FoldAscii(Join(parts))}) > 0;
}

FakeRegistry::Node* FakeRegistry::Resolve(RegRoot root, const std::vector<std::string>& parts) const {
  Node* node = Root(root);
  for (const auto& p : parts) {
    auto it = node->children.find(FoldAscii(p));
    if (it == node->children.end()) return nullptr;
    node = it->second.get();
  }
  return node;
}

FakeRegistry::Node* FakeRegistry::Make(RegRoot root, const std::vector<std::string>& parts) {
  Node* node = Root(root);
  for (const auto& p : parts) {
    auto& child = node->children[FoldAscii(p)];
    if (!child) {
      child = std::make_unique<Node>();
      child->name = p;
    }
    node = child.get();
  }
  return node;
}

bool FakeRegistry::ParsePath(const std::string& keyPath, RegRoot* root, std::vector<std::string>* parts) const {
  std::vector<std::string> all = SplitKeyPath(keyPath);
  if (all.empty()) return false;
  std::string head = FoldAscii(all[0]);
  if (head == "hklm") {
    *root = RegRoot::LocalMachine;
  } else if (head == "hkcu") {
    *root = RegRoot::CurrentUser;
  } else if (head == "hku") {
    *root = RegRoot::Users;
  } else {
    return false;
  }
  parts->assign(all.begin() + 1, all.end());
  *parts = Redirect(*root, *parts, 0);
  return true;
}

void FakeRegistry::SetValue(const std::string& keyPath, const std::string& name, uint32_t type,
                            const std::string& data) {
  RegRoot root;
  std::vector<std::string> parts;
  if (!ParsePath(keyPath, &root, &parts)) return;
  Make(root, parts)->values[FoldAscii(name)] = {name, FakeValue{type, data, false}};
}

void FakeRegistry::AddKey(const std::string& keyPath) {
  RegRoot root;
  std::vector<std::string> parts;
  if (ParsePath(keyPath, &root, &parts)) Make(root, parts);
}

bool FakeRegistry::HasKey(const std::string& keyPath) const {
  RegRoot root;
  std::vector<std::string> parts;
  return ParsePath(keyPath, &root, &parts) && Resolve(root, parts) != nullptr;
}

bool FakeRegistry::HasValue(const std::string& keyPath, const std::string& name) const {
  RegRoot root;
  std::vector<std::string> parts;
  if (!ParsePath(keyPath, &root, &parts)) return false;
  Node* node = Resolve(root, parts);
  return node && node->values.count(FoldAscii(name)) > 0;
}

FakeValue FakeRegistry::Value(const std::string& keyPath, const std::string& name) const {
  RegRoot root;
  std::vector<std::string> parts;
  if (!ParsePath(keyPath, &root, &parts)) return {};
  Node* node = Resolve(root, parts);
  if (!node) return {};
  auto it = node->values.find(FoldAscii(name));
  return it == node->values.end() ? FakeValue{} : it->second.second;
}

std::vector<std::string> FakeRegistry::SubKeys(const std::string& keyPath) const {
  RegRoot root;
  std::vector<std::string> parts;
  std::vector<std::string> names;
  if (!ParsePath(keyPath, &root, &parts)) return names;
  if (Node* node = Resolve(root, parts)) {
    for (const auto& [folded, child] : node->children) names.push_back(child->name);
  }
  return names;
}

std::vector<std::string> FakeRegistry::ValueNames(const std::string& keyPath) const {
  RegRoot root;
  std::vector<std::string> parts;
  std::vector<std::string> names;
  if (!ParsePath(keyPath, &root, &parts)) return names;
  if (Node* node = Resolve(root, parts)) {
    for (const auto& [folded, value] : node->values) names.push_back(value.first);
  }
  return names;
}

long FakeRegistry::OpenKey(RegRoot root, const std::string& path, uint32_t access, std::unique_ptr<RegKey>* out) {
  std::vector<std::string> spelt = SplitKeyPath(path);
  return FakeRegKey::Open(this, root, Redirect(root, spelt, access), spelt, access, out);
}

long FakeRegistry::OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access, std::unique_ptr<RegKey>* out) {
  return OpenKey(root, Utf16ToUtf8(path), access, out);
}

}  // namespace platform::fake
