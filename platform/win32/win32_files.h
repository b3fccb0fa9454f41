// Files and directories over kernel32.
#pragma once
#include "platform/files.h"

namespace platform::win32 {

class Win32Files : public Files {
 public:
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
  std::string WindowsDirectory() override;
  std::string SystemDirectory() override;
  std::u16string SystemDirectoryW() override;
  std::string NativeSystemDirectory() override;
  std::vector<std::string> SystemFolders() override;
  bool SameDirectory(const std::string& a, const std::string& b) override;
  long LastError() override { return lastError_; }

 private:
  bool Done(bool ok);
  long lastError_ = 0;
  // Found at the first call: the system does not move its folders while the setup runs.
  std::vector<std::string> systemFolders_;
  bool foldersFound_ = false;
};

}  // namespace platform::win32
