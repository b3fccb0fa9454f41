#include "platform/fake/faulty_platform.h"

#include "platform/constants.h"

namespace platform::fake {
namespace {

// Counts the calls and says when the chosen one comes.
class Counter {
 public:
  explicit Counter(long failAt) : failAt_(failAt) {}
  bool Fail(const char* what, const std::string& on = std::string()) {
    if (++calls_ != failAt_) return false;
    failed_ = on.empty() ? what : std::string(what) + " " + on;
    return true;
  }
  long calls() const { return calls_; }
  const std::string& failed() const { return failed_; }

 private:
  long failAt_;
  long calls_ = 0;
  std::string failed_;
};

class FaultyFile : public File {
 public:
  FaultyFile(std::unique_ptr<File> inner, Counter& counter, long& lastError)
      : inner_(std::move(inner)), counter_(counter), lastError_(lastError) {}
  long Read(void* buffer, unsigned long count) override {
    if (counter_.Fail("read")) return Failed(kErrorAccessDenied);
    return inner_->Read(buffer, count);
  }
  long Write(const void* data, unsigned long count) override {
    if (counter_.Fail("write")) return Failed(kErrorDiskFull);
    return inner_->Write(data, count);
  }
  long Seek(long offset, SeekFrom origin) override {
    if (counter_.Fail("seek")) return Failed(kErrorAccessDenied);
    return inner_->Seek(offset, origin);
  }

 private:
  long Failed(long error) {
    lastError_ = error;
    return -1;
  }
  std::unique_ptr<File> inner_;
  Counter& counter_;
  long& lastError_;
};

class FaultyFiles : public Files {
 public:
  FaultyFiles(Files& inner, Counter& counter) : inner_(inner), counter_(counter) {}

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode) override {
    if (counter_.Fail("open", path)) return Failed<std::unique_ptr<File>>(kErrorSharingViolation, nullptr);
    return Wrap(inner_.Open(path, mode));
  }
  std::unique_ptr<File> Create(const std::string& path) override {
    if (counter_.Fail("create", path)) return Failed<std::unique_ptr<File>>(kErrorAccessDenied, nullptr);
    return Wrap(inner_.Create(path));
  }
  bool CanOpenForReading(const std::string& path) override {
    if (counter_.Fail("open for reading", path)) return Failed(kErrorSharingViolation, false);
    return Passed(inner_.CanOpenForReading(path));
  }
  bool Copy(const std::string& from, const std::string& to, bool failIfExists) override {
    if (counter_.Fail("copy", to)) return Failed(kErrorDiskFull, false);
    return Passed(inner_.Copy(from, to, failIfExists));
  }
  bool SetAttributes(const std::string& path, uint32_t attributes) override {
    if (counter_.Fail("set attributes", path)) return Failed(kErrorAccessDenied, false);
    return Passed(inner_.SetAttributes(path, attributes));
  }
  uint32_t GetAttributes(const std::string& path) override {
    if (counter_.Fail("get attributes", path)) return Failed(kErrorAccessDenied, kInvalidAttributes);
    return Passed(inner_.GetAttributes(path));
  }
  uint32_t LinkCount(const std::string& path) override {
    if (counter_.Fail("count links", path)) return Failed(kErrorAccessDenied, 0u);
    return Passed(inner_.LinkCount(path));
  }
  bool RestrictToReadAndRun(const std::string& path) override {
    if (counter_.Fail("restrict access", path)) return Failed(kErrorAccessDenied, false);
    return Passed(inner_.RestrictToReadAndRun(path));
  }
  bool Delete(const std::string& path) override {
    if (counter_.Fail("delete", path)) return Failed(kErrorAccessDenied, false);
    return Passed(inner_.Delete(path));
  }
  bool Move(const std::string& from, const std::string& to) override {
    if (counter_.Fail("move", from)) return Failed(kErrorSharingViolation, false);
    return Passed(inner_.Move(from, to));
  }
  bool MakeDirectory(const std::string& path) override {
    if (counter_.Fail("make directory", path)) return Failed(kErrorAccessDenied, false);
    return Passed(inner_.MakeDirectory(path));
  }
  std::vector<std::string> List(const std::string& pattern) override {
    if (counter_.Fail("list", pattern)) return Failed(kErrorAccessDenied, std::vector<std::string>());
    return Passed(inner_.List(pattern));
  }
  bool ChangeDirectory(const std::string& path) override {
    if (counter_.Fail("change directory", path)) return Failed(kErrorAccessDenied, false);
    return Passed(inner_.ChangeDirectory(path));
  }
  uint32_t DriveType(const std::string& root) override { return inner_.DriveType(root); }
  std::string WindowsDirectory() override { return inner_.WindowsDirectory(); }
  std::string SystemDirectory() override { return inner_.SystemDirectory(); }
  std::u16string SystemDirectoryW() override { return inner_.SystemDirectoryW(); }
  std::string NativeSystemDirectory() override { return inner_.NativeSystemDirectory(); }
  std::vector<std::string> SystemFolders() override { return inner_.SystemFolders(); }
  bool SameDirectory(const std::string& a, const std::string& b) override {
    if (counter_.Fail("same directory", a + " " + b)) return Failed(kErrorAccessDenied, false);
    return Passed(inner_.SameDirectory(a, b));
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
  std::unique_ptr<File> Wrap(std::unique_ptr<File> file) {
    injected_ = false;
    if (!file) return nullptr;
    return std::make_unique<FaultyFile>(std::move(file), counter_, fileError_);
  }

  Files& inner_;
  Counter& counter_;
  bool injected_ = false;
  long lastError_ = 0;
  long fileError_ = 0;  // open files fail without touching the last error of the file calls
};

class FaultyKey : public RegKey {
 public:
  FaultyKey(std::unique_ptr<RegKey> inner, Counter& counter) : inner_(std::move(inner)), counter_(counter) {}
  long CreateSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (counter_.Fail("create key", name)) return kErrorAccessDenied;
    return Wrapped(inner_->CreateSubKey(name, access, out), out);
  }
  long CreateSubKeyW(const std::u16string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (counter_.Fail("create key")) return kErrorAccessDenied;
    return Wrapped(inner_->CreateSubKeyW(name, access, out), out);
  }
  long OpenSubKey(const std::string& name, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (counter_.Fail("open key", name)) return kErrorAccessDenied;
    return Wrapped(inner_->OpenSubKey(name, access, out), out);
  }
  long QueryValue(const std::string& name, uint32_t maxBytes, uint32_t* type, std::string* data) override {
    if (counter_.Fail("query value", name)) return kErrorMoreData;
    return inner_->QueryValue(name, maxBytes, type, data);
  }
  long SetValue(const std::string& name, uint32_t type, const std::string& data) override {
    if (counter_.Fail("set value", name)) return kErrorAccessDenied;
    return inner_->SetValue(name, type, data);
  }
  long SetValueW(const std::u16string& name, uint32_t type, const std::string& data) override {
    if (counter_.Fail("set value")) return kErrorAccessDenied;
    return inner_->SetValueW(name, type, data);
  }
  long DeleteValue(const std::string& name) override {
    if (counter_.Fail("delete value", name)) return kErrorAccessDenied;
    return inner_->DeleteValue(name);
  }
  long DeleteSubKey(const std::string& name) override {
    if (counter_.Fail("delete key", name)) return kErrorAccessDenied;
    return inner_->DeleteSubKey(name);
  }
  long EnumSubKey(uint32_t index, uint32_t maxChars, std::string* name) override {
    if (counter_.Fail("enumerate keys")) return kErrorAccessDenied;
    return inner_->EnumSubKey(index, maxChars, name);
  }
  long CountSubKeys(uint32_t* count) override {
    if (counter_.Fail("count keys")) return kErrorAccessDenied;
    return inner_->CountSubKeys(count);
  }

 private:
  long Wrapped(long result, std::unique_ptr<RegKey>* out) {
    if (result == kErrorSuccess && *out) *out = std::make_unique<FaultyKey>(std::move(*out), counter_);
    return result;
  }
  std::unique_ptr<RegKey> inner_;
  Counter& counter_;
};

class FaultyRegistry : public Registry {
 public:
  FaultyRegistry(Registry& inner, Counter& counter) : inner_(inner), counter_(counter) {}
  long OpenKey(RegRoot root, const std::string& path, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (counter_.Fail("open key", path)) return kErrorAccessDenied;
    return Wrapped(inner_.OpenKey(root, path, access, out), out);
  }
  long OpenKeyW(RegRoot root, const std::u16string& path, uint32_t access, std::unique_ptr<RegKey>* out) override {
    if (counter_.Fail("open key")) return kErrorAccessDenied;
    return Wrapped(inner_.OpenKeyW(root, path, access, out), out);
  }

 private:
  long Wrapped(long result, std::unique_ptr<RegKey>* out) {
    if (result == kErrorSuccess && *out) *out = std::make_unique<FaultyKey>(std::move(*out), counter_);
    return result;
  }
  Registry& inner_;
  Counter& counter_;
};

class FaultyResources : public Resources {
 public:
  FaultyResources(Resources& inner, Counter& counter) : inner_(inner), counter_(counter) {}
  std::unique_ptr<ResourceImage> Load(const char* type, const char* name) override {
    if (counter_.Fail("load resource")) return nullptr;
    return inner_.Load(type, name);
  }
  std::unique_ptr<MemoryBlock> AllocZeroed(size_t size) override {
    if (counter_.Fail("allocate")) return nullptr;
    return inner_.AllocZeroed(size);
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
    if (counter_.Fail("start program")) return;
    inner_.Start(commandLine, showCommand);
  }
  void StartHeld(const std::string& program, const std::string& commandLine, int showCommand,
                 std::unique_ptr<File> held) override {
    if (counter_.Fail("start program")) return;
    inner_.StartHeld(program, commandLine, showCommand, std::move(held));
  }

 private:
  Processes& inner_;
  Counter& counter_;
};

class FaultyInputMethods : public InputMethods {
 public:
  FaultyInputMethods(InputMethods& inner, Counter& counter) : inner_(inner), counter_(counter) {}
  uint32_t InstallIme(const std::u16string& imeFile, const std::u16string& description) override {
    if (counter_.Fail("install IME")) return 0;
    return inner_.InstallIme(imeFile, description);
  }
  std::string Description(uint32_t layout, uint32_t bufferBytes) override {
    return inner_.Description(layout, bufferBytes);
  }
  uint32_t CurrentLayout() override { return inner_.CurrentLayout(); }
  std::vector<uint32_t> LayoutList(int maxCount) override { return inner_.LayoutList(maxCount); }
  uint32_t Activate(uint32_t layout, uint32_t flags) override {
    if (counter_.Fail("activate layout")) return 0;
    return inner_.Activate(layout, flags);
  }

 private:
  InputMethods& inner_;
  Counter& counter_;
};

}  // namespace

struct FaultyPlatform::Parts {
  Parts(Platform& machine, long failAt)
      : counter(failAt),
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

FaultyPlatform::FaultyPlatform(Platform& machine, long failAt) : parts_(std::make_unique<Parts>(machine, failAt)) {}
FaultyPlatform::~FaultyPlatform() = default;

Platform& FaultyPlatform::os() { return parts_->platform; }
long FaultyPlatform::Calls() const { return parts_->counter.calls(); }
const std::string& FaultyPlatform::Failed() const { return parts_->counter.failed(); }

}  // namespace platform::fake
