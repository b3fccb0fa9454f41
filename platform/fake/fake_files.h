// An in-memory Windows file system: drives c: to g: with settable types, directories, files with
// bytes and attributes, files held in use (delete fails, rename works, as for a loaded module),
// folders the process may not write to, and the WOW64 redirection of the system directory.
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/files.h"

namespace platform::fake {

class FakeFiles : public Files {
 public:
  FakeFiles();

  // Machine set-up.
  void SetDriveType(char letter, uint32_t type);
  void AddDirectory(const std::string& path, uint32_t attributes = 0x10);
  void AddFile(const std::string& path, const std::string& bytes, uint32_t attributes = 0x20);
  void SetInUse(const std::string& path, bool inUse);
  // Nothing under this folder (or the folder itself) may be created, changed or removed.
  void DenyWrites(const std::string& folder);
  // A 32-bit process on 64-bit Windows: system32 is redirected to syswow64, sysnative reaches
  // the real system32.
  void SetWow64(bool on);
  // The disk under this folder is full: files can still be created (empty), renamed and
  // deleted, but no byte lands: writes fail, and a copy leaves an empty target and fails.
  void FillDisk(const std::string& folder);
  // Every later Read of this file returns at most this many bytes.
  void LimitReads(const std::string& path, long bytes);

  // Inspection (no redirection applied).
  bool HasFile(const std::string& path) const;
  bool HasDirectory(const std::string& path) const;
  std::string Contents(const std::string& path) const;
  std::vector<std::string> AllFiles() const;
  std::string CurrentDirectory() const { return current_; }

  // Files.
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  std::unique_ptr<File> Create(const std::string& path) override;
  bool CanOpenForReading(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  uint32_t GetAttributes(const std::string& path) override;
  bool Delete(const std::string& path) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool MakeDirectory(const std::string& path) override;
  std::vector<std::string> List(const std::string& pattern) override;
  bool ChangeDirectory(const std::string& path) override;
  uint32_t DriveType(const std::string& root) override;
  std::string WindowsDirectory() override { return "C:\\windows"; }
  std::string SystemDirectory() override { return "C:\\windows\\system32"; }
  std::u16string SystemDirectoryW() override { return u"C:\\windows\\system32"; }
  std::string NativeSystemDirectory() override { return wow64_ ? "C:\\windows\\sysnative" : SystemDirectory(); }
  long LastError() override { return lastError_; }

  struct Node {
    std::string name;  // as first spelt
    bool directory = false;
    uint32_t attributes = 0;
    bool inUse = false;
    long readLimit = -1;
    std::string bytes;
  };

 private:
  std::string Key(const std::string& path) const;       // full, case-folded, redirected
  std::string KeyNoRedirect(const std::string& path) const;
  static std::string Parent(const std::string& key);
  bool ParentExists(const std::string& key) const;
  bool WriteDenied(const std::string& key) const;
  bool DiskFull(const std::string& key) const;
  bool Fail(long error);
  std::shared_ptr<Node> Find(const std::string& key) const;
  void Insert(const std::string& key, std::shared_ptr<Node> node);

  std::map<std::string, std::shared_ptr<Node>> nodes_;
  std::map<char, uint32_t> drives_;
  std::vector<std::string> denied_;
  std::vector<std::string> full_;
  std::string current_ = "c:\\";
  bool wow64_ = false;
  long lastError_ = 0;
};

}  // namespace platform::fake
