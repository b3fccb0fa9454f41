#include "flow/setup_main.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "archive/archive_writer.h"
#include "core/path_format.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/archive_fixture.h"
#include "tests/support/encoding.h"

namespace {

using platform::fake::FakePlatform;
using testing_support::Encode;

constexpr char kUninstall[] = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\tavoqwb";

// A 64-bit Windows 7 machine with drives c: and d: and a complete product in its resources.
struct Machine {
  explicit Machine(bool is64 = true) {
    fake.SetWindows(6, is64);
    fake.files.SetDriveType('d', platform::kDriveFixed);
    fake.files.AddDirectory("d:");
    std::vector<archive::NamedContent> files = testing_support::CompleteProductFiles();
    files[0].bytes = std::string(3000, 'm');  // the modules alone take more than a KiB
    fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie(files);
  }
  int Run(const std::string& line) { return flow::SetupMain(fake.os(), line, platform::kSwShow); }
  std::vector<std::string> LogLines(const std::string& path) const {
    std::vector<std::string> lines;
    std::string all = fake.files.Contents(path);
    for (size_t at = 0; at < all.size();) {
      size_t end = all.find("\r\n", at);
      if (end == std::string::npos) {
        ADD_FAILURE() << "a line without CR LF: " << all.substr(at);
        break;
      }
      lines.push_back(all.substr(at, end - at));
      at = end + 2;
    }
    return lines;
  }
  bool Logged(const std::string& path, const std::string& line) const {
    for (const std::string& l : LogLines(path))
      if (l == line) return true;
    return false;
  }
  FakePlatform fake;
};

TEST(Deployment, SilentInstallIntoTheDirectoryAfterDWithALog) {
  Machine m;
  const std::string dir = Encode("d:\\我的 输入法", "GBK");
  const std::string utf8Dir = "d:\\我的 输入法\\";
  EXPECT_EQ(m.Run("settvsrf32 /LOG=C:\\deploy.log /D=" + dir), flow::kExitInstalled);
  EXPECT_TRUE(m.fake.files.HasFile(dir + "\\tavokelv.exe"));
  EXPECT_FALSE(m.fake.files.HasDirectory("c:\\tavohu\\t0.tvh"));
  // Recorded like a chosen directory.
  EXPECT_EQ(m.fake.files.Contents("C:\\windows\\tavopath.tvh"), dir + "\\");
  EXPECT_EQ(m.fake.registry.Value("HKLM\\Software\\tavowb", "path").data, dir + "\\");
  EXPECT_TRUE(m.fake.dialogs.shown.empty());

  const std::string log = "C:\\deploy.log";
  std::vector<std::string> lines = m.LogLines(log);
  ASSERT_GE(lines.size(), 10u);
  EXPECT_EQ(lines.front(), "administrator test (write and read back the path stores): ok");
  EXPECT_EQ(lines.back(), "exit code 0");
  for (const std::string& line : std::vector<std::string>{
           "road: silent",
           "install directory from /D= " + utf8Dir.substr(0, utf8Dir.size() - 1) + ": ok",
           "record the install directory in path file C:\\windows\\tavopath.tvh: ok",
           "record the install directory in registry value HKLM\\Software\\tavowb\\path = " + utf8Dir + ": ok",
           "unpack the payload into " + utf8Dir + ": ok",
           "place the payload's tavo640.ime (stamped) -> C:\\windows\\sysnative\\tavohu4.ime: ok",
           "place the payload's tavokel6.exe -> " + utf8Dir + "tavokelv.exe: ok",
           "uninstall entry value InstallLocation = " + utf8Dir + ": ok",
           "uninstall entry value DisplayIcon = " + utf8Dir + "tavokelv.exe: ok",
           "start \"" + utf8Dir + "setupw64.exe\" regtv32=" + utf8Dir + ": ok",
           std::string("installation check: ok"),
       }) {
    EXPECT_TRUE(m.Logged(log, line)) << line;
  }
}

// Over an earlier install, /D= keeps the user's data whether it spells the directory with its
// backslash or without: the backup, the web addresses and the unpack join names to it.
TEST(Deployment, AReinstallAfterDKeepsTheUsersDataWithOrWithoutTheBackslash) {
  std::vector<archive::NamedContent> files = testing_support::CompleteProductFiles();
  files.push_back({"userck.txt", "shipped phrases"});
  for (const char* dir : {"d:\\tavo", "d:\\tavo\\"}) {
    Machine m;
    m.fake.resources.images["TVZ/KELVTVZ"] = testing_support::PackOrDie(files);
    ASSERT_EQ(m.Run("settvsrf32 /D=d:\\tavo\\"), flow::kExitInstalled);
    m.fake.files.AddFile("d:\\tavo\\userck.txt", "the user's own phrases");
    const std::string addresses = m.fake.files.Contents("d:\\tavo\\tvnetsj.dat");
    ASSERT_EQ(m.Run(std::string("settvsrf32 /LOG=C:\\deploy.log /D=") + dir), flow::kExitInstalled) << dir;
    EXPECT_EQ(m.fake.files.Contents("d:\\tavo\\userck.txt"), "the user's own phrases") << dir;
    EXPECT_EQ(m.fake.files.Contents("d:\\tavo\\tvnetsj.dat"), addresses) << dir;
    EXPECT_FALSE(m.fake.files.HasFile("d:\\tavotavoback.tvz")) << dir;
    EXPECT_EQ(m.fake.files.Contents("C:\\windows\\tavopath.tvh"), "d:\\tavo\\") << dir;
    EXPECT_TRUE(m.Logged("C:\\deploy.log", std::string("install directory from /D= ") + dir + ": ok")) << dir;
  }
}

// Any user can put links in the install directory under the names the setup writes: hard links to
// a file of someone else's, a symbolic link. The elevated setup removes each link (never the file
// it names) and writes a file of its own: the other file keeps its bytes and attributes.
TEST(Deployment, LinksInTheInstallDirectoryAreNeverWrittenThrough) {
  const std::vector<std::string> names = {"tavohu32.ime", "tavocyzk.tvu", "tavopyck.tvu", "tavokelv.exe",
                                          "tvszsj43.tvh", "tvnetsj.dat",  "wbpybz.tvh",   "tavoback.tvz",
                                          "tavocyzk.tv1", "setupw64.exe", "deploy.log",   "tavohu32.new"};
  const uint32_t victimAttributes = platform::kAttrHidden | platform::kAttrSystem;
  Machine m;
  ASSERT_EQ(m.Run("settvsrf32"), flow::kExitInstalled);
  m.fake.files.AddFile("d:\\tavohu\\tavocyzk.tvh", "the user's words");  // so that a backup is made
  for (const std::string& name : names) {
    const std::string victim = "c:\\victims\\" + name;
    m.fake.files.AddFile(victim, "someone else's " + name, victimAttributes);
    m.fake.files.AddHardLink(victim, "d:\\tavohu\\" + name);
  }
  // A symbolic link the fake models by its attribute alone: it must go as a link.
  m.fake.files.AddFile("d:\\tavohu\\tavopyck.tv1", "a link", platform::kAttrArchive | platform::kAttrReparsePoint);
  // (This small product's earlier install lacks files the backup requires: the user's data are left
  // as they are, and the settings record, which is theirs, is not written at all.)
  m.Run("settvsrf32 /LOG=d:\\tavohu\\deploy.log");
  for (const std::string& name : names) {
    const std::string victim = "c:\\victims\\" + name;
    EXPECT_EQ(m.fake.files.Contents(victim), "someone else's " + name);
    EXPECT_EQ(m.fake.files.GetAttributes(victim), victimAttributes) << name;
    if (name != "tvszsj43.tvh") {
      EXPECT_LE(m.fake.files.LinkCount("d:\\tavohu\\" + name), 1u) << name;
    }
  }
  EXPECT_EQ(m.fake.files.GetAttributes("d:\\tavohu\\tavopyck.tv1") & platform::kAttrReparsePoint, 0u);
  EXPECT_EQ(m.fake.files.Contents("d:\\tavohu\\tavokelv.exe"), m.fake.files.Contents("d:\\tavohu\\tavokel6.exe"));
  EXPECT_EQ(m.LogLines("d:\\tavohu\\deploy.log").back().rfind("exit code ", 0), 0u);
  for (const auto& l : m.LogLines("d:\\tavohu\\deploy.log")) printf("%s\n", l.c_str());
}

// A junction planted as the install directory would send every write of the elevated setup to
// the folder it points to. /D= refuses it as it refuses a malformed path, a store naming it is
// passed over, and one put in place of the default directory gets nothing written through it.
TEST(Deployment, AJunctionIsNeverTheInstallDirectory) {
  const uint32_t junction = platform::kAttrDirectory | platform::kAttrReparsePoint;
  {
    Machine m;
    m.fake.files.AddDirectory("d:\\elsewhere", junction);
    EXPECT_EQ(m.Run("settvsrf32 /D=d:\\elsewhere"), flow::kExitBadTargetDir);
    EXPECT_TRUE(m.fake.registry.Writes().empty());
  }
  {
    Machine m;
    m.fake.files.AddDirectory("d:\\elsewhere", junction);
    m.fake.files.AddFile("C:\\windows\\tavopath.tvh", "d:\\elsewhere\\");
    EXPECT_EQ(m.Run("settvsrf32"), flow::kExitInstalled);
    EXPECT_TRUE(m.fake.files.HasFile("d:\\tavohu\\tavokelv.exe"));
    EXPECT_FALSE(m.fake.files.HasFile("d:\\elsewhere\\tavokelv.exe"));
  }
  {
    Machine m;
    m.fake.files.AddDirectory("d:\\tavohu", junction);
    std::vector<std::string> before = m.fake.files.AllFiles();
    EXPECT_EQ(m.Run("settvsrf32"), flow::kExitUnpackIncomplete);
    for (const std::string& file : m.fake.files.AllFiles()) {
      EXPECT_NE(file.rfind("d:\\tavohu\\", 0), 0u) << file;
    }
  }
}

TEST(Deployment, ABadDirectoryAfterDChangesNothing) {
  const std::string gbkLead = Encode("我", "GBK").substr(0, 1);
  const std::string tooLong = "d:\\" + std::string(197, 'a');  // 200 with the backslash added
  const std::string justFits = "d:\\" + std::string(195, 'a');
  ASSERT_EQ(justFits.size() + 1, core::kMaxPathChars);
  const struct {
    std::string dir;
    bool refused;
  } cases[] = {
      {"", true},
      {"tavo", true},
      {"d:\\", true},
      {"d:\\a\\b", true},
      {"d:\\a|b", true},
      {"d:\\tavo ", true},
      {"d:\\tavo.", true},
      {"\"d:\\tavo\"", true},
      {"d:\\" + gbkLead, true},
      {tooLong, true},
      {justFits, false},
      {"d:\\tavo\\", false},
      {"d:\\my tavo", false},
      // The system's folders, as Windows spells them or otherwise (the machine is 64-bit Windows 7).
      {"c:\\windows", true},
      {"C:\\WINDOWS\\", true},
      {"c:\\Windows\\", true},
      {"c:\\Program Files", true},
      {"c:\\PROGRA~1\\", true},
      {"c:\\Program Files (x86)", true},
      {"c:\\ProgramData\\", true},
      {"c:\\users", true},
      {"c:\\Documents and Settings", true},
      {"c:\\windows2", false},
      {"d:\\Program Files", false},
  };
  for (const auto& c : cases) {
    Machine m;
    Machine before;
    int code = m.Run("settvsrf32 /LOG=C:\\deploy.log /D=" + c.dir);
    if (!c.refused) {
      // Taken and recorded; a directory that leaves no room for the file names fails later, as
      // the same directory typed on the directory page would.
      EXPECT_NE(code, flow::kExitBadTargetDir) << c.dir;
      std::string recorded = c.dir.back() == '\\' ? c.dir : c.dir + "\\";
      EXPECT_EQ(m.fake.files.Contents("C:\\windows\\tavopath.tvh"), recorded) << c.dir;
      continue;
    }
    EXPECT_EQ(code, flow::kExitBadTargetDir) << c.dir;
    EXPECT_TRUE(m.fake.registry.Writes().empty()) << c.dir;
    std::vector<std::string> files = m.fake.files.AllFiles();
    std::vector<std::string> logOnly = before.fake.files.AllFiles();
    logOnly.push_back("c:\\deploy.log");
    std::sort(logOnly.begin(), logOnly.end());
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, logOnly) << c.dir;
    EXPECT_TRUE(m.fake.dialogs.shown.empty()) << c.dir;
    std::vector<std::string> lines = m.LogLines("C:\\deploy.log");
    EXPECT_EQ(lines.back(), "exit code 7") << c.dir;
  }
}

// Any user may write the path file in the default directory; the setup runs as administrator. A
// store naming a folder of the system is passed over like any store without an installable
// directory, and the product goes where it would go without it.
TEST(Deployment, AStoreNamingASystemFolderSendsNothingThere) {
  const struct {
    const char* name;
    bool windowsOnD;
    const char* stored;  // in the path file of the default directory, d:\tavohu
    const char* installedInto;
  } cases[] = {
      {"the Windows directory", false, "c:\\windows\\", "d:\\tavohu\\"},
      {"the Windows directory, in capitals and without its backslash", false, "C:\\WINDOWS", "d:\\tavohu\\"},
      {"Program Files by its short name", false, "c:\\PROGRA~1\\", "d:\\tavohu\\"},
      {"the 32-bit Program Files", false, "c:\\Program Files (x86)\\", "d:\\tavohu\\"},
      {"the profiles folder", false, "c:\\Users\\", "d:\\tavohu\\"},
      {"Windows on d:", true, "d:\\winnt\\", "d:\\tavohu\\"},
      // There c:\windows is nobody's: a folder like any other.
      {"c:\\windows beside a Windows on d:", true, "c:\\windows\\", "c:\\windows\\"},
      {"an ordinary folder", false, "c:\\mine\\", "c:\\mine\\"},
  };
  for (const auto& c : cases) {
    Machine m;
    if (c.windowsOnD) {
      m.fake.files.SetWindowsDirectory("D:\\WINNT");
      m.fake.SetWindows(6, true);
    }
    m.fake.files.AddFile("d:\\tavohu\\tavopath.tvh", c.stored);
    EXPECT_EQ(m.Run("settvsrf32"), flow::kExitInstalled) << c.name;
    EXPECT_TRUE(m.fake.files.HasFile(std::string(c.installedInto) + "tavokelv.exe")) << c.name;
    const std::string windows = m.fake.files.WindowsDirectory();
    EXPECT_EQ(m.fake.files.Contents(windows + "\\tavopath.tvh"), c.installedInto) << c.name;
    for (const std::string& folder : m.fake.files.SystemFolders()) {
      EXPECT_FALSE(m.fake.files.HasFile(folder + "\\tavokelv.exe")) << c.name << ": " << folder;
      EXPECT_FALSE(m.fake.files.HasFile(folder + "\\kelv1.bmp")) << c.name << ": " << folder;
    }
    // The integrity level lowered is that of the install directory, no folder of the system's.
    std::string lowered;
    for (const auto& started : m.fake.processes.started) {
      if (started.commandLine.find("icacls") != std::string::npos) lowered = started.commandLine;
    }
    const std::string quoted = "\"" + core::WithoutTrailingBackslashes(c.installedInto, 936) + "\"";
    EXPECT_NE(lowered.find(quoted), std::string::npos) << c.name << ": " << lowered;
  }
}

// /D= is judged by the folders the system names, wherever they lie: with Windows on d:, its
// directory there is refused and c:\windows is a folder like any other.
TEST(Deployment, DNamingTheWindowsDirectoryWhereverItIsIsRefused) {
  const struct {
    const char* dir;
    bool refused;
  } cases[] = {{"d:\\winnt", true}, {"D:\\WinNT\\", true},  {"d:\\Program Files\\", true},
               {"d:\\users", true}, {"c:\\windows", false}, {"d:\\tavo", false}};
  for (const auto& c : cases) {
    Machine m;
    m.fake.files.SetWindowsDirectory("D:\\WINNT");
    m.fake.SetWindows(6, true);
    int code = m.Run(std::string("settvsrf32 /D=") + c.dir);
    EXPECT_EQ(code == flow::kExitBadTargetDir, c.refused) << c.dir << ": exit code " << code;
    EXPECT_EQ(m.fake.files.HasFile(core::WithTrailingBackslash(c.dir, 936) + "tavokelv.exe"), !c.refused) << c.dir;
  }
}

TEST(Deployment, TargetDirAndSuppressionBelongToTheSilentRoadOnly) {
  // The switches inside the directory start no other road; without settvsrf32 /D= is not judged.
  Machine registration;
  EXPECT_EQ(registration.Run("settvsrf32 /D=C:\\regtv32x"), flow::kExitInstalled);
  EXPECT_TRUE(registration.fake.files.HasFile("C:\\regtv32x\\tavokelv.exe"));

  Machine silentAfter;
  EXPECT_EQ(silentAfter.Run("/D=C:\\settvsrf32"), 0);
  EXPECT_FALSE(silentAfter.fake.files.HasDirectory("C:\\settvsrf32"));
}

TEST(Deployment, ExitCodesWithoutAdministratorRights) {
  const struct {
    std::string line;
    int code;
    size_t boxes;
  } cases[] = {
      {"settvsrf32", flow::kExitNoAdminRights, 1},
      {"settvsrf32 /SUPPRESSMSGBOXES", flow::kExitNoAdminRights, 0},
      {"", 0, 1},
      {"regtv32=C:\\tavohu7", 0, 1},
      {"/SUPPRESSMSGBOXES", 0, 1},  // suppression needs the silent road
  };
  for (const auto& c : cases) {
    Machine m;
    m.fake.DropAdminRights();
    EXPECT_EQ(m.Run(c.line + " /LOG=C:\\deploy.log"), c.code) << c.line;
    EXPECT_EQ(m.fake.dialogs.shown.size(), c.boxes) << c.line;
    std::vector<std::string> lines = m.LogLines("C:\\deploy.log");
    ASSERT_EQ(lines.size(), 3u) << c.line;
    EXPECT_EQ(lines[0], "administrator test (write and read back the path stores): failed");
    EXPECT_EQ(lines[1].rfind(c.boxes ? "message box [Tavo] " : "message box suppressed [Tavo] ", 0), 0u);
    EXPECT_EQ(lines[2], "exit code " + std::to_string(c.code));
  }
}

TEST(Deployment, SuppressedFailureIsLoggedAndReportedByTheExitCode) {
  for (bool suppress : {false, true}) {
    Machine m;
    m.fake.files.DenyWrites("c:\\windows\\syswow64");
    std::string line = std::string("settvsrf32 /LOG=C:\\deploy.log") + (suppress ? " /SUPPRESSMSGBOXES" : "");
    EXPECT_EQ(m.Run(line), flow::kExitCopyFailed);
    EXPECT_EQ(m.fake.dialogs.shown.empty(), suppress);
    EXPECT_TRUE(m.Logged("C:\\deploy.log",
                         "place the payload's tavo320.ime (stamped) -> C:\\windows\\syswow64\\tavohu4.ime: failed"));
    std::string box = suppress ? "message box suppressed [Tavo(Kelvo)安装] " : "message box [Tavo(Kelvo)安装] ";
    bool found = false;
    for (const std::string& l : m.LogLines("C:\\deploy.log"))
      found = found || (l.rfind(box, 0) == 0 && l.find("syswow64\\tavohu4.ime") != std::string::npos);
    EXPECT_TRUE(found) << suppress;
    EXPECT_EQ(m.LogLines("C:\\deploy.log").back(), "exit code 5");
  }
}

TEST(Deployment, WithoutTheNewSwitchesNoLogIsWritten) {
  Machine withLog, without;
  EXPECT_EQ(withLog.Run("settvsrf32 /LOG=C:\\deploy.log"), flow::kExitInstalled);
  EXPECT_EQ(without.Run("settvsrf32"), flow::kExitInstalled);
  std::vector<std::string> a = withLog.fake.files.AllFiles(), b = without.fake.files.AllFiles();
  a.erase(std::remove(a.begin(), a.end(), "c:\\deploy.log"), a.end());
  EXPECT_EQ(a, b);
  // An unwritable log stops nothing.
  Machine unwritable;
  EXPECT_EQ(unwritable.Run("settvsrf32 /LOG=Q:\\no\\deploy.log"), flow::kExitInstalled);
  EXPECT_EQ(unwritable.fake.files.AllFiles(), b);
}

TEST(Deployment, TheUninstallEntryIsComplete) {
  for (bool is64 : {false, true}) {
    Machine m(is64);
    ASSERT_EQ(m.Run("settvsrf32"), flow::kExitInstalled);
    auto text = [&](const char* name) { return m.fake.registry.Value(kUninstall, name); };
    EXPECT_EQ(text("DisplayVersion").type, platform::kRegSz);
    EXPECT_EQ(text("DisplayVersion").data, platform::Utf16Bytes(u"7.1"));
    EXPECT_EQ(text("InstallLocation").type, platform::kRegSz);
    EXPECT_EQ(text("InstallLocation").data, platform::Utf16Bytes(u"d:\\tavohu\\"));
    EXPECT_EQ(text("DisplayIcon").data, platform::Utf16Bytes(u"d:\\tavohu\\tavokelv.exe"));
    EXPECT_EQ(text("DisplayName").data, platform::Utf16Bytes(u"Kelvo"));
    for (const char* name : {"NoModify", "NoRepair"}) {
      EXPECT_EQ(text(name).type, platform::kRegDword);
      EXPECT_EQ(text(name).data, std::string("\x01\0\0\0", 4));
    }
    // Every file below the install directory and in the system directories, rounded up once.
    uint64_t bytes = 0;
    for (const std::string& f : m.fake.files.AllFiles()) {
      bool mine = f.rfind("d:\\tavohu\\", 0) == 0 || f.find("\\tavohu4.ime") != std::string::npos ||
                  f.find("\\tavodel.exe") != std::string::npos;
      if (mine) bytes += m.fake.files.Contents(f).size();
    }
    uint32_t kib = static_cast<uint32_t>((bytes + 1023) / 1024);
    EXPECT_GT(kib, 3u);
    EXPECT_EQ(text("EstimatedSize").type, platform::kRegDword);
    EXPECT_EQ(text("EstimatedSize").data, std::string(reinterpret_cast<const char*>(&kib), 4)) << is64;
  }
}

}  // namespace
