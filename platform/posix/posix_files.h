// Real files on the build machine (Linux), for the host tools and benchmarks that run the setup's
// file logic against a real file system. Paths are used as given; there are no drives and no
// Windows directories.
#pragma once
#include "platform/files.h"

namespace platform::posix {

class PosixFiles : public Files {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override;
  std::unique_ptr<File> Create(const std::string& path) override;
  bool CanOpenForReading(const std::string& path) override;
  bool Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  bool SetAttributes(const std::string& path, uint32_t attributes) override;
  uint32_t GetAttributes(const std::string& path) override;
  uint32_t LinkCount(const std::string& path) override;
  // Access lists are Windows's: nothing to do here.
  bool RestrictToReadAndRun(const std::string&) override { return Done(true); }
  bool Delete(const std::string& path) override;
  bool Move(const std::string& from, const std::string& to) override;
  bool MoveReplacing(const std::string& from, const std::string& to) override;
  bool MakeDirectory(const std::string& path) override;
  std::vector<std::string> List(const std::string& pattern) override;
  bool ChangeDirectory(const std::string& path) override;
  uint32_t DriveType(const std::string& root) override;
  std::string WindowsDirectory() override { return std::string(); }
  std::string SystemDirectory() override { return std::string(); }
  std::u16string SystemDirectoryW() override { return std::u16string(); }
  std::string NativeSystemDirectory() override { return std::string(); }
  std::vector<std::string> SystemFolders() override { return {}; }
  // By device and inode, as Windows compares volume serial number and file index.
  bool SameDirectory(const std::string& a, const std::string& b) override;
  long LastError() override { return lastError_; }

 private:
  bool Done(bool ok);
  long lastError_ = 0;
};

}  // namespace platform::posix
