#include "system/ime_registration.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "system/texts.h"
#include "tests/support/encoding.h"

namespace {

using platform::fake::FakePlatform;
using testing_support::Encode;

constexpr char kLayouts[] = "HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr char kPreload[] = "HKCU\\Keyboard Layout\\Preload";

class Registration : public ::testing::Test {
 protected:
  void Layout(const std::string& id, const char* text) {
    fake.registry.AddKey(std::string(kLayouts) + "\\" + id);
    if (text) fake.registry.SetValue(std::string(kLayouts) + "\\" + id, "layout text", platform::kRegSz, text);
  }
  void Preload(int k, const std::string& id) {
    fake.registry.SetValue(kPreload, std::to_string(k), platform::kRegSz, id);
  }
  std::string Value(const std::string& key, const std::string& name) { return fake.registry.Value(key, name).data; }
  std::vector<std::string> ImeKeys() {
    std::vector<std::string> keys;
    for (const auto& name : fake.registry.SubKeys(kLayouts)) {
      if (fake.registry.HasValue(std::string(kLayouts) + "\\" + name, "IME file")) keys.push_back(name);
    }
    return keys;
  }

  FakePlatform fake;
  app::SetupState s{fake.os()};
};

TEST_F(Registration, InstallImeModuleHandsTheSystemModuleToTheImm) {
  EXPECT_TRUE(sys::InstallImeModule(s));
  ASSERT_EQ(fake.ime.installs.size(), 1u);
  EXPECT_EQ(fake.ime.installs[0].file, u"C:\\windows\\system32\\tavohu4.ime");
  EXPECT_EQ(fake.ime.installs[0].description, u"Tavo输入平台  7.1");
  fake.ime.installResult = 0;
  EXPECT_FALSE(sys::InstallImeModule(s));
  EXPECT_EQ(s.ImeLayoutHandle, 0u);
}

TEST_F(Registration, NewLayoutIdentifierFollowsTheLargestName) {
  struct Case {
    std::vector<const char*> existing;
    uint32_t codePage;
    const char* expected;
  };
  const Case cases[] = {
      {{"E0200804"}, 936, "E0210804"},
      {{"00000804", "00000409"}, 936, "E0010804"},
      {{"00000804", "00000409"}, 950, "E0010404"},
      {{"E0220412", "E0200804"}, 936, "E0230804"},
      {{"E0210804", "e0200804"}, 936, "E0220804"},
      {{"E0200804", "xyz"}, 936, "E0210804"},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    for (const char* id : c.existing) {
      machine.registry.SetValue(std::string(kLayouts) + "\\" + id, "layout text", platform::kRegSz, "Other IME");
    }
    // A larger name without a readable layout text takes no part.
    machine.registry.AddKey(std::string(kLayouts) + "\\F0000804");
    machine.system.oemCodePage = c.codePage;
    app::SetupState state(machine.os());
    state.OemCodePage = c.codePage;
    ASSERT_TRUE(sys::RegisterKeyboardLayout(state)) << c.expected;
    EXPECT_TRUE(machine.registry.HasValue(std::string(kLayouts) + "\\" + c.expected, "IME file")) << c.expected;
  }
}

TEST_F(Registration, FallbackWritesTheLayoutKeyAndAppendsToThePreloadList) {
  Layout("E0200804", "Some other IME");
  Layout("00000804", "Chinese (Simplified) - US Keyboard");
  Preload(1, "00000804");
  Preload(2, "e0200804");
  ASSERT_TRUE(sys::RegisterKeyboardLayout(s));
  std::string key = std::string(kLayouts) + "\\E0210804";
  EXPECT_EQ(Value(key, "IME file"), "TAVOHU4.IME");
  EXPECT_EQ(Value(key, "layout file"), "kbdus.dll");
  EXPECT_EQ(Value(key, "layout text"), Encode("Tavo输入平台  7.1", "GBK"));
  EXPECT_EQ(Value(kPreload, "3"), "e0210804");
  EXPECT_EQ(fake.registry.Value(key, "layout text").data.size(), 17u);  // no terminating NUL
  // The three values in this order, then the preload value.
  std::vector<std::string> written;
  for (const auto& w : fake.registry.Writes()) {
    if (w.op == "set") written.push_back(w.name);
  }
  EXPECT_EQ(written, (std::vector<std::string>{"IME file", "layout file", "layout text", "3"}));
  EXPECT_TRUE(fake.dialogs.shown.empty());
}

TEST_F(Registration, AnEarlierRegistrationIsReusedOrMovedToTheRightLanguage) {
  struct Case {
    const char* existing;
    uint32_t codePage;
    const char* expected;
  };
  const Case cases[] = {
      {"E0230804", 936, "E0230804"},
      {"E0230404", 936, "E0230804"},
      {"E0230804", 950, "E0230404"},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    std::string earlier = std::string(kLayouts) + "\\" + c.existing;
    machine.registry.SetValue(earlier, "layout text", platform::kRegSz,
                              Encode(c.codePage == 950 ? "Tavo輸入平台  6.3" : "Tavo输入平台  6.3",
                                     c.codePage == 950 ? "BIG5" : "GBK"));
    machine.registry.SetValue(std::string(kLayouts) + "\\E0300804", "layout text", platform::kRegSz, "Other");
    app::SetupState state(machine.os());
    state.OemCodePage = c.codePage;
    ASSERT_TRUE(sys::RegisterKeyboardLayout(state));
    std::string key = std::string(kLayouts) + "\\" + c.expected;
    EXPECT_EQ(machine.registry.Value(key, "IME file").data, "TAVOHU4.IME") << c.expected;
    EXPECT_EQ(machine.registry.HasKey(earlier), std::string(c.existing) == c.expected) << c.existing;
    EXPECT_FALSE(machine.registry.HasKey(std::string(kLayouts) + "\\E0310804"));
  }
}

TEST_F(Registration, TheHigherEnumerationIndexWinsBetweenTwoRegistrations) {
  Layout("E0200804", sys::text::kLayoutTextGbk);
  Layout("E0210804", sys::text::kLayoutTextGbk);
  ASSERT_TRUE(sys::RegisterKeyboardLayout(s));
  EXPECT_EQ(Value(kPreload, "1"), "e0210804");
}

TEST_F(Registration, PreloadOutcomes) {
  struct Case {
    const char* what;
    std::vector<std::string> before;
    std::vector<std::string> after;
  };
  std::vector<std::string> full;
  for (int k = 1; k <= 49; ++k) full.push_back("0000080" + std::to_string(k % 10));
  std::vector<std::string> fullAfter = full;
  fullAfter[48] = "e0210804";
  const Case cases[] = {
      {"appended", {"00000804", "00000409", "00000411"}, {"00000804", "00000409", "00000411", "e0210804"}},
      {"same layout, other language", {"00000804", "e0210404"}, {"00000804", "e0210804"}},
      {"already listed in capitals", {"00000804", "E0210804", "00000409"}, {"00000804", "E0210804", "00000409"}},
      {"listed with more after it", {"e0210804x"}, {"e0210804x"}},
      {"all 49 taken", full, fullAfter},
      {"empty list", {}, {"e0210804"}},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.registry.SetValue(std::string(kLayouts) + "\\E0200804", "layout text", platform::kRegSz, "x");
    for (size_t k = 0; k < c.before.size(); ++k) {
      machine.registry.SetValue(kPreload, std::to_string(k + 1), platform::kRegSz, c.before[k]);
    }
    app::SetupState state(machine.os());
    ASSERT_TRUE(sys::RegisterKeyboardLayout(state)) << c.what;
    std::vector<std::string> after;
    for (size_t k = 1; machine.registry.HasValue(kPreload, std::to_string(k)); ++k) {
      after.push_back(machine.registry.Value(kPreload, std::to_string(k)).data);
    }
    EXPECT_EQ(after, c.after) << c.what;
  }
}

TEST_F(Registration, Windows9xFamilyUsesPreloadSubKeysAndUpperCase) {
  fake.system.win9x = true;
  fake.registry.SetValue(std::string(kPreload) + "\\1", "", platform::kRegSz, "00000804");
  fake.registry.SetValue(std::string(kPreload) + "\\2", "", platform::kRegSz, "E0210404");
  ASSERT_TRUE(sys::RegisterKeyboardLayout(s));
  EXPECT_EQ(Value(std::string(kLayouts) + "\\E0010804", "layout file"), "kbdus.kbd");
  EXPECT_EQ(Value(std::string(kPreload) + "\\1", ""), "00000804");
  EXPECT_EQ(Value(std::string(kPreload) + "\\2", ""), "E0210404");
  EXPECT_EQ(Value(std::string(kPreload) + "\\3", ""), "E0010804");
}

TEST_F(Registration, FailuresShowTheirMessageRow) {
  struct Case {
    const char* what;
    bool win9x;
    bool denyLayoutsRead;
    bool denyMachineWrite;
    bool dropUserLayout;
    const char* text;
    const char* caption;
  };
  const Case cases[] = {
      {"row 1", true, true, false, false, "Software open error1003", "Tavo"},
      {"row 2", false, true, false, false, sys::text::kAdminNeeded, "Tavo"},
      {"row 3", true, false, true, false, "Software open error1004", "Tavo(Kelvo)"},
      {"row 4", false, false, true, false, sys::text::kAdminNeeded, "Tavo(Kelvo)"},
      {"row 5, NT", false, false, false, true, "Software open error2003", "Tavo(Kelvo)"},
      {"row 5, 9x", true, false, false, true, "Software open error2003", "Tavo(Kelvo)"},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.system.win9x = c.win9x;
    if (c.denyLayoutsRead) machine.registry.DenyReads(platform::RegRoot::LocalMachine);
    if (c.denyMachineWrite) machine.registry.DenyWrites(platform::RegRoot::LocalMachine);
    if (c.dropUserLayout) machine.registry.DenyReads(platform::RegRoot::CurrentUser);
    app::SetupState state(machine.os());
    EXPECT_FALSE(sys::RegisterKeyboardLayout(state)) << c.what;
    ASSERT_EQ(machine.dialogs.shown.size(), 1u) << c.what;
    EXPECT_FALSE(machine.dialogs.shown[0].wide);
    EXPECT_EQ(machine.dialogs.shown[0].text, c.text) << c.what;
    EXPECT_EQ(machine.dialogs.shown[0].caption, c.caption) << c.what;
    EXPECT_EQ(machine.dialogs.shown[0].type, platform::kMbOk);
  }
}

TEST_F(Registration, NoPreloadKeyIsNoFailure) {
  FakePlatform machine;
  machine.registry.AddKey("HKCU\\Keyboard Layout");
  app::SetupState state(machine.os());
  // Remove the preload key the fake starts with.
  std::unique_ptr<platform::RegKey> layout;
  ASSERT_EQ(machine.registry.OpenKey(platform::RegRoot::CurrentUser, "Keyboard Layout", platform::kKeyAllAccess,
                                     &layout), 0);
  ASSERT_EQ(layout->DeleteSubKey("Preload"), 0);
  EXPECT_TRUE(sys::RegisterKeyboardLayout(state));
  EXPECT_TRUE(machine.dialogs.shown.empty());
}

TEST_F(Registration, ManyLayoutKeysAreAllConsidered) {
  for (int i = 0; i < 300; ++i) {
    char id[16];
    std::snprintf(id, sizeof id, "%08X", 0xE0000804u + static_cast<uint32_t>(i) * 0x10000u);
    Layout(id, "Other");
  }
  ASSERT_TRUE(sys::RegisterKeyboardLayout(s));
  EXPECT_TRUE(fake.registry.HasKey(std::string(kLayouts) + "\\E12C0804"));
}

}  // namespace
