#include "flow/install_check.h"

#include <gtest/gtest.h>

#include <functional>

#include "archive/texts.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "tests/support/encoding.h"

namespace {

using platform::fake::FakePlatform;
using testing_support::Encode;

constexpr uint32_t kAttrCompressed = 0x800;
constexpr uint32_t kAttrNotIndexed = 0x2000;

// An install directory with `count` countable files besides the libraries and the module.
struct CheckMachine {
  explicit CheckMachine(int others = 70) {
    s.InstallDir = "c:\\tavohu\\";
    fake.files.AddDirectory("c:\\tavohu");
    fake.files.AddDirectory("c:\\tavohu\\filer");
    fake.files.AddFile("c:\\tavohu\\tavocyzk.tv1", std::string(40, 'w'));
    fake.files.AddFile("c:\\tavohu\\tavopyck.tv1", std::string(40, 'p'));
    fake.files.AddFile("c:\\tavohu\\tavohu4.ime", std::string(40, 'm'));
    for (int i = 0; i < others; ++i) fake.files.AddFile("c:\\tavohu\\f" + std::to_string(i) + ".dat", "x");
  }
  FakePlatform fake;
  core::SetupState s{fake.os()};
};

std::string Report(const char* reason) {
  return Encode("Tavo汉字输入系统7.1版安装情况报告。", "GBK") + "\r\n\r\n" + Encode("安装出现错误！错误为：", "GBK") +
         Encode(reason, "GBK") + "\r\n\r\n" + Encode("请到主页", "GBK") + archive::text::kHomePage +
         Encode("重新下载安装！并解除杀毒软件对安装过程的拦截！", "GBK") + "\r\n\r\n";
}

TEST(InstallCheck, TheChainStopsAtTheFirstFault) {
  struct Case {
    const char* what;
    int others;
    std::function<void(CheckMachine&)> change;
    const char* reason;  // null: passes
  };
  const Case cases[] = {
      {"complete", 71, [](CheckMachine&) {}, nullptr},
      {"missing directory", 71, [](CheckMachine& b) { b.s.InstallDir = "c:\\nowhere\\"; }, "检测不到安装路径！"},
      // The directory bit is what counts: hidden, read-only, compressed or not-indexed folders
      // hold an install as well.
      {"hidden, read-only, archive directory", 71,
       [](CheckMachine& b) {
         b.fake.files.SetAttributes("c:\\tavohu",
                                    platform::kAttrHidden | platform::kAttrReadOnly | platform::kAttrArchive);
       },
       nullptr},
      {"compressed, not-indexed directory", 71,
       [](CheckMachine& b) { b.fake.files.SetAttributes("c:\\tavohu", kAttrCompressed | kAttrNotIndexed); }, nullptr},
      {"73 files", 70, [](CheckMachine&) {}, "文件不完整！"},
      {"Wubi library only as .tvu", 71,
       [](CheckMachine& b) { b.fake.files.Move("c:\\tavohu\\tavocyzk.tv1", "c:\\tavohu\\tavocyzk.tvu"); }, nullptr},
      {"Wubi library shorter than 20 bytes", 71,
       [](CheckMachine& b) { b.fake.files.AddFile("c:\\tavohu\\tavocyzk.tv1", "short"); }, "无五笔词库文件！"},
      {"no Pinyin library", 71,
       [](CheckMachine& b) {
         b.fake.files.Delete("c:\\tavohu\\tavopyck.tv1");
         b.fake.files.AddFile("c:\\tavohu\\extra.dat", "x");
       },
       "无拼音词库文件！"},
      {"module only in the system directory", 71,
       [](CheckMachine& b) {
         b.fake.files.Move("c:\\tavohu\\tavohu4.ime", "c:\\windows\\system32\\tavohu4.ime");
         b.fake.files.AddFile("c:\\tavohu\\extra.dat", "x");
       },
       "缺少文件！"},
  };
  for (const auto& c : cases) {
    CheckMachine bench(c.others);
    c.change(bench);
    EXPECT_EQ(flow::VerifyInstallation(bench.s), c.reason == nullptr) << c.what;
    if (!c.reason) {
      EXPECT_TRUE(bench.fake.dialogs.shown.empty()) << c.what;
      continue;
    }
    ASSERT_EQ(bench.fake.dialogs.shown.size(), 1u) << c.what;
    const auto& box = bench.fake.dialogs.shown[0];
    EXPECT_FALSE(box.wide);
    EXPECT_EQ(box.caption, "Tavo7.1");
    EXPECT_EQ(box.text, Report(c.reason)) << c.what;
  }
}

TEST(InstallCheck, ScanCountsByClassAndSkipsDirectories) {
  CheckMachine bench(0);
  bench.fake.files.AddFile("c:\\tavohu\\notes.TXT.bak", "t");
  bench.fake.files.AddFile("c:\\tavohu\\a.tvh", "t");
  bench.fake.files.AddDirectory("c:\\tavohu\\sub.txt");
  flow::ScanResult scan = flow::ScanDataFiles(bench.s);
  EXPECT_TRUE(scan.Passes());
  EXPECT_EQ(scan.textFiles, 1);
  EXPECT_EQ(scan.tableFiles, 1);
  EXPECT_EQ(scan.otherFiles, 3);
  EXPECT_EQ(bench.fake.files.CurrentDirectory(), "c:\\tavohu\\");

  CheckMachine missing(0);
  missing.s.InstallDir = "c:\\nowhere";
  flow::ScanResult none = flow::ScanDataFiles(missing.s);
  EXPECT_FALSE(none.listed || none.enterable || none.directory);
  EXPECT_EQ(missing.s.InstallDir, "c:\\nowhere");  // the scan only reads the directory
}

// The directory step for each set of attributes of the install directory: the directory bit is enough.
TEST(InstallCheck, AnyDirectoryAttributesPassTheDirectoryStep) {
  const uint32_t attributes[] = {0,
                                 platform::kAttrHidden,
                                 platform::kAttrReadOnly,
                                 platform::kAttrSystem,
                                 platform::kAttrArchive,
                                 kAttrCompressed,
                                 kAttrNotIndexed,
                                 platform::kAttrHidden | platform::kAttrSystem | kAttrNotIndexed};
  for (uint32_t extra : attributes) {
    CheckMachine bench(0);
    bench.fake.files.SetAttributes("c:\\tavohu", extra);
    EXPECT_TRUE(flow::ScanDataFiles(bench.s).Passes()) << extra;
  }
}

// The backslash goes after the last character: "c:\\許" (Big5 B3 5C) is listed as "c:\\許\\*.*".
TEST(InstallCheck, ScanAddsTheBackslashAfterADoubleByteCharacter) {
  const std::string dir = "c:\\" + Encode("許", "BIG5");
  CheckMachine bench(0);
  bench.fake.files.AddFile(dir + "\\a.txt", "x");
  bench.s.AnsiCodePage = 950;
  bench.s.InstallDir = dir;
  flow::ScanResult scan = flow::ScanDataFiles(bench.s);
  EXPECT_EQ(bench.s.InstallDir, dir);
  EXPECT_TRUE(scan.Passes());
  EXPECT_EQ(scan.textFiles, 1);
}

TEST(InstallCheck, CountsDoNotWrapAt256) {
  CheckMachine bench(300);
  flow::ScanResult scan = flow::ScanDataFiles(bench.s);
  EXPECT_EQ(scan.otherFiles, 303);
  EXPECT_TRUE(flow::VerifyInstallation(bench.s));
}

TEST(InstallCheck, ProbeFileResults) {
  CheckMachine bench(0);
  bench.fake.files.AddFile("c:\\tavohu\\five.dat", "12345");
  EXPECT_TRUE(flow::ProbeFile(bench.s, "tavohu4.ime"));
  EXPECT_FALSE(flow::ProbeFile(bench.s, "missing.dat"));
  EXPECT_FALSE(flow::ProbeFile(bench.s, "five.dat"));
}

TEST(InstallCheck, NoReportBufferMeansNoCheck) {
  CheckMachine bench(0);
  bench.fake.resources.failAllocation = true;
  EXPECT_TRUE(flow::VerifyInstallation(bench.s));
  EXPECT_TRUE(bench.fake.dialogs.shown.empty());
  bench.fake.resources.failAllocation = false;
  EXPECT_FALSE(flow::VerifyInstallation(bench.s, false));  // silent: the fault without a box
  EXPECT_TRUE(bench.fake.dialogs.shown.empty());
}

}  // namespace
