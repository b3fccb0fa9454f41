// An in-memory Windows file system: drives c: to g: with settable types, directories, files with
// bytes and attributes, files another program holds open and files loaded as modules (each with
// the sharing rules Windows has for it), folders the process may not write to, the WOW64
// redirection of the system directory, the system's own folders and second names of folders. Its
// behaviour is checked against the real layer in Wine by the seam table (tests/seam).
#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"

namespace platform::fake {

class FakeFiles : public Files {
 public:
  FakeFiles();
  // The same disk, on its own from here on: nothing done to the copy reaches the original. Files
  // held open or loaded stay so in the copy, under the same handles.
  FakeFiles(const FakeFiles& other);
  FakeFiles& operator=(const FakeFiles&) = delete;

  // Machine set-up.
  void SetDriveType(char letter, uint32_t type);
  void AddDirectory(const std::string& path, uint32_t attributes = 0x10);
  void AddFile(const std::string& path, const std::string& bytes, uint32_t attributes = 0x20);
  // Another program holds the file open for reading and shares reading only (no write or delete
  // sharing), as "e2eprobe hold" does: it can still be read, copied and its attributes set, but
  // opening it for writing, truncating it, copying over it, deleting it and renaming it fail with
  // a sharing violation (32). A handle for LetGo; 0 when there is no such file.
  int HoldOpen(const std::string& path);
  void LetGo(int handle);
  // The file is loaded as a module (LoadLibrary; an IME the system uses), as "e2eprobe load" does:
  // it can still be read, copied and renamed (it stays loaded under its new name), but opening it
  // for writing, truncating it and copying over it fail with a sharing violation (32) and deleting
  // it with access denied (5). A handle for Unload; 0 when there is no such file.
  int LoadModule(const std::string& path);
  void Unload(int module);
  // Nothing under this folder (or the folder itself) may be created, changed or removed.
  void DenyWrites(const std::string& folder);
  // A 32-bit process on 64-bit Windows: system32 is redirected to syswow64, sysnative reaches
  // the real system32.
  void SetWow64(bool on);
  // Where Windows lives ("C:\windows" until set), made as a directory with its system32 (and its
  // syswow64 on 64-bit Windows). The folders and files under an earlier one stay as they are.
  void SetWindowsDirectory(const std::string& path);
  // The system's folders besides the Windows and system directories (Program Files, the common
  // application data, the profiles folder), made as directories; SystemFolders lists them after
  // those two. None until set.
  void SetSystemFolders(const std::vector<std::string>& folders);
  // A second name of a folder, as an 8.3 short name ("C:\PROGRA~1") or a junction gives one:
  // every call reaches the folder through it. ClearLinks takes them all away.
  void AddLink(const std::string& alias, const std::string& folder);
  void ClearLinks();
  // The disk under this folder is full: files can still be created (empty), renamed and
  // deleted, but no byte lands: writes fail, and a copy leaves an empty target and fails.
  void FillDisk(const std::string& folder);
  // A second name for an existing file (a hard link): both names reach the same bytes and
  // attributes; deleting one name leaves the other.
  void AddHardLink(const std::string& existing, const std::string& path);
  // Every later Read of this file returns at most this many bytes.
  void LimitReads(const std::string& path, long bytes);

  // Inspection (no redirection applied).
  bool HasFile(const std::string& path) const;
  bool HasDirectory(const std::string& path) const;
  std::string Contents(const std::string& path) const;
  // Whether RestrictToReadAndRun gave the file its access list.
  bool IsReadAndRunOnly(const std::string& path) const;
  std::vector<std::string> AllFiles() const;
  std::string CurrentDirectory() const { return current_; }

  // Files.
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  std::unique_ptr<File> Create(const std::string& path) override;
  bool CanOpenForReading(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  uint32_t GetAttributes(const std::string& path) override;
  uint32_t LinkCount(const std::string& path) override;
  bool RestrictToReadAndRun(const std::string& path) override;
  bool Delete(const std::string& path) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool MakeDirectory(const std::string& path) override;
  std::vector<std::string> List(const std::string& pattern) override;
  bool ChangeDirectory(const std::string& path) override;
  uint32_t DriveType(const std::string& root) override;
  std::string WindowsDirectory() override { return windows_; }
  std::string SystemDirectory() override { return windows_ + "\\system32"; }
  std::u16string SystemDirectoryW() override;
  std::string NativeSystemDirectory() override { return wow64_ ? windows_ + "\\sysnative" : SystemDirectory(); }
  std::vector<std::string> SystemFolders() override;
  bool SameDirectory(const std::string& a, const std::string& b) override;
  long LastError() override { return lastError_; }

  struct Node {
    std::string name;  // as first spelt
    bool directory = false;
    uint32_t attributes = 0;
    int heldOpen = 0;  // handles of other programs, sharing reading only
    int loaded = 0;    // module loads
    long readLimit = -1;
    bool readAndRunOnly = false;  // the users may read and run it, not change it
    std::string bytes;
  };

 private:
  std::string Key(const std::string& path) const;  // full, case-folded, redirected
  std::string KeyNoRedirect(const std::string& path) const;
  static std::string Parent(const std::string& key);
  bool ParentExists(const std::string& key) const;
  // A drive root that is there, or a node: what CreateFile with backup semantics opens.
  bool Exists(const std::string& key) const;
  bool WriteDenied(const std::string& key) const;
  bool DiskFull(const std::string& key) const;
  bool Fail(long error);
  bool Succeed();
  // Move and MoveReplacing: the file, or the folder with all below it, under its new name.
  bool Rename(const std::string& from, const std::string& to, bool replacing);
  // The error of a name that is not there: its directory is there or not.
  long Missing(const std::string& key) const;
  int Keep(const std::string& path, int Node::*count);
  void Release(int handle, int Node::*count);
  std::shared_ptr<Node> Find(const std::string& key) const;
  void Insert(const std::string& key, std::shared_ptr<Node> node);

  std::map<std::string, std::shared_ptr<Node>> nodes_;
  std::map<char, uint32_t> drives_;
  std::vector<std::string> denied_;
  std::vector<std::string> full_;
  std::map<int, std::shared_ptr<Node>> holdings_;  // handle or module -> its file
  int nextHolding_ = 1;
  std::string current_ = "c:\\";
  std::string windows_ = "C:\\windows";
  std::vector<std::string> folders_;
  std::vector<std::pair<std::string, std::string>> links_;  // alias key -> folder key
  bool wow64_ = false;
  long lastError_ = 0;
};

}  // namespace platform::fake
