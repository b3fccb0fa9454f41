#include "system/ime_registration.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>

#include "core/system_facts.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "platform/fake/faulty_platform.h"
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
  core::SetupState s{fake.os()};
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
    core::SetupState state(machine.os());
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
    machine.registry.SetValue(
        earlier, "layout text", platform::kRegSz,
        Encode(c.codePage == 950 ? "Tavo輸入平台  6.3" : "Tavo输入平台  6.3", c.codePage == 950 ? "BIG5" : "GBK"));
    machine.registry.SetValue(std::string(kLayouts) + "\\E0300804", "layout text", platform::kRegSz, "Other");
    core::SetupState state(machine.os());
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
      {"a value too long to read is a taken place",
       {"00000804", std::string(300, 'x'), "00000409"},
       {"00000804", std::string(300, 'x'), "00000409", "e0210804"}},
      {"a long value of the same layout is still a taken place",
       {std::string("e0210404") + std::string(250, ' ')},
       {std::string("e0210404") + std::string(250, ' '), "e0210804"}},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.registry.SetValue(std::string(kLayouts) + "\\E0200804", "layout text", platform::kRegSz, "x");
    for (size_t k = 0; k < c.before.size(); ++k) {
      machine.registry.SetValue(kPreload, std::to_string(k + 1), platform::kRegSz, c.before[k]);
    }
    core::SetupState state(machine.os());
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
  core::FindSystemFacts(s);
  fake.registry.SetValue(std::string(kPreload) + "\\1", "", platform::kRegSz, "00000804");
  fake.registry.SetValue(std::string(kPreload) + "\\2", "", platform::kRegSz, "E0210404");
  ASSERT_TRUE(sys::RegisterKeyboardLayout(s));
  EXPECT_EQ(Value(std::string(kLayouts) + "\\E0010804", "layout file"), "kbdus.kbd");
  EXPECT_EQ(Value(std::string(kPreload) + "\\1", ""), "00000804");
  EXPECT_EQ(Value(std::string(kPreload) + "\\2", ""), "E0210404");
  EXPECT_EQ(Value(std::string(kPreload) + "\\3", ""), "E0010804");
}

// A place of the 9x list that exists but cannot be used is passed over, never re-created.
TEST_F(Registration, Windows9xFamilyPassesOverPlacesItCannotRead) {
  struct Case {
    const char* what;
    bool shutOut;        // subkey 2 refuses to open
    std::string value2;  // default value of subkey 2
  };
  const Case cases[] = {
      {"subkey shut out", true, "E0010404"},
      {"default value too long", false, std::string("E0010404") + std::string(250, ' ')},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.system.win9x = true;
    machine.registry.SetValue(std::string(kPreload) + "\\1", "", platform::kRegSz, "00000804");
    machine.registry.SetValue(std::string(kPreload) + "\\2", "", platform::kRegSz, c.value2);
    if (c.shutOut) machine.registry.DenyKey(std::string(kPreload) + "\\2");
    core::SetupState state(machine.os());
    core::FindSystemFacts(state);
    ASSERT_TRUE(sys::RegisterKeyboardLayout(state)) << c.what;
    EXPECT_EQ(machine.registry.Value(std::string(kPreload) + "\\3", "").data, "E0010804") << c.what;
    EXPECT_EQ(machine.registry.Value(std::string(kPreload) + "\\2", "").data, c.value2) << c.what;
    for (const auto& w : machine.registry.Writes()) {
      EXPECT_NE(w.path, std::string(kPreload) + "\\2") << c.what << ": " << w.op;
    }
  }
}

// A layout key that exists and is not the IME's is never written into: the next free number is
// taken instead, and a registration moved to another number leaves nothing behind.
TEST_F(Registration, AnotherImesLayoutKeyIsNeverWrittenInto) {
  struct Layout {
    const char* name;
    std::string text;  // empty: no layout text
    bool shutOut;
  };
  struct Case {
    const char* what;
    uint32_t codePage;
    std::vector<Layout> layouts;
    const char* expected;
    const char* deleted;  // our earlier key, or ""
  };
  const std::string ours = Encode("Tavo输入平台  6.3", "GBK");
  const std::string oursBig5 = Encode("Tavo輸入平台  6.3", "BIG5");
  const Case cases[] = {
      {"our 404 key beside another IME's 804 key",
       936,
       {{"E0230404", ours, false}, {"E0230804", "Other IME", false}},
       "E0240804",
       "E0230404"},
      {"the next number is taken too",
       936,
       {{"E0230404", ours, false}, {"E0230804", "Other IME", false}, {"E0240804", "", false}},
       "E0250804",
       "E0230404"},
      {"our 804 key beside another IME's 404 key, Big5",
       950,
       {{"E0230804", oursBig5, false}, {"E0230404", "Other IME", false}},
       "E0240404",
       "E0230804"},
      {"the new name is ours in the other encoding",
       936,
       {{"E0230404", ours, false}, {"E0230804", oursBig5, false}},
       "E0230804",
       "E0230404"},
      {"computed name without a layout text",
       936,
       {{"E0200804", "Other IME", false}, {"E0210804", "", false}},
       "E0220804",
       ""},
      {"computed name shut out",
       936,
       {{"E0200804", "Other IME", false}, {"E0210804", "Other IME", true}},
       "E0220804",
       ""},
      {"largest name FFFF0804", 936, {{"FFFF0804", "Other IME", false}}, "E0010804", ""},
      {"largest name FFFF0804, E0010804 taken",
       936,
       {{"FFFF0804", "Other IME", false}, {"E0010804", "Other IME", false}},
       "E0020804",
       ""},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    for (const Layout& layout : c.layouts) {
      std::string key = std::string(kLayouts) + "\\" + layout.name;
      machine.registry.AddKey(key);
      if (!layout.text.empty()) machine.registry.SetValue(key, "layout text", platform::kRegSz, layout.text);
      if (layout.shutOut) machine.registry.DenyKey(key);
    }
    core::SetupState state(machine.os());
    state.OemCodePage = c.codePage;
    EXPECT_TRUE(sys::RegisterKeyboardLayout(state)) << c.what;
    const std::string key = std::string(kLayouts) + "\\" + c.expected;
    EXPECT_EQ(machine.registry.Value(key, "IME file").data, "TAVOHU4.IME") << c.what;
    EXPECT_EQ(machine.registry.Value(key, "layout text").data,
              c.codePage == 950 ? sys::text::kLayoutTextBig5 : sys::text::kLayoutTextGbk)
        << c.what;
    if (*c.deleted) {
      EXPECT_FALSE(machine.registry.HasKey(std::string(kLayouts) + "\\" + c.deleted)) << c.what;
    }
    // Under Keyboard Layouts only the chosen key is created or written, only our earlier one deleted.
    for (const auto& w : machine.registry.Writes()) {
      if (w.path.rfind("HKLM", 0) != 0) continue;
      const bool allowed =
          w.path == key || (w.op == "delete-key" && w.path == std::string(kLayouts) + "\\" + c.deleted);
      EXPECT_TRUE(allowed) << c.what << ": " << w.op << " " << w.path << " " << w.name;
    }
    std::string listed = c.expected;
    for (char& ch : listed) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    EXPECT_EQ(machine.registry.Value(kPreload, "1").data, listed) << c.what;
  }
}

TEST_F(Registration, NoFreeLayoutNumberFailsWithTheCreateMessage) {
  for (uint32_t high = 0xE001; high <= 0xFFFF; ++high) {
    char id[16];
    std::snprintf(id, sizeof id, "%04X0804", static_cast<unsigned>(high));
    fake.registry.SetValue(std::string(kLayouts) + "\\" + id, "layout text", platform::kRegSz, "Other IME");
  }
  EXPECT_FALSE(sys::RegisterKeyboardLayout(s));
  ASSERT_EQ(fake.dialogs.shown.size(), 1u);
  EXPECT_EQ(fake.dialogs.shown[0].text, sys::text::kAdminNeeded);
  EXPECT_EQ(fake.dialogs.shown[0].caption, sys::text::kCaptionTavoKelvo);
  EXPECT_TRUE(fake.registry.Writes().empty());
}

// Our earlier registration re-created under another number takes over the preload place of the
// identifier that no longer exists.
TEST_F(Registration, ARenumberedRegistrationTakesOverItsPreloadPlace) {
  struct Case {
    const char* what;
    bool win9x;
    std::vector<std::string> before;
    std::vector<std::string> after;
  };
  const Case cases[] = {
      {"NT", false, {"00000804", "e0230404", "00000409"}, {"00000804", "e0240804", "00000409"}},
      {"NT, stored in capitals", false, {"00000804", "E0230404", "00000409"}, {"00000804", "e0240804", "00000409"}},
      {"9x", true, {"00000804", "E0230404", "00000409"}, {"00000804", "E0240804", "00000409"}},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.system.win9x = c.win9x;
    machine.registry.SetValue(std::string(kLayouts) + "\\E0230404", "layout text", platform::kRegSz,
                              sys::text::kLayoutTextGbk);
    machine.registry.SetValue(std::string(kLayouts) + "\\E0230804", "layout text", platform::kRegSz, "Other IME");
    // NT: values 1, 2, ... of the preload key; 9x: default values of its subkeys 1, 2, ...
    auto place = [&](size_t k) {
      return c.win9x ? std::string(kPreload) + "\\" + std::to_string(k) : std::string(kPreload);
    };
    auto name = [&](size_t k) { return c.win9x ? std::string() : std::to_string(k); };
    for (size_t k = 1; k <= c.before.size(); ++k) {
      machine.registry.SetValue(place(k), name(k), platform::kRegSz, c.before[k - 1]);
    }
    core::SetupState state(machine.os());
    core::FindSystemFacts(state);
    ASSERT_TRUE(sys::RegisterKeyboardLayout(state)) << c.what;
    std::vector<std::string> after;
    for (size_t k = 1; machine.registry.HasValue(place(k), name(k)); ++k) {
      after.push_back(machine.registry.Value(place(k), name(k)).data);
    }
    EXPECT_EQ(after, c.after) << c.what;
  }
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
    core::SetupState state(machine.os());
    core::FindSystemFacts(state);
    EXPECT_FALSE(sys::RegisterKeyboardLayout(state)) << c.what;
    ASSERT_EQ(machine.dialogs.shown.size(), 1u) << c.what;
    EXPECT_FALSE(machine.dialogs.shown[0].wide);
    EXPECT_EQ(machine.dialogs.shown[0].text, c.text) << c.what;
    EXPECT_EQ(machine.dialogs.shown[0].caption, c.caption) << c.what;
    EXPECT_EQ(machine.dialogs.shown[0].type, platform::kMbOk);
  }
}

// What the registration answers when one value under a key it holds is refused: the answer covers
// the keys, so it is still true and no message is shown; the other values are written all the same.
TEST_F(Registration, ARefusedValueUnderAnOpenKeyDoesNotFailTheRegistration) {
  struct Case {
    const char* call;
    std::vector<std::string> written;  // the values set, in order
  };
  const Case cases[] = {
      {"set value IME file", {"layout file", "layout text", "1"}},
      {"set value layout text", {"IME file", "layout file", "1"}},
      {"set value 1", {"IME file", "layout file", "layout text"}},
  };
  for (const Case& c : cases) {
    FakePlatform machine;
    platform::fake::FaultyPlatform faulty(machine.os(), c.call, 1, platform::kErrorAccessDenied);
    core::SetupState state(faulty.os());
    EXPECT_TRUE(sys::RegisterKeyboardLayout(state)) << c.call;
    EXPECT_EQ(faulty.Failed(), c.call);
    EXPECT_TRUE(machine.dialogs.shown.empty()) << c.call;
    std::vector<std::string> written;
    for (const auto& w : machine.registry.Writes()) {
      if (w.op == "set") written.push_back(w.name);
    }
    EXPECT_EQ(written, c.written) << c.call;
  }
}

TEST_F(Registration, NoPreloadKeyIsNoFailure) {
  FakePlatform machine;
  machine.registry.AddKey("HKCU\\Keyboard Layout");
  core::SetupState state(machine.os());
  // Remove the preload key the fake starts with.
  std::unique_ptr<platform::RegKey> layout;
  ASSERT_EQ(
      machine.registry.OpenKey(platform::RegRoot::CurrentUser, "Keyboard Layout", platform::kKeyAllAccess, &layout), 0);
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
