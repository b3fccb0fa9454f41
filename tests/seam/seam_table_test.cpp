// The seam table against the fake platform: a 32-bit and a 64-bit Windows machine.
#include "tests/seam/seam_table.h"

#include <gtest/gtest.h>

#include <functional>

#include "platform/fake/fake_platform.h"

namespace {

using platform::fake::FakeFiles;
using platform::fake::FakePlatform;

class FakeHolding : public seam::Holding {
 public:
  explicit FakeHolding(std::function<void()> release) : release_(std::move(release)) {}
  ~FakeHolding() override { release_(); }

 private:
  std::function<void()> release_;
};

// Knobs of the fake for what another program or the system does to a file.
class FakeHooks : public seam::Hooks {
 public:
  explicit FakeHooks(FakeFiles& files) : files_(files) {}

  bool PlaceModule(const std::string& path) override {
    files_.AddFile(path, "MZ stand-in module");
    return true;
  }
  std::unique_ptr<seam::Holding> HoldOpen(const std::string& path) override {
    int handle = files_.HoldOpen(path);
    if (!handle) return nullptr;
    return std::make_unique<FakeHolding>([this, handle] { files_.LetGo(handle); });
  }
  std::unique_ptr<seam::Holding> LoadModule(const std::string& path) override {
    int module = files_.LoadModule(path);
    if (!module) return nullptr;
    return std::make_unique<FakeHolding>([this, module] { files_.Unload(module); });
  }

 private:
  FakeFiles& files_;
};

std::string Describe(const std::vector<seam::Row>& rows) {
  std::string text;
  for (const auto& row : rows) text += row.name + ": expected [" + row.expected + "], got [" + row.got + "]\n";
  return text;
}

void RunOn(bool is64) {
  FakePlatform fake;
  fake.SetWindows(6, is64);
  fake.files.AddDirectory("c:\\seam");
  FakeHooks hooks(fake.files);
  seam::Machine machine{fake.files, fake.registry, hooks, "c:\\seam", is64};
  auto rows = seam::RunTable(machine);
  EXPECT_GE(rows.size(), 80u);
  auto failed = seam::Disagreements(rows);
  EXPECT_TRUE(failed.empty()) << failed.size() << " of " << rows.size() << " rows disagree with Windows:\n"
                              << Describe(failed);
  for (const auto& row : rows) EXPECT_EQ(row.skipped, "") << row.name;
}

TEST(SeamTable, TheFakeAgreesWithWindowsOn32BitWindows) { RunOn(false); }
TEST(SeamTable, TheFakeAgreesWithWindowsOn64BitWindows) { RunOn(true); }

}  // namespace
