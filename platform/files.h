// Files and directories: the small-file calls (_lopen, _lcreat, _lread, _lwrite, _llseek), copying,
// attributes, deletion, renaming, directory listing and the system's own directories; and the way a
// file is rewritten so that a run cut off at any instant leaves its old bytes or its new ones.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

// ReadHeld: for reading, sharing reading only: while it is open nobody can write, truncate,
// rename or delete the file (through any of its names), as _lopen's OF_SHARE_DENY_WRITE gives.
enum class OpenMode { Read, Write, ReadWrite, ReadHeld };
enum class SeekFrom { Begin = 0, Current = 1, End = 2 };

// One open file; closed when destroyed.
class File {
 public:
  virtual ~File() = default;
  // Bytes read (0 at the end), or -1 on failure.
  [[nodiscard]] virtual long Read(void* buffer, unsigned long count) = 0;
  // Bytes written, or -1 on failure.
  [[nodiscard]] virtual long Write(const void* data, unsigned long count) = 0;
  // New position from the start, or -1 on failure.
  [[nodiscard]] virtual long Seek(long offset, SeekFrom origin) = 0;
  // FlushFileBuffers: what was written is on the disk, not only in the system's cache.
  [[nodiscard]] virtual bool Flush() = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  // _lopen: null when the file cannot be opened; LastError() then tells why.
  [[nodiscard]] virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode) = 0;
  // _lcreat with normal attributes: creates or truncates, opened for reading and writing.
  [[nodiscard]] virtual std::unique_ptr<File> Create(const std::string& path) = 0;
  // CreateFileA for reading with backup semantics (directories open too), closed at once.
  [[nodiscard]] virtual bool CanOpenForReading(const std::string& path) = 0;
  [[nodiscard]] virtual bool Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
  [[nodiscard]] virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
  [[nodiscard]] virtual uint32_t GetAttributes(const std::string& path) = 0;
  // GetFileInformationByHandle on the name itself (a link is not followed): how many names (hard
  // links) its file has; 0 when that cannot be told.
  [[nodiscard]] virtual uint32_t LinkCount(const std::string& path) = 0;
  // Gives the file an access list of its own, inheriting nothing: the system and the
  // administrators may do anything with it, the users may read and run it, and nobody else may
  // change, rename or delete it (SetNamedSecurityInfoA with a protected DACL). True also where
  // the system keeps no access lists (Windows 9x, a volume without them).
  [[nodiscard]] virtual bool RestrictToReadAndRun(const std::string& path) = 0;
  [[nodiscard]] virtual bool Delete(const std::string& path) = 0;
  [[nodiscard]] virtual bool Move(const std::string& from, const std::string& to) = 0;
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH: a file under `to` is
  // replaced in the same step, so that the name never stands empty, and the change is on the disk
  // when it returns. It fails (access denied) where the file under `to` cannot go: read-only, open
  // or loaded as a module, a directory. A link under `to` is replaced, never written through.
  [[nodiscard]] virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
  [[nodiscard]] virtual bool MakeDirectory(const std::string& path) = 0;
  // FindFirstFileA/FindNextFileA over a pattern such as "d:\tavohu\*.*": the names returned,
  // "." and ".." included where the system returns them.
  [[nodiscard]] virtual std::vector<std::string> List(const std::string& pattern) = 0;
  [[nodiscard]] virtual bool ChangeDirectory(const std::string& path) = 0;
  [[nodiscard]] virtual uint32_t DriveType(const std::string& root) = 0;
  // Without trailing backslash.
  virtual std::string WindowsDirectory() = 0;
  virtual std::string SystemDirectory() = 0;
  virtual std::u16string SystemDirectoryW() = 0;
  // The 64-bit system directory as this 32-bit program reaches it: on 64-bit Windows the
  // "sysnative" alias under the Windows directory (system32 itself is redirected to SysWOW64),
  // elsewhere the system directory.
  virtual std::string NativeSystemDirectory() = 0;
  // The folders the system itself keeps, as it names them (without trailing backslash): the
  // Windows and system directories, Program Files (the native one and, on 64-bit Windows, the
  // 32-bit one), the common application data and the folder of the users' profiles. A folder the
  // system cannot tell is left out; the same folder may come more than once.
  virtual std::vector<std::string> SystemFolders() = 0;
  // Both paths name one existing directory, however each is spelt (letter case, trailing
  // backslash, 8.3 short name, a junction to it). False when either is missing or is no
  // directory; LastError() then tells why a path could not be opened (0 when both could).
  [[nodiscard]] virtual bool SameDirectory(const std::string& a, const std::string& b) = 0;
  // GetLastError after the most recent file call.
  [[nodiscard]] virtual long LastError() = 0;
};

// The size of an open file, by seeking to its end and back to its start; -1 when it cannot seek.
[[nodiscard]] long FileSize(File& file);
// Reads a whole small file (at most maxBytes). False when it cannot be opened.
[[nodiscard]] bool ReadSmallFile(Files& files, const std::string& path, unsigned long maxBytes, std::string* out);
// Whether the name is a link: a reparse point (a symbolic link, a junction), or one of several
// names of one file. Whatever is written under such a name lands in a file elsewhere.
[[nodiscard]] bool IsLink(Files& files, const std::string& path);
// Makes sure what is written under `path` next is a file of its own: a file name that is a link is
// removed (the link, never the file it points to). False when a link stays there (a directory
// link, or one that cannot be removed); true when there is no link (or nothing) under the name.
[[nodiscard]] bool RemoveLink(Files& files, const std::string& path);
// Whether a file is there: only "not found" says it is not (a file that cannot be opened for
// another reason is there, and its data must not be taken for absent).
[[nodiscard]] bool Exists(Files& files, const std::string& path);
// True when the file is gone: it was not there, or it was deleted (a link: the link removed). False
// when something stays under the name: a file that cannot be deleted, a folder.
[[nodiscard]] bool DeleteIfPresent(Files& files, const std::string& path);
// Creates or truncates a file, writes the bytes in one write and flushes them. True when all were
// written; otherwise the file is deleted again (no piece of it stays under its name). A link under
// the name is removed first, and one that stays makes it fail: it never writes through a link.
[[nodiscard]] bool WriteSmallFile(Files& files, const std::string& path, const std::string& bytes);

// "x:\dir\tavohu4.new" beside "x:\dir\tavohu4.ime" (`extension` "new"): the extension replaced, or
// added to a name without one.
std::string BesideName(const std::string& path, const char* extension);
// The name a file is written under, whole, before it takes the place of `path`: BesideName "new".
// Whatever lies there was left by a run cut off (or put there by someone else): it is never read.
std::string FreshName(const std::string& path);
// Writes the bytes under FreshName(path) with WriteSmallFile, after taking away whatever a run cut
// off left there (a link as a link). False when they could not all be written and flushed; then
// nothing stays under the fresh name.
[[nodiscard]] bool WriteFreshFile(Files& files, const std::string& path, const std::string& bytes);
// Rewrites a whole file so that a run cut off at any instant leaves `path` holding its old bytes or
// the new ones, never a piece: WriteFreshFile, then the fresh file moved over `path` in one step
// (MoveReplacing). False when either could not be done; then `path` is as it was and no fresh file
// is left.
[[nodiscard]] bool WriteWholeFile(Files& files, const std::string& path, const std::string& bytes);

}  // namespace platform
