#include "platform/fake/faulty_platform.h"

#include <exception>
#include <initializer_list>
#include <optional>
#include <string_view>

#include "platform/constants.h"
#include "platform/unchecked.h"
#include "platform/utf8.h"

namespace platform::fake {
namespace {

// ReadFile and WriteFile on a range another process has locked.
constexpr long kErrorLockViolation = 33;
// What a call made after the stop gets, where it cannot be thrown: the device has gone away.
constexpr long kErrorNotReady = 21;

// The errors Windows gives for each kind of call, the first the one a test most often meets.
using Errors = std::initializer_list<long>;
constexpr Errors kNoCode = {};
constexpr Errors kReadErrors = {kErrorAccessDenied, kErrorLockViolation};
constexpr Errors kWriteErrors = {kErrorDiskFull, kErrorHandleDiskFull, kErrorLockViolation};
constexpr Errors kSeekErrors = {kErrorAccessDenied};
// A delayed write the disk could not take, a handle without write access.
constexpr Errors kFlushErrors = {kErrorDiskFull, kErrorAccessDenied};
constexpr Errors kOpenErrors = {kErrorSharingViolation, kErrorAccessDenied, kErrorFileNotFound};
// A folder the system keeps (the probe of SysWOW64) does not vanish: it is only held or guarded.
constexpr Errors kProbeErrors = {kErrorSharingViolation, kErrorAccessDenied};
constexpr Errors kCreateErrors = {kErrorAccessDenied, kErrorSharingViolation, kErrorPathNotFound};
constexpr Errors kCopyErrors = {kErrorDiskFull, kErrorAccessDenied, kErrorSharingViolation};
constexpr Errors kAttributeErrors = {kErrorAccessDenied, kErrorSharingViolation};
constexpr Errors kChangeErrors = {kErrorAccessDenied, kErrorSharingViolation};
// A file under the new name that cannot go (in use, read-only), a source held open.
constexpr Errors kReplaceErrors = {kErrorAccessDenied, kErrorSharingViolation};
constexpr Errors kFolderErrors = {kErrorAccessDenied, kErrorPathNotFound};
constexpr Errors kOpenKeyErrors = {kErrorAccessDenied, kErrorFileNotFound};
constexpr Errors kWriteKeyErrors = {kErrorAccessDenied};
constexpr Errors kQueryErrors = {kErrorMoreData, kErrorFileNotFound};

// What a call does to the machine: only looks, changes it, or writes bytes a stop can cut short.
enum class Kind { Look, Change, Bytes };

std::string Describe(const char* what, const std::string& on) {
  return on.empty() ? what : std::string(what) + " " + on;
}

// Counts the calls and says when the chosen one comes, and how it fails; or ends the run after it.
class Counter {
 public:
  explicit Counter(long failAt) : failAt_(failAt) {}
  Counter(std::string call, int occurrence, long error)
      : failAt_(0), call_(std::move(call)), occurrence_(occurrence), error_(error) {}
  explicit Counter(StopAfter stop) : failAt_(0), stop_(stop) {}

  // The error the call fails with, or nothing when it goes through. A call failed by its number
  // gets one of the errors of its kind, picked by that number: a sweep sees every error of a
  // kind over its calls, and each run fails the same way every time. `where` is the open file or
  // key the call works on, for naming the call a run stopped after.
  std::optional<long> Fail(const char* what, const std::string& on, Errors errors, const std::string* where = nullptr) {
    if (stopped_) return AfterTheStop();
    ++calls_;
    if (calls_ == stop_.call) stoppedAfter_ = Describe(what, on) + (where ? " in " + *where : std::string());
    long error = 0;
    if (call_.empty()) {
      if (calls_ != failAt_) return std::nullopt;
      if (errors.size()) error = errors.begin()[static_cast<size_t>(calls_ - 1) % errors.size()];
    } else {
      if (!IsNamedCall(what, on) || (occurrence_ != 0 && ++seen_ != occurrence_)) return std::nullopt;
      error = error_;
    }
    failed_ = Describe(what, on);
    failedError_ = error;
    return error;
  }

  // Whether the call under way is the write or copy a stop cuts short.
  bool Cuts() const { return stop_.cut && calls_ == stop_.call; }
  // Hands back what a call that went through gave, or ends the run when the stop comes after it.
  template <typename Result>
  Result Done(Kind kind, Result result) {
    Done(kind);
    return result;
  }
  void Done(Kind kind) {
    if (kind != Kind::Look) changes_.push_back({calls_, kind == Kind::Bytes});
    if (calls_ != stop_.call) return;
    stopped_ = true;
    if (kind == Kind::Bytes && stop_.cut) stoppedAfter_ += " (cut short)";
    throw RunStopped();
  }

  long calls() const { return calls_; }
  const std::string& failed() const { return failed_; }
  long failedError() const { return failedError_; }
  const std::vector<FaultyPlatform::Change>& changes() const { return changes_; }
  const std::string& stoppedAfter() const { return stoppedAfter_; }

 private:
  // Whether the call is the one named, without building its description: the sweep makes
  // millions of calls.
  bool IsNamedCall(std::string_view what, const std::string& on) const {
    std::string_view named = call_;
    if (named.substr(0, what.size()) != what) return false;
    named.remove_prefix(what.size());
    if (on.empty()) return named.empty();
    return named.size() == on.size() + 1 && named[0] == ' ' && named.substr(1) == on;
  }

  // Nothing reaches the machine after the stop. A destructor that calls while the stop unwinds
  // the stack is refused instead: a second exception there would end the program.
  std::optional<long> AfterTheStop() const {
    if (std::uncaught_exceptions() == 0) throw RunStopped();
    return kErrorNotReady;
  }

  long failAt_;
  std::string call_;  // by description, instead of by number
  int occurrence_ = 0;
  long error_ = 0;
  int seen_ = 0;
  StopAfter stop_;
  bool stopped_ = false;
  long calls_ = 0;
  std::string failed_;
  long failedError_ = 0;
  std::vector<FaultyPlatform::Change> changes_;
  std::string stoppedAfter_;
};

class FaultyFile : public File {
 public:
  FaultyFile(std::unique_ptr<File> inner, Counter& counter, long& lastError, const std::string& path)
      : inner_(std::move(inner)), counter_(counter), lastError_(lastError), path_(path) {}
  long Read(void* buffer, unsigned long count) override {
    if (auto error = counter_.Fail("read", std::string(), kReadErrors, &path_)) return Failed(*error);
    return counter_.Done(Kind::Look, inner_->Read(buffer, count));
  }
  long Write(const void* data, unsigned long count) override {
    if (auto error = counter_.Fail("write", std::string(), kWriteErrors, &path_)) return Failed(*error);
    const Kind kind = count > 1 ? Kind::Bytes : Kind::Change;
    // A write under way when the power goes lands only its first bytes.
    if (kind == Kind::Bytes && counter_.Cuts()) count /= 2;
    return counter_.Done(kind, inner_->Write(data, count));
  }
  long Seek(long offset, SeekFrom origin) override {
    if (auto error = counter_.Fail("seek", std::string(), kSeekErrors, &path_)) return Failed(*error);
    return counter_.Done(Kind::Look, inner_->Seek(offset, origin));
  }
  bool Flush() override {
    if (auto error = counter_.Fail("flush", std::string(), kFlushErrors)) {
      lastError_ = *error;
      return false;
    }
    return counter_.Done(Kind::Look, inner_->Flush());
  }

 private:
  long Failed(long error) {
    lastError_ = error;
    return -1;
  }
  std::unique_ptr<File> inner_;
  Counter& counter_;
  long& lastError_;
  std::string path_;  // names the calls a run stops after
};

class FaultyFiles : public Files {
 public:
  FaultyFiles(Files& inner, Counter& counter) : inner_(inner), counter_(counter) {}

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    if (auto error = counter_.Fail("open", path, kOpenErrors)) return Failed<std::unique_ptr<File>>(*error, nullptr);
    return counter_.Done(Kind::Look, Wrap(inner_.Open(path, mode), path));
  }
  std::unique_ptr<File> Create(const std::string& path) override {
    if (auto error = counter_.Fail("create", path, kCreateErrors))
      return Failed<std::unique_ptr<File>>(*error, nullptr);
    return counter_.Done(Kind::Change, Wrap(inner_.Create(path), path));
  }
  bool CanOpenForReading(const std::string& path) override {
    if (auto error = counter_.Fail("open for reading", path, kProbeErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Look, Passed(inner_.CanOpenForReading(path)));
  }
  bool Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    if (auto error = counter_.Fail("copy", to, kCopyErrors)) return Failed(*error, false);
    const bool copied = Passed(inner_.Copy(from, to, failIfExists));
    if (copied && counter_.Cuts()) KeepFirstHalf(to);
    return counter_.Done(Kind::Bytes, copied);
  }
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    if (auto error = counter_.Fail("set attributes", path, kAttributeErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Change, Passed(inner_.SetAttributes(path, attributes)));
  }
  uint32_t GetAttributes(const std::string& path) override {
    if (auto error = counter_.Fail("get attributes", path, kAttributeErrors)) return Failed(*error, kInvalidAttributes);
    return counter_.Done(Kind::Look, Passed(inner_.GetAttributes(path)));
  }
  uint32_t LinkCount(const std::string& path) override {
    if (auto error = counter_.Fail("count links", path, kAttributeErrors)) return Failed(*error, 0u);
    return counter_.Done(Kind::Look, Passed(inner_.LinkCount(path)));
  }
  bool RestrictToReadAndRun(const std::string& path) override {
    if (auto error = counter_.Fail("restrict access", path, kAttributeErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Change, Passed(inner_.RestrictToReadAndRun(path)));
  }
  bool Delete(const std::string& path) override {
    if (auto error = counter_.Fail("delete", path, kChangeErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Change, Passed(inner_.Delete(path)));
  }
  bool Move(const std::string& from, const std::string& to) override {
    if (auto error = counter_.Fail("move", from, kChangeErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Change, Passed(inner_.Move(from, to)));
  }
  bool MoveReplacing(const std::string& from, const std::string& to) override {
    if (auto error = counter_.Fail("move replacing", from, kReplaceErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Change, Passed(inner_.MoveReplacing(from, to)));
  }
  bool MakeDirectory(const std::string& path) override {
    if (auto error = counter_.Fail("make directory", path, kFolderErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Change, Passed(inner_.MakeDirectory(path)));
  }
  std::vector<std::string> List(const std::string& pattern) override {
    if (auto error = counter_.Fail("list", pattern, kFolderErrors)) return Failed(*error, std::vector<std::string>());
    return counter_.Done(Kind::Look, Passed(inner_.List(pattern)));
  }
  // The process's own current directory, not the machine's.
  bool ChangeDirectory(const std::string& path) override {
    if (auto error = counter_.Fail("change directory", path, kFolderErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Look, Passed(inner_.ChangeDirectory(path)));
  }
  uint32_t DriveType(const std::string& root) override { return inner_.DriveType(root); }
  std::string WindowsDirectory() override { return inner_.WindowsDirectory(); }
  std::string SystemDirectory() override { return inner_.SystemDirectory(); }
  std::u16string SystemDirectoryW() override { return inner_.SystemDirectoryW(); }
  std::string NativeSystemDirectory() override { return inner_.NativeSystemDirectory(); }
  std::vector<std::string> SystemFolders() override { return inner_.SystemFolders(); }
  bool SameDirectory(const std::string& a, const std::string& b) override {
    if (auto error = counter_.Fail("same directory", a + " " + b, kAttributeErrors)) return Failed(*error, false);
    return counter_.Done(Kind::Look, Passed(inner_.SameDirectory(a, b)));
  }
  long LastError() override { return injected_ ? lastError_ : inner_.LastError(); }

 private:
  template <typename Result>
  Result Failed(long error, Result result) {
    injected_ = true;
    lastError_ = error;
    return result;
  }
  template <typename Result>
  Result Passed(Result result) {
    injected_ = false;
    return result;
  }
  std::unique_ptr<File> Wrap(std::unique_ptr<File> file, const std::string& path) {
    injected_ = false;
    if (!file) return nullptr;
    return std::make_unique<FaultyFile>(std::move(file), counter_, fileError_, path);
  }
  // What a copy leaves when the power goes while it runs: the target holds the first half of the
  // source's bytes.
  void KeepFirstHalf(const std::string& path) {
    std::string bytes;
    auto copy = inner_.Open(path, OpenMode::Read);
    long size = copy ? FileSize(*copy) : -1;
    if (size <= 0) return;
    bytes.resize(static_cast<size_t>(size));
    if (copy->Read(bytes.data(), static_cast<unsigned long>(size)) != size) return;
    copy.reset();
    const uint32_t attributes = inner_.GetAttributes(path);
    Unchecked(inner_.SetAttributes(path, kAttrArchive));
    if (auto cut = inner_.Create(path)) Unchecked(cut->Write(bytes.data(), static_cast<unsigned long>(size / 2)));
    Unchecked(inner_.SetAttributes(path, attributes));
  }

  Files& inner_;
  Counter& counter_;
  bool injected_ = false;
  long lastError_ = 0;
  long fileError_ = 0;  // open files fail without touching the last error of the file calls
};

class FaultyKey : public RegKey {
 public:
  FaultyKey(std::unique_ptr<RegKey> inner, Counter& counter, std::string path)
      : inner_(std::move(inner)), counter_(counter), path_(std::move(path)) {}
  long CreateSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (auto error = counter_.Fail("create key", name, kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Change, Wrapped(inner_->CreateSubKey(name, access, out), out, name));
  }
  long CreateSubKeyW(const std::u16string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (auto error = counter_.Fail("create key", std::string(), kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Change, Wrapped(inner_->CreateSubKeyW(name, access, out), out, Utf8(name)));
  }
  long OpenSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (auto error = counter_.Fail("open key", name, kOpenKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Look, Wrapped(inner_->OpenSubKey(name, access, out), out, name));
  }
  long QueryValue(const std::string& name, uint32_t maxBytes, uint32_t* type, std::string* data) override {
    if (auto error = counter_.Fail("query value", name, kQueryErrors, &path_)) return *error;
    return counter_.Done(Kind::Look, inner_->QueryValue(name, maxBytes, type, data));
  }
  long SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    if (auto error = counter_.Fail("set value", name, kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Change, inner_->SetValue(name, type, data));
  }
  long SetValueW(const std::u16string& name, uint32_t type, const std::string& data) override {
    if (auto error = counter_.Fail("set value", std::string(), kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Change, inner_->SetValueW(name, type, data));
  }
  long DeleteValue(const std::string& name) override {
    if (auto error = counter_.Fail("delete value", name, kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Change, inner_->DeleteValue(name));
  }
  long DeleteSubKey(const std::string& name) override {
    if (auto error = counter_.Fail("delete key", name, kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Change, inner_->DeleteSubKey(name));
  }
  long EnumSubKey(uint32_t index, uint32_t maxChars, std::string* name) override {
    if (auto error = counter_.Fail("enumerate keys", std::string(), kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Look, inner_->EnumSubKey(index, maxChars, name));
  }
  long CountSubKeys(uint32_t* count) override {
    if (auto error = counter_.Fail("count keys", std::string(), kWriteKeyErrors, &path_)) return *error;
    return counter_.Done(Kind::Look, inner_->CountSubKeys(count));
  }

 private:
  long Wrapped(long result, std::unique_ptr<RegKey>* out, const std::string& name) {
    if (result == kErrorSuccess && *out)
      *out = std::make_unique<FaultyKey>(std::move(*out), counter_, path_ + "\\" + name);
    return result;
  }
  std::unique_ptr<RegKey> inner_;
  Counter& counter_;
  std::string path_;  // names the calls a run stops after
};

class FaultyRegistry : public Registry {
 public:
  FaultyRegistry(Registry& inner, Counter& counter) : inner_(inner), counter_(counter) {}
  long OpenKey(RegRoot root, const std::string& path, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (auto error = counter_.Fail("open key", path, kOpenKeyErrors)) return *error;
    return counter_.Done(Kind::Look, Wrapped(inner_.OpenKey(root, path, access, out), out, root, path));
  }
  long OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (auto error = counter_.Fail("open key", std::string(), kOpenKeyErrors)) return *error;
    return counter_.Done(Kind::Look, Wrapped(inner_.OpenKeyW(root, path, access, out), out, root, Utf8(path)));
  }

 private:
  long Wrapped(long result, std::unique_ptr<RegKey>* out, RegRoot root, const std::string& path) {
    static const char* const kRoots[] = {"HKLM\\", "HKCU\\", "HKU\\"};
    if (result == kErrorSuccess && *out) {
      *out = std::make_unique<FaultyKey>(std::move(*out), counter_, kRoots[static_cast<int>(root)] + path);
    }
    return result;
  }
  Registry& inner_;
  Counter& counter_;
};

class FaultyResources : public Resources {
 public:
  FaultyResources(Resources& inner, Counter& counter) : inner_(inner), counter_(counter) {}
  std::unique_ptr<ResourceImage> Load(const char* type, const char* name) override {
    if (counter_.Fail("load resource", std::string(), kNoCode)) return nullptr;
    return counter_.Done(Kind::Look, inner_.Load(type, name));
  }
  std::unique_ptr<MemoryBlock> AllocZeroed(size_t size) override {
    if (counter_.Fail("allocate", std::string(), kNoCode)) return nullptr;
    return counter_.Done(Kind::Look, inner_.AllocZeroed(size));
  }

 private:
  Resources& inner_;
  Counter& counter_;
};

// A start that fails is not reported (as with WinExec's callers): the program simply never runs.
class FaultyProcesses : public Processes {
 public:
  FaultyProcesses(Processes& inner, Counter& counter) : inner_(inner), counter_(counter) {}
  void Start(const std::string& commandLine, int showCommand) override {
    if (counter_.Fail("start program", std::string(), kNoCode, &commandLine)) return;
    inner_.Start(commandLine, showCommand);
    counter_.Done(Kind::Change);
  }
  bool StartHeld(const std::string& program, const std::string& commandLine, int showCommand,
                 std::unique_ptr<File> held) override {
    if (counter_.Fail("start program", std::string(), kNoCode, &commandLine)) return false;
    return counter_.Done(Kind::Change, inner_.StartHeld(program, commandLine, showCommand, std::move(held)));
  }

 private:
  Processes& inner_;
  Counter& counter_;
};

class FaultyInputMethods : public InputMethods {
 public:
  FaultyInputMethods(InputMethods& inner, Counter& counter) : inner_(inner), counter_(counter) {}
  uint32_t InstallIme(const std::u16string& imeFile, const std::u16string& description) override {
    if (counter_.Fail("install IME", std::string(), kNoCode)) return 0;
    return counter_.Done(Kind::Change, inner_.InstallIme(imeFile, description));
  }
  std::string Description(uint32_t layout, uint32_t bufferBytes) override {
    return inner_.Description(layout, bufferBytes);
  }
  uint32_t CurrentLayout() override { return inner_.CurrentLayout(); }
  std::vector<uint32_t> LayoutList(int maxCount) override { return inner_.LayoutList(maxCount); }
  uint32_t Activate(uint32_t layout, uint32_t flags) override {
    if (counter_.Fail("activate layout", std::string(), kNoCode)) return 0;
    return counter_.Done(Kind::Change, inner_.Activate(layout, flags));
  }

 private:
  InputMethods& inner_;
  Counter& counter_;
};

}  // namespace

struct FaultyPlatform::Impl {
  Impl(Platform& machine, Counter chosen)
      : counter(std::move(chosen)),
        files(machine.files, counter),
        registry(machine.registry, counter),
        ime(machine.ime, counter),
        processes(machine.processes, counter),
        resources(machine.resources, counter),
        platform{files, registry, machine.system, ime, processes, resources, machine.dialogs, machine.windows} {}
  Counter counter;
  FaultyFiles files;
  FaultyRegistry registry;
  FaultyInputMethods ime;
  FaultyProcesses processes;
  FaultyResources resources;
  Platform platform;
};

FaultyPlatform::FaultyPlatform(Platform& machine, long failAt)
    : impl_(std::make_unique<Impl>(machine, Counter(failAt))) {}
FaultyPlatform::FaultyPlatform(Platform& machine, const std::string& call, int occurrence, long error)
    : impl_(std::make_unique<Impl>(machine, Counter(call, occurrence, error))) {}
FaultyPlatform::FaultyPlatform(Platform& machine, StopAfter stop)
    : impl_(std::make_unique<Impl>(machine, Counter(stop))) {}
FaultyPlatform::~FaultyPlatform() = default;

Platform& FaultyPlatform::os() { return impl_->platform; }
long FaultyPlatform::Calls() const { return impl_->counter.calls(); }
const std::string& FaultyPlatform::Failed() const { return impl_->counter.failed(); }
long FaultyPlatform::FailedError() const { return impl_->counter.failedError(); }
const std::vector<FaultyPlatform::Change>& FaultyPlatform::Changes() const { return impl_->counter.changes(); }
const std::string& FaultyPlatform::StoppedAfter() const { return impl_->counter.stoppedAfter(); }

}  // namespace platform::fake
