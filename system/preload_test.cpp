#include "system/preload.h"

#include <gtest/gtest.h>

#include "core/system_facts.h"
#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "system/texts.h"

namespace {

using platform::fake::FakePlatform;

constexpr char kLayouts[] = "HKLM\\System\\CurrentControlSet\\Control\\Keyboard Layouts";
constexpr char kPreload[] = "HKCU\\Keyboard Layout\\Preload";
constexpr char kDefaultPreload[] = "HKU\\.DEFAULT\\Keyboard Layout\\Preload";

class Preload : public ::testing::Test {
 protected:
  // A preload list of `ids`; the layouts named in `ime` carry the IME's layout text.
  void List(const std::vector<std::string>& ids, const std::string& ime) {
    for (size_t k = 0; k < ids.size(); ++k) {
      fake.registry.SetValue(kPreload, std::to_string(k + 1), platform::kRegSz, ids[k] + std::string(1, '\0'));
      fake.registry.SetValue(std::string(kLayouts) + "\\" + ids[k], "layout text", platform::kRegSz,
                             ids[k] == ime ? sys::text::kLayoutTextGbk : "Other layout");
    }
  }
  std::vector<std::string> Values(const char* key, size_t count) {
    std::vector<std::string> values;
    for (size_t k = 1; k <= count; ++k) values.push_back(fake.registry.Value(key, std::to_string(k)).data);
    return values;
  }

  FakePlatform fake;
  core::SetupState s{fake.os()};
};

TEST_F(Preload, ReadsIdentifiersAndTheirLayoutTexts) {
  List({"00000804", "e0210804", "00000409"}, "e0210804");
  fake.registry.SetValue(kPreload, "5", platform::kRegSz, "00000411");  // after a gap: not read
  EXPECT_EQ(sys::ReadPreloadList(s), 3u);
  EXPECT_EQ(s.PreloadList[1].id, "e0210804");
  EXPECT_EQ(s.PreloadList[1].text, sys::text::kLayoutTextGbk);
  EXPECT_EQ(s.PreloadList[2].text, "Other layout");
}

TEST_F(Preload, StoredBytesAreBoundedBySlotSizes) {
  fake.registry.SetValue(kPreload, "1", platform::kRegSz, "123456789");    // 9 bytes, no NUL
  fake.registry.SetValue(kPreload, "2", platform::kRegSz, "1234567890");   // 10 bytes, no NUL
  fake.registry.SetValue(kPreload, "3", platform::kRegSz, "12345678901");  // does not fit: ends the list
  fake.registry.SetValue(std::string(kLayouts) + "\\123456789", "layout text", platform::kRegSz, std::string(300, 't'));
  EXPECT_EQ(sys::ReadPreloadList(s), 2u);
  EXPECT_EQ(s.PreloadList[0].id, "123456789");
  EXPECT_EQ(s.PreloadList[1].id, "123456789");
  EXPECT_EQ(s.PreloadList[0].text, "");  // too long for its 200-byte slot: not read
}

TEST_F(Preload, FindImeInPreloadGivesThePlace) {
  List({"00000804", "00000409", "e0210804"}, "e0210804");
  EXPECT_TRUE(sys::FindImeInPreload(s));
  EXPECT_TRUE(s.ImeInPreload);
  EXPECT_EQ(s.ImePreloadPosition, 3);
}

TEST_F(Preload, FindImeInPreloadReadsNothingOn64BitWindows) {
  List({"e0210804"}, "e0210804");
  fake.SetWindows(6, true);
  core::FindSystemFacts(s);
  s.ImeInPreload = true;
  s.ImePreloadPosition = 4;
  EXPECT_FALSE(sys::FindImeInPreload(s));
  EXPECT_FALSE(s.ImeInPreload);
  EXPECT_EQ(s.ImePreloadPosition, 0);
  EXPECT_TRUE(s.PreloadList.empty());
}

TEST_F(Preload, PromoteMovesTheImeToPlace2) {
  List({"a1", "a2", "a3", "a4", "ime", "a6"}, "ime");
  fake.system.major = 5;
  core::FindSystemFacts(s);
  ASSERT_TRUE(sys::FindImeInPreload(s));
  sys::PromotePreloadEntry(s);
  // Place 1 keeps its stored bytes; the places written carry no terminating NUL.
  std::vector<std::string> expected = {std::string("a1\0", 3), "ime", "a2", "a3", "a4", "a6"};
  EXPECT_EQ(Values(kPreload, 6), expected);
  // The default user has a list of its own, here an empty one: it stays empty.
  EXPECT_TRUE(fake.registry.ValueNames(kDefaultPreload).empty());
}

// The default user's list is its own: the IME ends at its place 2 and every other entry stays.
TEST_F(Preload, PromoteKeepsTheDefaultUsersOwnList) {
  struct Case {
    const char* what;
    std::vector<std::string> before;
    std::vector<std::string> after;
    std::vector<std::string> written;  // "set N" / "delete-value N", in order
  };
  std::vector<std::string> full, fullWithIme, fullWithImeAfter, fullWithImeWritten;
  for (int k = 1; k <= 49; ++k) full.push_back("000004" + std::to_string(10 + k));
  fullWithIme = full;
  fullWithIme[48] = "E0210804";
  fullWithImeAfter = full;
  fullWithImeAfter.insert(fullWithImeAfter.begin() + 1, "E0210804");
  fullWithImeAfter.pop_back();
  for (int k = 2; k <= 49; ++k) fullWithImeWritten.push_back("set " + std::to_string(k));
  const std::string unreadable(300, 'x');
  const Case cases[] = {
      {"absent: inserted", {"00000409", "00000804"}, {"00000409", "e0210804", "00000804"}, {"set 2", "set 3"}},
      {"further down: moved, its own spelling kept",
       {"00000409", "00000804", "00000411", "E0210804", "00000412"},
       {"00000409", "E0210804", "00000804", "00000411", "00000412"},
       {"set 2", "set 3", "set 4"}},
      {"listed twice: one is kept",
       {"00000409", "00000804", "e0210804", "00000411", "E0210804"},
       {"00000409", "e0210804", "00000804", "00000411"},
       {"set 2", "set 3", "delete-value 5"}},
      {"at place 1", {"e0210804", "00000409", "00000804"}, {"e0210804", "00000409", "00000804"}, {}},
      {"at place 2", {"00000409", "E0210804", "00000804"}, {"00000409", "E0210804", "00000804"}, {}},
      {"empty", {}, {}, {}},
      {"full without it", full, full, {}},
      {"full, at place 49", fullWithIme, fullWithImeAfter, fullWithImeWritten},
      {"a value that cannot be read", {"00000409", unreadable, "00000804"}, {"00000409", unreadable, "00000804"}, {}},
      // Further down, where the IME would be inserted or moved past it.
      {"a value that cannot be read at place 3",
       {"00000409", "00000804", unreadable, "00000411"},
       {"00000409", "00000804", unreadable, "00000411"},
       {}},
      {"a value that cannot be read before the IME",
       {"00000409", "00000804", "00000411", unreadable, "E0210804"},
       {"00000409", "00000804", "00000411", unreadable, "E0210804"},
       {}},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    core::SetupState state(machine.os());
    const std::vector<std::string> user = {"00000804", "00000409", "e0210804"};
    for (size_t k = 0; k < user.size(); ++k) {
      machine.registry.SetValue(kPreload, std::to_string(k + 1), platform::kRegSz, user[k]);
      machine.registry.SetValue(std::string(kLayouts) + "\\" + user[k], "layout text", platform::kRegSz,
                                k == 2 ? sys::text::kLayoutTextGbk : "Other layout");
    }
    for (size_t k = 0; k < c.before.size(); ++k) {
      machine.registry.SetValue(kDefaultPreload, std::to_string(k + 1), platform::kRegSz, c.before[k]);
    }
    machine.system.major = 5;
    core::FindSystemFacts(state);
    ASSERT_TRUE(sys::FindImeInPreload(state)) << c.what;
    sys::PromotePreloadEntry(state);

    std::vector<std::string> after, written;
    for (size_t k = 1; machine.registry.HasValue(kDefaultPreload, std::to_string(k)); ++k) {
      after.push_back(machine.registry.Value(kDefaultPreload, std::to_string(k)).data);
    }
    for (const auto& w : machine.registry.Writes()) {
      if (w.path.rfind("HKU", 0) == 0) written.push_back(w.op + " " + w.name);
    }
    EXPECT_EQ(after, c.after) << c.what;
    EXPECT_EQ(written, c.written) << c.what;
    // The current user's list is promoted whatever the default user's holds.
    EXPECT_EQ(machine.registry.Value(kPreload, "2").data, "e0210804") << c.what;
    EXPECT_EQ(machine.registry.Value(kPreload, "3").data, "00000409") << c.what;
  }
}

TEST_F(Preload, PromoteWritesNothingWhenThereIsNothingToGain) {
  struct Case {
    std::vector<std::string> ids;
    std::string ime;
    uint32_t major;
  };
  const Case cases[] = {
      {{"a1", "ime", "a3"}, "ime", 5}, {{"ime", "a2", "a3"}, "ime", 5}, {{"a1", "ime"}, "ime", 5},
      {{"a1", "a2", "ime"}, "ime", 6}, {{"a1", "a2", "a3"}, "none", 5},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    core::SetupState state(machine.os());
    for (size_t k = 0; k < c.ids.size(); ++k) {
      machine.registry.SetValue(kPreload, std::to_string(k + 1), platform::kRegSz, c.ids[k]);
      machine.registry.SetValue(std::string(kLayouts) + "\\" + c.ids[k], "layout text", platform::kRegSz,
                                c.ids[k] == c.ime ? sys::text::kLayoutTextGbk : "Other");
    }
    machine.system.major = c.major;
    core::FindSystemFacts(state);
    sys::FindImeInPreload(state);
    sys::PromotePreloadEntry(state);
    EXPECT_TRUE(machine.registry.Writes().empty()) << c.ids.size() << " " << c.major;
  }
}

TEST_F(Preload, Windows9xFamilyReadsAndPromotesSubKeys) {
  fake.system.win9x = true;
  const std::vector<std::string> ids = {"00000804", "00000409", "E0210804"};
  for (size_t k = 0; k < ids.size(); ++k) {
    fake.registry.SetValue(std::string(kPreload) + "\\" + std::to_string(k + 1), "", platform::kRegSz, ids[k]);
    fake.registry.SetValue(std::string(kLayouts) + "\\" + ids[k], "layout text", platform::kRegSz,
                           k == 2 ? sys::text::kLayoutTextGbk : "Other");
  }
  fake.system.major = 4;
  core::FindSystemFacts(s);
  ASSERT_TRUE(sys::FindImeInPreload(s));
  EXPECT_EQ(s.ImePreloadPosition, 3);
  sys::PromotePreloadEntry(s);
  EXPECT_EQ(fake.registry.Value(std::string(kPreload) + "\\2", "").data, "E0210804");
  EXPECT_EQ(fake.registry.Value(std::string(kPreload) + "\\3", "").data, "00000409");
}

}  // namespace
