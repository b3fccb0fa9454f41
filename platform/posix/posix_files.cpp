#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/constants.h"

namespace platform::posix {
namespace {

class PosixFile : public File {
 public:
  explicit PosixFile(int fd) : fd_(fd) {}
  ~PosixFile() override { ::close(fd_); }
  PosixFile(const PosixFile&) = delete;
  PosixFile& operator=(const PosixFile&) = delete;

  long Read(void* buffer, unsigned long count) override { return static_cast<long>(::read(fd_, buffer, count)); }
  long Write(const void* data, unsigned long count) override { return static_cast<long>(::write(fd_, data, count)); }
  long Seek(long offset, SeekFrom origin) override {
    int whence = origin == SeekFrom::Begin ? SEEK_SET : origin == SeekFrom::Current ? SEEK_CUR : SEEK_END;
    return static_cast<long>(::lseek(fd_, offset, whence));
  }
  bool Flush() override { return ::fsync(fd_) == 0; }

 private:
  int fd_;
};

long WindowsError(int error) {
  switch (error) {
    case ENOENT:
      return kErrorFileNotFound;
    case ENOTDIR:
      return kErrorPathNotFound;
    case EEXIST:
      return kErrorAlreadyExists;
    default:
      return kErrorAccessDenied;
  }
}

}  // namespace

bool PosixFiles::Done(bool ok) {
  lastError_ = ok ? 0 : WindowsError(errno);
  return ok;
}

std::unique_ptr<File> PosixFiles::Open(const std::string& path, OpenMode mode) {
  // No sharing modes here: a held file is only read.
  int flags = mode == OpenMode::Read || mode == OpenMode::ReadHeld ? O_RDONLY
              : mode == OpenMode::Write                            ? O_WRONLY
                                                                   : O_RDWR;
  int fd = ::open(path.c_str(), flags);
  if (!Done(fd >= 0)) return nullptr;
  return std::make_unique<PosixFile>(fd);
}

std::unique_ptr<File> PosixFiles::Create(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
  if (!Done(fd >= 0)) return nullptr;
  return std::make_unique<PosixFile>(fd);
}

bool PosixFiles::CanOpenForReading(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY);
  if (fd >= 0) ::close(fd);
  return Done(fd >= 0);
}

bool PosixFiles::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  if (failIfExists && CanOpenForReading(to)) return Done((errno = EEXIST, false));
  auto in = Open(from, OpenMode::Read);
  auto out = in ? Create(to) : nullptr;
  if (!out) return false;
  char buffer[65536];
  for (long n; (n = in->Read(buffer, sizeof buffer)) > 0;) {
    if (out->Write(buffer, static_cast<unsigned long>(n)) != n) return Done(false);
  }
  return true;
}

bool PosixFiles::SetAttributes(const std::string& path, uint32_t) {
  struct stat st;
  return Done(::stat(path.c_str(), &st) == 0);
}

uint32_t PosixFiles::GetAttributes(const std::string& path) {
  // A symbolic link is reported as Windows reports one: a reparse point, a directory when it
  // points to one.
  struct stat st;
  if (!Done(::lstat(path.c_str(), &st) == 0)) return kInvalidAttributes;
  uint32_t link = 0;
  if (S_ISLNK(st.st_mode)) {
    link = kAttrReparsePoint;
    if (::stat(path.c_str(), &st) != 0) return link | kAttrArchive;
  }
  return link | (S_ISDIR(st.st_mode) ? kAttrDirectory : kAttrArchive);
}

uint32_t PosixFiles::LinkCount(const std::string& path) {
  struct stat st;
  if (!Done(::lstat(path.c_str(), &st) == 0)) return 0;
  return static_cast<uint32_t>(st.st_nlink);
}

bool PosixFiles::SameDirectory(const std::string& a, const std::string& b) {
  struct stat first, second;
  if (!Done(::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0)) return false;
  return S_ISDIR(first.st_mode) && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

bool PosixFiles::Delete(const std::string& path) { return Done(::unlink(path.c_str()) == 0); }

bool PosixFiles::Move(const std::string& from, const std::string& to) {
  struct stat st;
  if (::stat(to.c_str(), &st) == 0) return Done((errno = EEXIST, false));
  return Done(::rename(from.c_str(), to.c_str()) == 0);
}

// rename() replaces a file under the new name in one step, as MoveFileEx does.
bool PosixFiles::MoveReplacing(const std::string& from, const std::string& to) {
  return Done(::rename(from.c_str(), to.c_str()) == 0);
}

bool PosixFiles::MakeDirectory(const std::string& path) { return Done(::mkdir(path.c_str(), 0755) == 0); }

std::vector<std::string> PosixFiles::List(const std::string& pattern) {
  std::vector<std::string> names;
  size_t slash = pattern.find_last_of('/');
  std::string dir = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
  DIR* d = ::opendir(dir.c_str());
  if (!Done(d != nullptr)) return names;
  while (dirent* e = ::readdir(d)) names.emplace_back(e->d_name);
  ::closedir(d);
  return names;
}

bool PosixFiles::ChangeDirectory(const std::string& path) { return Done(::chdir(path.c_str()) == 0); }

uint32_t PosixFiles::DriveType(const std::string& root) {
  struct stat st;
  return ::stat(root.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kDriveFixed : kDriveNoRootDir;
}

}  // namespace platform::posix
