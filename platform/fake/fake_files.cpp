#include "platform/fake/fake_files.h"

#include <algorithm>
#include <cstring>

#include "platform/ansi_text.h"
#include "platform/constants.h"

namespace platform::fake {
namespace {

// Case-folds ASCII letters only; the second byte of a GBK or Big5 character stays as it is, so the
// names of either Chinese edition fold alike.
std::string FoldCase(const std::string& text) { return FoldAsciiCase(text, kCodePageGbk); }

bool MatchMask(const char* mask, const char* name) {
  if (*mask == '\0') return *name == '\0';
  if (*mask == '*') return MatchMask(mask + 1, name) || (*name && MatchMask(mask, name + 1));
  if (*name == '\0') return false;
  if (*mask == '?' || *mask == *name) return MatchMask(mask + 1, name + 1);
  return false;
}

bool StartsWithFolder(const std::string& key, const std::string& folder) {
  return key == folder || (key.size() > folder.size() && key.compare(0, folder.size(), folder) == 0 &&
                           (folder.back() == '\\' || key[folder.size()] == '\\'));
}

std::string Replace(const std::string& key, const std::string& from, const std::string& to) {
  if (!StartsWithFolder(key, from)) return key;
  return to + key.substr(from.size());
}

class FakeFile : public File {
 public:
  FakeFile(std::shared_ptr<FakeFiles::Node> node, OpenMode mode, bool diskFull = false)
      : node_(std::move(node)), mode_(mode), diskFull_(diskFull) {
    if (mode_ == OpenMode::ReadHeld) ++node_->heldOpen;
  }
  ~FakeFile() override {
    if (mode_ == OpenMode::ReadHeld) --node_->heldOpen;
  }
  FakeFile(const FakeFile&) = delete;
  FakeFile& operator=(const FakeFile&) = delete;

  long Read(void* buffer, unsigned long count) override {
    if (mode_ == OpenMode::Write) return -1;
    size_t size = node_->bytes.size();
    size_t n = pos_ < size ? std::min<size_t>(count, size - pos_) : 0;
    if (node_->readLimit >= 0) n = std::min<size_t>(n, static_cast<size_t>(node_->readLimit));
    if (n) std::memcpy(buffer, node_->bytes.data() + pos_, n);
    pos_ += n;
    return static_cast<long>(n);
  }

  long Write(const void* data, unsigned long count) override {
    if (mode_ == OpenMode::Read || mode_ == OpenMode::ReadHeld || (diskFull_ && count)) return -1;
    if (node_->bytes.size() < pos_ + count) node_->bytes.resize(pos_ + count, '\0');
    if (count) std::memcpy(node_->bytes.data() + pos_, data, count);
    pos_ += count;
    return static_cast<long>(count);
  }

  long Seek(long offset, SeekFrom origin) override {
    long base = origin == SeekFrom::Begin     ? 0
                : origin == SeekFrom::Current ? static_cast<long>(pos_)
                                              : static_cast<long>(node_->bytes.size());
    if (base + offset < 0) return -1;
    pos_ = static_cast<size_t>(base + offset);
    return static_cast<long>(pos_);
  }

  // Nothing is cached here: what was written is on the disk already. A handle without write access
  // may not flush, as on Windows.
  bool Flush() override { return mode_ != OpenMode::Read && mode_ != OpenMode::ReadHeld; }

 private:
  std::shared_ptr<FakeFiles::Node> node_;
  OpenMode mode_;
  bool diskFull_;
  size_t pos_ = 0;
};

}  // namespace

FakeFiles::FakeFiles() {
  SetDriveType('c', kDriveFixed);
  AddDirectory("C:\\windows");
  AddDirectory("C:\\windows\\system32");
}

FakeFiles::FakeFiles(const FakeFiles& other)
    : Files(other),
      drives_(other.drives_),
      denied_(other.denied_),
      full_(other.full_),
      nextHolding_(other.nextHolding_),
      current_(other.current_),
      windows_(other.windows_),
      folders_(other.folders_),
      links_(other.links_),
      wow64_(other.wow64_),
      lastError_(other.lastError_) {
  // One new node for each old one, so that a holding still refers to the file under its name.
  std::map<const Node*, std::shared_ptr<Node>> copies;
  auto copy = [&copies](const std::shared_ptr<Node>& node) {
    std::shared_ptr<Node>& made = copies[node.get()];
    if (!made) made = std::make_shared<Node>(*node);
    return made;
  };
  for (const auto& [key, node] : other.nodes_) nodes_[key] = copy(node);
  for (const auto& [handle, node] : other.holdings_) holdings_[handle] = copy(node);
}

void FakeFiles::SetDriveType(char letter, uint32_t type) { drives_[AsciiLower(letter)] = type; }

void FakeFiles::AddDirectory(const std::string& path, uint32_t attributes) {
  std::string key = KeyNoRedirect(path);
  std::string parent = Parent(key);
  if (!parent.empty() && parent.size() > 3 && !Find(parent)) AddDirectory(parent);
  auto node = std::make_shared<Node>();
  node->name = path.substr(path.find_last_of('\\') + 1);
  node->directory = true;
  node->attributes = attributes | kAttrDirectory;
  Insert(key, node);
}

void FakeFiles::AddFile(const std::string& path, const std::string& bytes, uint32_t attributes) {
  std::string key = KeyNoRedirect(path);
  std::string parent = Parent(key);
  if (parent.size() > 3 && !Find(parent)) AddDirectory(parent);
  auto node = std::make_shared<Node>();
  node->name = path.substr(path.find_last_of('\\') + 1);
  node->attributes = attributes;
  node->bytes = bytes;
  Insert(key, node);
}

int FakeFiles::Keep(const std::string& path, int Node::*count) {
  auto node = Find(KeyNoRedirect(path));
  if (!node || node->directory) return 0;
  ++((*node).*count);
  holdings_[nextHolding_] = node;
  return nextHolding_++;
}

void FakeFiles::Release(int handle, int Node::*count) {
  auto it = holdings_.find(handle);
  if (it == holdings_.end()) return;
  --((*it->second).*count);
  holdings_.erase(it);
}

int FakeFiles::HoldOpen(const std::string& path) { return Keep(path, &Node::heldOpen); }
void FakeFiles::LetGo(int handle) { Release(handle, &Node::heldOpen); }
int FakeFiles::LoadModule(const std::string& path) { return Keep(path, &Node::loaded); }
void FakeFiles::Unload(int module) { Release(module, &Node::loaded); }

void FakeFiles::DenyWrites(const std::string& folder) { denied_.push_back(KeyNoRedirect(folder)); }
void FakeFiles::FillDisk(const std::string& folder) { full_.push_back(KeyNoRedirect(folder)); }

void FakeFiles::SetWow64(bool on) { wow64_ = on; }

void FakeFiles::AddHardLink(const std::string& existing, const std::string& path) {
  auto node = Find(KeyNoRedirect(existing));
  if (!node) return;
  std::string key = KeyNoRedirect(path);
  std::string parent = Parent(key);
  if (parent.size() > 3 && !Find(parent)) AddDirectory(parent);
  Insert(key, node);
}

void FakeFiles::SetWindowsDirectory(const std::string& path) {
  windows_ = path;
  AddDirectory(path);
  AddDirectory(path + "\\system32");
  if (wow64_) AddDirectory(path + "\\syswow64");
}

void FakeFiles::SetSystemFolders(const std::vector<std::string>& folders) {
  folders_ = folders;
  for (const std::string& folder : folders) AddDirectory(folder);
}

void FakeFiles::AddLink(const std::string& alias, const std::string& folder) {
  links_.emplace_back(KeyNoRedirect(alias), KeyNoRedirect(folder));
}

void FakeFiles::ClearLinks() { links_.clear(); }

void FakeFiles::LimitReads(const std::string& path, long bytes) {
  if (auto node = Find(KeyNoRedirect(path))) node->readLimit = bytes;
}

bool FakeFiles::HasFile(const std::string& path) const {
  auto node = Find(KeyNoRedirect(path));
  return node && !node->directory;
}

bool FakeFiles::HasDirectory(const std::string& path) const {
  auto node = Find(KeyNoRedirect(path));
  return node && node->directory;
}

std::string FakeFiles::Contents(const std::string& path) const {
  auto node = Find(KeyNoRedirect(path));
  return node && !node->directory ? node->bytes : std::string();
}

bool FakeFiles::IsReadAndRunOnly(const std::string& path) const {
  auto node = Find(KeyNoRedirect(path));
  return node && node->readAndRunOnly;
}

std::vector<std::string> FakeFiles::AllFiles() const {
  std::vector<std::string> files;
  for (const auto& [key, node] : nodes_) {
    if (!node->directory) files.push_back(key);
  }
  return files;
}

std::string FakeFiles::KeyNoRedirect(const std::string& path) const {
  std::string p = path;
  std::replace(p.begin(), p.end(), '/', '\\');
  if (!(p.size() >= 2 && p[1] == ':')) p = current_ + p;
  std::string collapsed;
  for (char c : p) {
    if (c == '\\' && !collapsed.empty() && collapsed.back() == '\\') continue;
    collapsed.push_back(c);
  }
  if (collapsed.size() == 2) collapsed.push_back('\\');
  if (collapsed.size() > 3 && collapsed.back() == '\\') collapsed.pop_back();
  std::string key = FoldCase(collapsed);
  for (const auto& [alias, folder] : links_) {
    if (StartsWithFolder(key, alias)) return Replace(key, alias, folder);
  }
  return key;
}

std::string FakeFiles::Key(const std::string& path) const {
  std::string key = KeyNoRedirect(path);
  if (wow64_) {
    const std::string windows = KeyNoRedirect(windows_);
    if (StartsWithFolder(key, windows + "\\system32")) {
      return Replace(key, windows + "\\system32", windows + "\\syswow64");
    }
    return Replace(key, windows + "\\sysnative", windows + "\\system32");
  }
  return key;
}

std::string FakeFiles::Parent(const std::string& key) {
  size_t slash = key.find_last_of('\\');
  if (slash == std::string::npos || key.size() <= 3) return std::string();
  return slash == 2 ? key.substr(0, 3) : key.substr(0, slash);
}

bool FakeFiles::ParentExists(const std::string& key) const {
  std::string parent = Parent(key);
  if (parent.empty()) return false;
  if (parent.size() == 3) {
    auto drive = drives_.find(parent[0]);
    return drive != drives_.end() && drive->second >= kDriveRemovable;
  }
  auto node = Find(parent);
  return node && node->directory;
}

bool FakeFiles::Exists(const std::string& key) const {
  if (key.size() == 3) {
    auto drive = drives_.find(key[0]);
    return drive != drives_.end() && drive->second >= kDriveRemovable;
  }
  return Find(key) != nullptr;
}

bool FakeFiles::WriteDenied(const std::string& key) const {
  return std::any_of(denied_.begin(), denied_.end(),
                     [&](const std::string& folder) { return StartsWithFolder(key, folder); });
}

bool FakeFiles::DiskFull(const std::string& key) const {
  return std::any_of(full_.begin(), full_.end(),
                     [&](const std::string& folder) { return StartsWithFolder(key, folder); });
}

bool FakeFiles::Fail(long error) {
  lastError_ = error;
  return false;
}

// The real layer sets its error to 0 after every call that succeeds.
bool FakeFiles::Succeed() {
  lastError_ = 0;
  return true;
}

long FakeFiles::Missing(const std::string& key) const {
  return ParentExists(key) ? kErrorFileNotFound : kErrorPathNotFound;
}

std::shared_ptr<FakeFiles::Node> FakeFiles::Find(const std::string& key) const {
  auto it = nodes_.find(key);
  return it == nodes_.end() ? nullptr : it->second;
}

void FakeFiles::Insert(const std::string& key, std::shared_ptr<Node> node) { nodes_[key] = std::move(node); }

std::unique_ptr<File> FakeFiles::Open(const std::string& path, OpenMode mode) {
  std::string key = Key(path);
  auto node = Find(key);
  if (!node) {
    Fail(Missing(key));
    return nullptr;
  }
  bool writing = mode == OpenMode::Write || mode == OpenMode::ReadWrite;
  if (node->directory || (writing && ((node->attributes & kAttrReadOnly) || WriteDenied(key)))) {
    Fail(kErrorAccessDenied);
    return nullptr;
  }
  if (writing && (node->heldOpen || node->loaded)) {
    Fail(kErrorSharingViolation);
    return nullptr;
  }
  lastError_ = 0;
  return std::make_unique<FakeFile>(node, mode, DiskFull(key));
}

std::unique_ptr<File> FakeFiles::Create(const std::string& path) {
  std::string key = Key(path);
  if (!ParentExists(key)) {
    Fail(kErrorPathNotFound);
    return nullptr;
  }
  auto node = Find(key);
  if (WriteDenied(key) || (node && (node->directory || (node->attributes & kAttrReadOnly)))) {
    Fail(kErrorAccessDenied);
    return nullptr;
  }
  if (node && (node->heldOpen || node->loaded)) {
    Fail(kErrorSharingViolation);
    return nullptr;
  }
  if (!node) {
    node = std::make_shared<Node>();
    node->name = path.substr(path.find_last_of('\\') + 1);
    Insert(key, node);
  }
  node->bytes.clear();
  node->attributes = kAttrArchive;
  lastError_ = 0;
  return std::make_unique<FakeFile>(node, OpenMode::ReadWrite, DiskFull(key));
}

bool FakeFiles::CanOpenForReading(const std::string& path) {
  std::string key = Key(path);
  if (key.size() == 3) {
    auto drive = drives_.find(key[0]);
    return drive != drives_.end() && drive->second >= kDriveRemovable ? Succeed() : Fail(kErrorPathNotFound);
  }
  return Find(key) != nullptr ? Succeed() : Fail(Missing(key));
}

bool FakeFiles::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  std::string fromKey = Key(from);
  auto source = Find(fromKey);
  if (!source || source->directory) return Fail(source ? kErrorFileNotFound : Missing(fromKey));
  std::string key = Key(to);
  if (!ParentExists(key)) return Fail(kErrorPathNotFound);
  auto target = Find(key);
  if (target && failIfExists) return Fail(kErrorFileExists);
  if (WriteDenied(key) || (target && (target->directory || (target->attributes & kAttrReadOnly)))) {
    return Fail(kErrorAccessDenied);
  }
  if (target && (target->heldOpen || target->loaded)) return Fail(kErrorSharingViolation);
  if (!target) {
    target = std::make_shared<Node>();
    target->name = to.substr(to.find_last_of('\\') + 1);
    Insert(key, target);
  }
  if (DiskFull(key)) {
    target->bytes.clear();
    return Fail(kErrorDiskFull);
  }
  target->bytes = source->bytes;
  target->attributes = source->attributes;
  return Succeed();
}

bool FakeFiles::SetAttributes(const std::string& path, uint32_t attributes) {
  std::string key = Key(path);
  auto node = Find(key);
  if (!node) return Fail(Missing(key));
  if (WriteDenied(key)) return Fail(kErrorAccessDenied);
  node->attributes = (attributes & ~kAttrNormal) | (node->directory ? kAttrDirectory : 0);
  return Succeed();
}

uint32_t FakeFiles::GetAttributes(const std::string& path) {
  std::string key = Key(path);
  if (key.size() == 3) return CanOpenForReading(key) ? kAttrDirectory : kInvalidAttributes;
  auto node = Find(key);
  if (!node) {
    Fail(Missing(key));
    return kInvalidAttributes;
  }
  Succeed();
  return node->attributes ? node->attributes : kAttrNormal;
}

uint32_t FakeFiles::LinkCount(const std::string& path) {
  auto node = Find(Key(path));
  if (!node) {
    Fail(Missing(Key(path)));
    return 0;
  }
  Succeed();
  return static_cast<uint32_t>(
      std::count_if(nodes_.begin(), nodes_.end(), [&](const auto& entry) { return entry.second == node; }));
}

bool FakeFiles::RestrictToReadAndRun(const std::string& path) {
  std::string key = Key(path);
  auto node = Find(key);
  if (!node) return Fail(Missing(key));
  if (WriteDenied(key)) return Fail(kErrorAccessDenied);
  node->readAndRunOnly = true;
  return Succeed();
}

bool FakeFiles::Delete(const std::string& path) {
  std::string key = Key(path);
  auto node = Find(key);
  if (!node) return Fail(Missing(key));
  // Deletion opens the file for delete access: a holder that does not share it refuses first.
  if (node->heldOpen) return Fail(kErrorSharingViolation);
  // A mapped image cannot be deleted (STATUS_CANNOT_DELETE), nor can a read-only file.
  if (node->directory || WriteDenied(key) || (node->attributes & kAttrReadOnly) || node->loaded) {
    return Fail(kErrorAccessDenied);
  }
  nodes_.erase(key);
  return Succeed();
}

bool FakeFiles::Move(const std::string& from, const std::string& to) { return Rename(from, to, false); }

bool FakeFiles::MoveReplacing(const std::string& from, const std::string& to) { return Rename(from, to, true); }

bool FakeFiles::Rename(const std::string& from, const std::string& to, bool replacing) {
  std::string fromKey = Key(from);
  std::string toKey = Key(to);
  auto node = Find(fromKey);
  if (!node) return Fail(Missing(fromKey));
  // MoveFile opens the source for delete access: a holder that does not share it refuses. A
  // loaded module shares it, and stays loaded under its new name.
  if (node->heldOpen) return Fail(kErrorSharingViolation);
  auto target = Find(toKey);
  if (target && !replacing) return Fail(kErrorAlreadyExists);
  if (!ParentExists(toKey)) return Fail(kErrorPathNotFound);
  if (WriteDenied(fromKey) || WriteDenied(toKey)) return Fail(kErrorAccessDenied);
  if (target && target != node) {
    // The file under the name goes in the same step: whatever keeps it (another program's handle,
    // a module's mapping, the read-only attribute) refuses the move, as does a directory there.
    if (node->directory || target->directory || target->heldOpen || target->loaded ||
        (target->attributes & kAttrReadOnly)) {
      return Fail(kErrorAccessDenied);
    }
    nodes_.erase(toKey);
  }
  std::vector<std::pair<std::string, std::shared_ptr<Node>>> moved;
  for (auto it = nodes_.begin(); it != nodes_.end();) {
    if (StartsWithFolder(it->first, fromKey)) {
      moved.emplace_back(toKey + it->first.substr(fromKey.size()), it->second);
      it = nodes_.erase(it);
    } else {
      ++it;
    }
  }
  node->name = to.substr(to.find_last_of('\\') + 1);
  for (auto& [key, n] : moved) Insert(key, n);
  return Succeed();
}

bool FakeFiles::MakeDirectory(const std::string& path) {
  std::string key = Key(path);
  if (key.size() <= 3 || Find(key)) return Fail(kErrorAlreadyExists);
  if (!ParentExists(key)) return Fail(kErrorPathNotFound);
  if (WriteDenied(key)) return Fail(kErrorAccessDenied);
  auto node = std::make_shared<Node>();
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '\\') trimmed.pop_back();
  node->name = trimmed.substr(trimmed.find_last_of('\\') + 1);
  node->directory = true;
  node->attributes = kAttrDirectory;
  Insert(key, node);
  return Succeed();
}

std::vector<std::string> FakeFiles::List(const std::string& pattern) {
  size_t slash = pattern.find_last_of('\\');
  std::string dir = slash == std::string::npos ? current_ : pattern.substr(0, slash + 1);
  std::string mask = FoldCase(slash == std::string::npos ? pattern : pattern.substr(slash + 1));
  std::string dirKey = Key(dir);
  bool root = dirKey.size() == 3;
  auto dirNode = Find(dirKey);
  if (root ? !CanOpenForReading(dirKey) : !(dirNode && dirNode->directory)) {
    Fail(kErrorPathNotFound);
    return {};
  }
  auto matches = [&](const std::string& name) {
    return mask == "*.*" || mask == "*" || MatchMask(mask.c_str(), FoldCase(name).c_str());
  };
  std::vector<std::string> names;
  if (!root) {
    for (const char* dot : {".", ".."}) {
      if (matches(dot)) names.push_back(dot);
    }
  }
  for (const auto& [key, node] : nodes_) {
    if (Parent(key) == dirKey && matches(node->name)) names.push_back(node->name);
  }
  if (names.empty()) {
    Fail(kErrorFileNotFound);
  } else {
    Succeed();
  }
  return names;
}

bool FakeFiles::ChangeDirectory(const std::string& path) {
  std::string key = Key(path);
  auto node = Find(key);
  bool exists = key.size() == 3 ? CanOpenForReading(key) : node && node->directory;
  if (!exists) return Fail(node ? kErrorDirectory : Missing(key));
  current_ = key.size() == 3 ? key : key + "\\";
  return Succeed();
}

std::u16string FakeFiles::SystemDirectoryW() {
  std::u16string wide;
  for (char c : SystemDirectory()) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
  return wide;
}

std::vector<std::string> FakeFiles::SystemFolders() {
  std::vector<std::string> folders = {WindowsDirectory(), SystemDirectory()};
  folders.insert(folders.end(), folders_.begin(), folders_.end());
  return folders;
}

bool FakeFiles::SameDirectory(const std::string& a, const std::string& b) {
  // One node per key, and every second name of a folder leads to its key: the key is what the
  // volume serial number and file index are on Windows.
  const std::string keyA = Key(a);
  const std::string keyB = Key(b);
  for (const std::string* key : {&keyA, &keyB}) {
    if (!Exists(*key)) return Fail(Missing(*key));
  }
  Succeed();
  auto directory = [&](const std::string& key) {
    auto node = Find(key);
    return key.size() == 3 || (node && node->directory);
  };
  return keyA == keyB && directory(keyA);
}

uint32_t FakeFiles::DriveType(const std::string& root) {
  if (root.empty()) return kDriveNoRootDir;
  auto drive = drives_.find(AsciiLower(root[0]));
  return drive == drives_.end() ? kDriveNoRootDir : drive->second;
}

}  // namespace platform::fake
