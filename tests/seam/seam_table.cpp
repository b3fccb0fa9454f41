#include "tests/seam/seam_table.h"

#include <cstdint>
#include <functional>

#include "platform/ansi_text.h"
#include "platform/constants.h"

namespace seam {
namespace {

using platform::OpenMode;
using platform::RegKey;
using platform::RegRoot;

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  for (char c : bytes) {
    unsigned char b = static_cast<unsigned char>(c);
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out.empty() ? "(none)" : out;
}

class Table {
 public:
  explicit Table(Machine& m) : m_(m), f_(m.files), r_(m.registry) {}

  std::vector<Row> Run() {
    FileErrors();
    Replacing();
    LastErrors();
    HeldOpen();
    HeldBySetup();
    LoadedModule();
    Directories();
    RegistryData();
    RegistryViews();
    return rows_;
  }

 private:
  void Add(const std::string& name, const std::string& expected, const std::string& got) {
    rows_.push_back({name, expected, got, ""});
  }
  std::string P(const std::string& name) const { return m_.scratch + "\\" + name; }
  std::string Error() { return "error " + std::to_string(f_.LastError()); }
  // "ok" or "error N", read right after the call.
  std::string Did(bool ok) { return ok ? "ok" : Error(); }
  std::string Bytes(const std::string& path) {
    std::string bytes;
    return platform::ReadSmallFile(f_, path, 64, &bytes) ? "[" + bytes + "]" : "absent";
  }
  bool Exists(const std::string& path) { return f_.GetAttributes(path) != platform::kInvalidAttributes; }
  void Write(const std::string& path, const std::string& bytes) {
    f_.SetAttributes(path, platform::kAttrArchive);
    if (!platform::WriteSmallFile(f_, path, bytes)) Add("set-up: write " + path, "ok", Error());
  }
  // The first two bytes of a module image.
  std::string Image(const std::string& path) {
    std::string bytes;
    if (!platform::ReadSmallFile(f_, path, 2, &bytes)) return "absent";
    return bytes == "MZ" ? "module" : "[" + bytes + "]";
  }

  // Failures and the error each reports.
  void FileErrors() {
    Write(P("present.txt"), "present");
    Write(P("other.txt"), "other");
    Add("open a missing file", "error 2", Did(f_.Open(P("none.txt"), OpenMode::Read) != nullptr));
    Add("open a file in a missing directory", "error 3", Did(f_.Open(P("nodir\\none.txt"), OpenMode::Read) != nullptr));
    Add("create a file in a missing directory", "error 3", Did(f_.Create(P("nodir\\new.txt")) != nullptr));
    Add("delete a missing file", "error 2", Did(f_.Delete(P("none.txt"))));
    Add("delete a file in a missing directory", "error 3", Did(f_.Delete(P("nodir\\none.txt"))));
    Add("move a missing file", "error 2", Did(f_.Move(P("none.txt"), P("none2.txt"))));
    {
      std::string got = Did(f_.Move(P("present.txt"), P("other.txt")));
      got += "; " + Bytes(P("present.txt")) + " " + Bytes(P("other.txt"));
      Add("move onto an existing name (MoveFile replaces nothing)", "error 183; [present] [other]", got);
    }
    Add("move into a missing directory", "error 3", Did(f_.Move(P("present.txt"), P("nodir\\moved.txt"))));
    Add("copy a missing file", "error 2", Did(f_.Copy(P("none.txt"), P("copy.txt"), false)));
    {
      std::string got = Did(f_.Copy(P("present.txt"), P("other.txt"), true));
      Add("copy onto an existing file, failing if it exists", "error 80; [other]", got + "; " + Bytes(P("other.txt")));
    }
    {
      uint32_t attributes = f_.GetAttributes(P("none.txt"));
      Add("attributes of a missing file", "invalid; error 2",
          std::string(attributes == platform::kInvalidAttributes ? "invalid" : "valid") + "; " + Error());
    }
    {
      uint32_t attributes = f_.GetAttributes(P("nodir\\none.txt"));
      Add("attributes of a file in a missing directory", "invalid; error 3",
          std::string(attributes == platform::kInvalidAttributes ? "invalid" : "valid") + "; " + Error());
    }
    Add("make a directory that exists", "error 183", Did(f_.MakeDirectory(m_.scratch)));
    Add("make a directory in a missing directory", "error 3", Did(f_.MakeDirectory(P("nodir\\sub"))));
    {
      auto names = f_.List(P("*.none"));
      Add("list a pattern nothing matches", "0 names; error 2", std::to_string(names.size()) + " names; " + Error());
    }
    {
      auto names = f_.List(P("nodir\\*.*"));
      Add("list a missing directory", "0 names; error 3", std::to_string(names.size()) + " names; " + Error());
    }
    Add("change into a missing directory", "error 2", Did(f_.ChangeDirectory(P("nodir"))));
    Add("change into a file (ERROR_DIRECTORY)", "error 267", Did(f_.ChangeDirectory(P("present.txt"))));
    Add("open a missing file for reading with backup semantics", "error 2", Did(f_.CanOpenForReading(P("none.txt"))));
    {
      // No machine of the tests has a drive q:.
      std::string got = Did(f_.CanOpenForReading("q:\\"));
      uint32_t attributes = f_.GetAttributes("q:\\");
      got += "; " + std::string(attributes == platform::kInvalidAttributes ? "invalid" : "valid") + "; " + Error();
      got += "; type " + std::to_string(f_.DriveType("q:\\"));
      Add("a drive that is not there: open its root, its attributes, its type", "error 3; invalid; error 3; type 1",
          got);
    }
    {
      const std::string readOnly = P("readonly.txt");
      Write(readOnly, "ro");
      f_.SetAttributes(readOnly, platform::kAttrReadOnly);
      std::string got = Did(f_.Delete(readOnly));
      Add("read-only: delete it", "error 5; [ro]", got + "; " + Bytes(readOnly));
      got = Did(f_.Move(readOnly, P("readonly2.txt")));
      Add("read-only: move it", "ok; [ro]", got + "; " + Bytes(P("readonly2.txt")));
      f_.Move(P("readonly2.txt"), readOnly);
      auto write = [&](const std::string& name, const std::function<bool()>& call) {
        if (!m_.readOnlyRefusesWrites) {
          rows_.push_back({name, "error 5; [ro]", "", "writes to read-only files are let through here"});
          return;
        }
        got = Did(call());
        Add(name, "error 5; [ro]", got + "; " + Bytes(readOnly));
      };
      write("read-only: open it for writing", [&] { return f_.Open(readOnly, OpenMode::Write) != nullptr; });
      write("read-only: create (truncate) it", [&] { return f_.Create(readOnly) != nullptr; });
      write("read-only: copy another file over it", [&] { return f_.Copy(P("present.txt"), readOnly, false); });
      f_.SetAttributes(readOnly, platform::kAttrArchive);
    }
  }

  // MoveFileEx replacing what is under the new name in one step, and the flush before it.
  void Replacing() {
    Write(P("fresh.txt"), "fresh");
    {
      std::string got = Did(f_.MoveReplacing(P("fresh.txt"), P("free.txt")));
      Add("move replacing onto a free name", "ok; absent [fresh]",
          got + "; " + Bytes(P("fresh.txt")) + " " + Bytes(P("free.txt")));
    }
    Write(P("fresh.txt"), "new");
    Write(P("target.txt"), "old");
    {
      std::string got = Did(f_.MoveReplacing(P("fresh.txt"), P("target.txt")));
      Add("move replacing onto an existing file", "ok; absent [new]",
          got + "; " + Bytes(P("fresh.txt")) + " " + Bytes(P("target.txt")));
    }
    Add("move replacing a missing file", "error 2", Did(f_.MoveReplacing(P("none.txt"), P("target.txt"))));
    Write(P("fresh.txt"), "new");
    Add("move replacing into a missing directory", "error 3",
        Did(f_.MoveReplacing(P("fresh.txt"), P("nodir\\target.txt"))));
    f_.MakeDirectory(P("folder.txt"));
    {
      std::string got = Did(f_.MoveReplacing(P("fresh.txt"), P("folder.txt")));
      got += std::string("; ") + (f_.GetAttributes(P("folder.txt")) & platform::kAttrDirectory ? "folder" : "file");
      Add("move replacing onto a directory", "error 5; folder", got);
    }
    if (!m_.readOnlyRefusesWrites) {
      rows_.push_back({"read-only: move replacing another file over it", "error 5; [ro]", "",
                       "writes to read-only files are let through here"});
    } else {
      Write(P("readonly3.txt"), "ro");
      f_.SetAttributes(P("readonly3.txt"), platform::kAttrReadOnly);
      std::string got = Did(f_.MoveReplacing(P("fresh.txt"), P("readonly3.txt")));
      Add("read-only: move replacing another file over it", "error 5; [ro]", got + "; " + Bytes(P("readonly3.txt")));
      f_.SetAttributes(P("readonly3.txt"), platform::kAttrArchive);
    }
    {
      auto file = f_.Create(P("flushed.txt"));
      bool flushed = file && file->Write("flushed", 7) == 7 && file->Flush();
      Add("flush a file written", "flushed", flushed ? "flushed" : "failed");
    }
    {
      auto file = f_.Open(P("flushed.txt"), OpenMode::Read);
      Add("flush a file open for reading only", "failed", file && file->Flush() ? "flushed" : "failed");
    }
  }

  // Every call that goes through the real layer's error bookkeeping sets LastError() to 0 when it
  // succeeds (GetLastError itself is often left as it was by a successful Win32 call); calls that
  // report no error leave it as it was.
  void LastErrors() {
    Write(P("last.txt"), "last");
    auto after = [&](const std::string& what, const std::function<bool()>& succeed) {
      f_.Delete(P("none.txt"));
      std::string got = Error();
      got += succeed() ? "; ok; " : "; failed; ";
      got += Error();
      Add("error after a failure and then a success: " + what, "error 2; ok; error 0", got);
    };
    after("open", [&] { return f_.Open(P("last.txt"), OpenMode::Read) != nullptr; });
    after("create", [&] { return f_.Create(P("last2.txt")) != nullptr; });
    after("open for reading with backup semantics", [&] { return f_.CanOpenForReading(P("last.txt")); });
    after("copy", [&] { return f_.Copy(P("last.txt"), P("last3.txt"), false); });
    after("set attributes", [&] { return f_.SetAttributes(P("last.txt"), platform::kAttrArchive); });
    after("get attributes", [&] { return f_.GetAttributes(P("last.txt")) != platform::kInvalidAttributes; });
    after("delete", [&] { return f_.Delete(P("last3.txt")); });
    after("move", [&] { return f_.Move(P("last2.txt"), P("last4.txt")); });
    after("move replacing", [&] { return f_.MoveReplacing(P("last4.txt"), P("last3.txt")); });
    after("make a directory", [&] { return f_.MakeDirectory(P("lastdir")); });
    after("list", [&] { return !f_.List(P("last*.txt")).empty(); });
    after("change directory", [&] { return f_.ChangeDirectory(m_.scratch); });
    {
      f_.Delete(P("none.txt"));
      std::string got = Error();
      f_.DriveType("c:\\");
      f_.WindowsDirectory();
      f_.SystemDirectory();
      f_.NativeSystemDirectory();
      Add("calls that report no error leave it: drive type, system directories", "error 2; error 2",
          got + "; " + Error());
    }
    {
      auto file = f_.Open(P("last.txt"), OpenMode::Read);
      f_.Delete(P("none.txt"));
      std::string got = Error();
      char buffer[16];
      long n = file ? file->Read(buffer, sizeof buffer) : -2;
      n = file ? file->Read(buffer, sizeof buffer) : -2;  // at the end: 0 bytes
      Add("reading an open file leaves it", "error 2; 0 bytes; error 2",
          got + "; " + std::to_string(n) + " bytes; " + Error());
    }
  }

  // A file another handle holds open for reading, sharing reading only: a program has it open.
  // Windows: every open that wants to write or delete it, and renaming it (which needs delete
  // access), meets a sharing violation; reading it and its attributes work.
  void HeldOpen() {
    const std::string held = P("held.txt");
    Write(held, "held");
    Write(P("source.txt"), "new");
    auto holding = m_.hooks.HoldOpen(held);
    if (!holding) {
      Add("hold a file open", "held", "could not");
      return;
    }
    Add("held open: open it for reading", "ok", Did(f_.Open(held, OpenMode::Read) != nullptr));
    Add("held open: open it for writing", "error 32", Did(f_.Open(held, OpenMode::Write) != nullptr));
    {
      std::string got = Did(f_.Create(held) != nullptr);
      Add("held open: create (truncate) it", "error 32; [held]", got + "; " + Bytes(held));
    }
    {
      std::string got = Did(f_.Delete(held));
      Add("held open: delete it", "error 32; [held]", got + "; " + Bytes(held));
    }
    {
      std::string got = Did(f_.Move(held, P("held2.txt")));
      got += "; " + Bytes(held) + " " + Bytes(P("held2.txt"));
      Add("held open: move (rename) it", "error 32; [held] absent", got);
    }
    {
      std::string got = Did(f_.Copy(P("source.txt"), held, false));
      Add("held open: copy another file over it", "error 32; [held]", got + "; " + Bytes(held));
    }
    {
      // The file under the name would have to go, and an open file cannot.
      std::string got = Did(f_.MoveReplacing(P("source.txt"), held));
      Add("held open: move replacing another file over it", "error 5; [held] [new]",
          got + "; " + Bytes(held) + " " + Bytes(P("source.txt")));
      got = Did(f_.MoveReplacing(held, P("held3.txt")));
      Add("held open: move replacing it", "error 32; [held]", got + "; " + Bytes(held));
    }
    {
      std::string got = Did(f_.Copy(held, P("heldcopy.txt"), false));
      Add("held open: copy it", "ok; [held]", got + "; " + Bytes(P("heldcopy.txt")));
    }
    {
      std::string got = Did(f_.SetAttributes(held, platform::kAttrArchive | platform::kAttrHidden));
      uint32_t attributes = f_.GetAttributes(held);
      got += "; " + std::to_string(attributes);
      f_.SetAttributes(held, platform::kAttrArchive);
      Add("held open: set and get its attributes", "ok; 34", got);
    }
    Add("held open: open it for reading with backup semantics", "ok", Did(f_.CanOpenForReading(held)));
    holding.reset();
    Add("held open, then let go: delete it", "ok", Did(f_.Delete(held)));
  }

  // The setup's own hold on a program it is about to start: reading shared only, so that nobody
  // can write, rename or delete the file; another holder that shares reading does not stop it.
  // And the access list it gives its programs leaves them readable and replaceable by itself.
  void HeldBySetup() {
    const std::string program = P("program.exe");
    Write(program, "program");
    {
      auto held = f_.Open(program, OpenMode::ReadHeld);
      Add("held by the setup: open it so", "ok", Did(held != nullptr));
      Add("held by the setup: open it for reading too", "ok", Did(f_.Open(program, OpenMode::Read) != nullptr));
      Add("held by the setup: open it for writing", "error 32", Did(f_.Open(program, OpenMode::Write) != nullptr));
      std::string got = Did(f_.Delete(program));
      Add("held by the setup: delete it", "error 32; [program]", got + "; " + Bytes(program));
      got = Did(f_.Move(program, P("program2.exe")));
      Add("held by the setup: move (rename) it", "error 32; [program]", got + "; " + Bytes(program));
      if (held) {
        char buffer[16] = {};
        Add("held by the setup: read it through the hold", "7", std::to_string(held->Read(buffer, sizeof buffer)));
      }
      Add("held by the setup: one name", "1", std::to_string(f_.LinkCount(program)));
    }
    auto holding = m_.hooks.HoldOpen(program);
    if (holding) {
      Add("held by another that shares reading: the setup holds it too", "ok",
          Did(f_.Open(program, OpenMode::ReadHeld) != nullptr));
      holding.reset();
    }
    Add("give it the users' read-and-run access list", "ok", Did(f_.RestrictToReadAndRun(program)));
    Add("then read it", "[program]", Bytes(program));
    Add("then delete it", "ok", Did(f_.Delete(program)));
  }

  // A module loaded from the file (an IME the system uses). Windows maps the image and keeps it
  // mapped, not open: it can be read and renamed (the loader shares deletion), but not written,
  // truncated or deleted while mapped. Deletion fails with ERROR_ACCESS_DENIED (the file system's
  // STATUS_CANNOT_DELETE), every write access with a sharing violation.
  void LoadedModule() {
    const std::string module = P("seammod1.ime");
    const std::string aside = P("seammod2.ime");
    Write(P("source.txt"), "new");
    f_.Delete(aside);
    if (!m_.hooks.PlaceModule(module)) {
      Add("place a module", "placed", "could not");
      return;
    }
    auto loaded = m_.hooks.LoadModule(module);
    if (!loaded) {
      Add("load a module", "loaded", "could not");
      return;
    }
    Add("loaded: open it for reading", "ok", Did(f_.Open(module, OpenMode::Read) != nullptr));
    Add("loaded: open it for writing", "error 32", Did(f_.Open(module, OpenMode::Write) != nullptr));
    {
      std::string got = Did(f_.Create(module) != nullptr);
      Add("loaded: create (truncate) it", "error 32; module", got + "; " + Image(module));
    }
    {
      std::string got = Did(f_.Delete(module));
      Add("loaded: delete it", "error 5; module", got + "; " + Image(module));
    }
    {
      std::string got = Did(f_.Copy(P("source.txt"), module, false));
      Add("loaded: copy another file over it", "error 32; module", got + "; " + Image(module));
    }
    {
      std::string got = Did(f_.Copy(module, P("modcopy.ime"), false));
      Add("loaded: copy it", "ok; module", got + "; " + Image(P("modcopy.ime")));
    }
    {
      std::string got = Did(f_.MoveReplacing(P("source.txt"), module));
      Add("loaded: move replacing another file over it", "error 5; module", got + "; " + Image(module));
    }
    Add("loaded: open it for reading with backup semantics", "ok", Did(f_.CanOpenForReading(module)));
    {
      std::string got = Did(f_.Move(module, aside));
      got += "; old name " + std::string(Exists(module) ? "taken" : "free") + "; new name " + Image(aside);
      Add("loaded: move (rename) it", "ok; old name free; new name module", got);
    }
    {
      std::string got = Did(f_.Delete(aside));
      Add("loaded and moved: delete it under its new name", "error 5; module", got + "; " + Image(aside));
    }
    {
      std::string got = Did(f_.Copy(P("source.txt"), aside, false));
      Add("loaded and moved: copy another file over its new name", "error 32", got);
    }
    {
      std::string got = Did(f_.Copy(P("source.txt"), module, false));
      Add("loaded and moved: copy a new file to its old name", "ok; [new]", got + "; " + Bytes(module));
    }
    loaded.reset();
    Add("loaded, then unloaded: delete it", "ok", Did(f_.Delete(aside)));
  }

  // Registry results are the Win32 error numbers themselves.
  static std::string Code(long rc) { return rc == 0 ? "ok" : "error " + std::to_string(rc); }

  std::string Query(RegKey& key, const std::string& name, uint32_t maxBytes) {
    uint32_t type = 99;
    std::string data = "kept";
    long rc = key.QueryValue(name, maxBytes, &type, &data);
    std::string got = Code(rc) + "; type " + std::to_string(type);
    return got + "; " + (rc == 0 ? Hex(data) : data);
  }

  // Values read back: what RegSetValueEx stored and what RegQueryValueExA gives for a buffer.
  // One directory under two names, and the system's own folders. "yes"/"no" and the error after.
  void Directories() {
    auto same = [&](const std::string& a, const std::string& b) {
      bool result = f_.SameDirectory(a, b);
      return std::string(result ? "yes" : "no") + "; " + Error();
    };
    f_.MakeDirectory(P("one"));
    f_.MakeDirectory(P("two"));
    Write(P("file.txt"), "file");
    const std::string upper = platform::UpperAsciiCase(P("ONE\\"), platform::kCodePageAscii);
    Add("same directory: another letter case and a trailing backslash", "yes; error 0", same(P("one"), upper));
    Add("same directory: two directories", "no; error 0", same(P("one"), P("two")));
    Add("same directory: a file and itself", "no; error 0", same(P("file.txt"), P("file.txt")));
    Add("same directory: a missing one", "no; error 2", same(P("one"), P("none")));
    Add("same directory: one in a missing directory", "no; error 3", same(P("nodir\\none"), P("one")));
    {
      // Where Windows and Wine put them; on 64-bit Windows only ProgramW6432 and the 64-bit
      // registry view name this Program Files to a 32-bit program.
      const std::vector<std::string> folders = f_.SystemFolders();
      auto among = [&](const std::string& wanted) {
        for (const std::string& folder : folders) {
          if (f_.SameDirectory(folder, wanted)) return std::string("yes");
        }
        return std::string("no");
      };
      Add("the system's folders: the Windows directory among them", "yes", among(f_.WindowsDirectory()));
      Add("the system's folders: C:\\Program Files among them", "yes", among("C:\\Program Files"));
    }
  }

  void RegistryData() {
    std::unique_ptr<RegKey> software, key;
    long rc = r_.OpenKey(RegRoot::LocalMachine, "Software", platform::kKeyRead, &software);
    if (rc == 0) rc = software->CreateSubKey("TavoSeam", platform::kKeyAllAccess, &key);
    if (rc != 0) {
      Add("create HKLM\\Software\\TavoSeam", "ok", Code(rc));
      return;
    }
    // RegSetValueExA of a text (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) counts a terminating NUL the
    // caller left out when one follows the data in memory, which a std::string always has: the
    // NUL is stored and read back.
    key->SetValue("text", platform::kRegSz, "abcd");
    Add("text without its NUL: read back", "ok; type 1; 6162636400", Query(*key, "text", 200));
    Add("text without its NUL: buffer of the text's length", "error 234; type 1; kept", Query(*key, "text", 4));
    Add("text without its NUL: buffer of the text and a NUL", "ok; type 1; 6162636400", Query(*key, "text", 5));
    Add("text: buffer of 0 bytes", "error 234; type 1; kept", Query(*key, "text", 0));
    key->SetValue("textnul", platform::kRegSz, std::string("abc\0", 4));
    Add("text with its NUL: stored as given", "ok; type 1; 61626300", Query(*key, "textnul", 4));
    key->SetValue("expand", platform::kRegExpandSz, "%x%");
    Add("expandable text without its NUL: read back", "ok; type 2; 25782500", Query(*key, "expand", 200));
    key->SetValue("empty", platform::kRegSz, "");
    Add("empty text: nothing stored", "ok; type 1; (none)", Query(*key, "empty", 200));
    key->SetValue("number", platform::kRegDword, std::string("\x78\x56\x34\x12", 4));
    Add("number: buffer of 3", "error 234; type 4; kept", Query(*key, "number", 3));
    Add("number: buffer of 4", "ok; type 4; 78563412", Query(*key, "number", 4));
    key->SetValue("binary", platform::kRegBinary, "ab");
    Add("binary: stored as given, no NUL", "ok; type 3; 6162", Query(*key, "binary", 200));
    Add("a missing value", "error 2; type 0; kept", Query(*key, "none", 200));
    // RegSetValueExW does the same with a UTF-16 NUL after the data. The data are given with
    // more bytes after their end (a buffer that held a longer text): the stored value must not
    // depend on them.
    {
      std::string bytes(64, 'x');
      bytes.assign(platform::Utf16Bytes(u"Kelvo"));
      key->SetValueW(u"wide", platform::kRegSz, bytes);
      Add("text through the UTF-16 call, read through the ANSI call", "ok; type 1; 4b656c766f00",
          Query(*key, "wide", 200));
      key->SetValueW(u"wide2", platform::kRegSz, platform::Utf16Bytes(u"Kelvo"));
      Add("text through the UTF-16 call from a buffer of its own size", "ok; type 1; 4b656c766f00",
          Query(*key, "wide2", 200));
      key->SetValueW(u"widenul", platform::kRegSz, platform::Utf16Bytes(std::u16string(u"Kelvo\0", 6)));
      Add("text through the UTF-16 call with its NUL: stored as given", "ok; type 1; 4b656c766f00",
          Query(*key, "widenul", 200));
    }
    {
      std::unique_ptr<RegKey> missing;
      Add("open a missing key", "error 2",
          Code(r_.OpenKey(RegRoot::LocalMachine, "Software\\TavoSeamNone", platform::kKeyRead, &missing)));
      Add("open a key below a missing key", "error 2",
          Code(r_.OpenKey(RegRoot::LocalMachine, "Software\\TavoSeamNone\\Sub", platform::kKeyRead, &missing)));
      Add("open a missing subkey through a handle", "error 2",
          Code(key->OpenSubKey("none", platform::kKeyRead, &missing)));
    }
    {
      std::unique_ptr<RegKey> reader;
      long open = r_.OpenKey(RegRoot::LocalMachine, "Software\\TavoSeam", platform::kKeyRead, &reader);
      Add("set a value through a key opened for reading", "ok; error 5",
          Code(open) + "; " + (open == 0 ? Code(reader->SetValue("w", platform::kRegSz, "w")) : "-"));
      open = r_.OpenKey(RegRoot::LocalMachine, "Software\\TavoSeam", platform::kKeyRead | platform::kKeyWow64_32Key,
                        &reader);
      Add("set a value through a key opened for reading in the 32-bit view", "ok; error 5",
          Code(open) + "; " + (open == 0 ? Code(reader->SetValue("w", platform::kRegSz, "w")) : "-"));
    }
  }

  // Creates ROOT\PARENT\NAME through a handle to ROOT\PARENT opened for reading (as the setup
  // writes its keys), in the given view, and sets its value "v" to the text.
  std::string WriteInView(RegRoot root, const std::string& parent, const std::string& name, uint32_t view,
                          const std::string& text) {
    std::unique_ptr<RegKey> base, key;
    long rc = r_.OpenKey(root, parent, platform::kKeyRead | view, &base);
    if (rc == 0) rc = base->CreateSubKey(name, platform::kKeyAllAccess | view, &key);
    if (rc == 0) rc = key->SetValue("v", platform::kRegSz, text);
    return Code(rc);
  }

  // The text of value "v" of ROOT\PATH opened in the view: "ok TEXT" or the error.
  std::string ReadInView(RegRoot root, const std::string& path, uint32_t view) {
    std::unique_ptr<RegKey> key;
    long rc = r_.OpenKey(root, path, platform::kKeyRead | view, &key);
    if (rc != 0) return Code(rc);
    uint32_t type = 0;
    std::string data;
    rc = key->QueryValue("v", 200, &type, &data);
    if (rc != 0) return Code(rc);
    while (!data.empty() && data.back() == '\0') data.pop_back();
    return "ok " + data;
  }

  // The 32-bit and the 64-bit registry view. On 64-bit Windows this 32-bit program's HKLM\Software
  // is redirected to HKLM\Software\Wow6432Node unless it asks for the 64-bit view; HKLM\System and
  // HKCU\Software are shared by both views. On 32-bit Windows the flags are ignored.
  void RegistryViews() {
    const bool wow = m_.is64BitWindows;
    const uint32_t v32 = platform::kKeyWow64_32Key;
    const uint32_t v64 = platform::kKeyWow64_64Key;
    const RegRoot hklm = RegRoot::LocalMachine;
    Add("view: HKLM\\Software key written in the default view", "ok",
        WriteInView(hklm, "Software", "TavoSeamView32", 0, "32"));
    Add("view: HKLM\\Software key written in the 64-bit view", "ok",
        WriteInView(hklm, "Software", "TavoSeamView64", v64, "64"));
    Add("view: default-view key read in the default view", "ok 32", ReadInView(hklm, "Software\\TavoSeamView32", 0));
    Add("view: default-view key read in the 32-bit view", "ok 32", ReadInView(hklm, "Software\\TavoSeamView32", v32));
    Add("view: default-view key read in the 64-bit view", wow ? "error 2" : "ok 32",
        ReadInView(hklm, "Software\\TavoSeamView32", v64));
    Add("view: default-view key is under Wow6432Node in the 64-bit view", wow ? "ok 32" : "error 2",
        ReadInView(hklm, "Software\\Wow6432Node\\TavoSeamView32", v64));
    Add("view: 64-bit-view key read in the 64-bit view", "ok 64", ReadInView(hklm, "Software\\TavoSeamView64", v64));
    Add("view: 64-bit-view key read in the default view", wow ? "error 2" : "ok 64",
        ReadInView(hklm, "Software\\TavoSeamView64", 0));
    Add("view: 64-bit-view key read in the 32-bit view", wow ? "error 2" : "ok 64",
        ReadInView(hklm, "Software\\TavoSeamView64", v32));
    Add("view: HKLM\\System key written in the default view", "ok",
        WriteInView(hklm, "System", "TavoSeamShared", 0, "s"));
    Add("view: HKLM\\System key read in the 64-bit view (shared)", "ok s",
        ReadInView(hklm, "System\\TavoSeamShared", v64));
    Add("view: HKCU\\Software key written in the default view", "ok",
        WriteInView(RegRoot::CurrentUser, "Software", "TavoSeamShared", 0, "u"));
    Add("view: HKCU\\Software key read in the 64-bit view (shared)", "ok u",
        ReadInView(RegRoot::CurrentUser, "Software\\TavoSeamShared", v64));
  }

  Machine& m_;
  platform::Files& f_;
  platform::Registry& r_;
  std::vector<Row> rows_;
};

}  // namespace

std::vector<Row> RunTable(Machine& machine) { return Table(machine).Run(); }

std::vector<Row> Disagreements(const std::vector<Row>& rows) {
  std::vector<Row> failed;
  for (const auto& row : rows) {
    if (!row.Passed()) failed.push_back(row);
  }
  return failed;
}

}  // namespace seam
