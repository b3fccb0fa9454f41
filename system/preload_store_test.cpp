#include "system/preload_store.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"

namespace {

using platform::fake::FakePlatform;
using sys::PreloadPlace;

constexpr char kPreload[] = "HKCU\\Keyboard Layout\\Preload";
const std::string kTooLong(300, 'x');  // more than the 200-byte buffer

// A current user's list of four places in the form of `win9x`: an identifier, one too long for
// the buffer, one that cannot be opened (9x: a place key that shuts the process out), none.
void FourPlaces(FakePlatform& machine, bool win9x) {
  machine.system.win9x = win9x;
  if (!win9x) {
    machine.registry.SetValue(kPreload, "1", platform::kRegSz, "00000804");
    machine.registry.SetValue(kPreload, "2", platform::kRegSz, kTooLong);
    return;
  }
  machine.registry.SetValue(std::string(kPreload) + "\\1", "", platform::kRegSz, "00000804");
  machine.registry.SetValue(std::string(kPreload) + "\\2", "", platform::kRegSz, kTooLong);
  machine.registry.AddKey(std::string(kPreload) + "\\3");
  machine.registry.DenyKey(std::string(kPreload) + "\\3");
}

TEST(PreloadStore, ReadsEachPlaceOfBothForms) {
  struct Case {
    bool win9x;
    size_t place;
    PreloadPlace expected;
    std::string id;  // "left" when the read leaves it as it was
  };
  const Case cases[] = {
      {false, 1, PreloadPlace::Listed, "00000804"},   {false, 2, PreloadPlace::Unreadable, "left"},
      {false, 3, PreloadPlace::Absent, "left"},       {true, 1, PreloadPlace::Listed, "00000804"},
      {true, 2, PreloadPlace::Blank, "left"},         {true, 3, PreloadPlace::Unreadable, "left"},
      {true, 4, PreloadPlace::Absent, "left"},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    FourPlaces(machine, c.win9x);
    core::SetupState s(machine.os());
    s.Win9x = c.win9x;
    std::unique_ptr<sys::PreloadStore> store;
    ASSERT_EQ(sys::OpenUserPreload(s, &store), sys::PreloadOpen::Opened);
    std::string id = "left";
    EXPECT_EQ(store->Read(c.place, 200, &id), c.expected) << c.win9x << " " << c.place;
    EXPECT_EQ(id, c.id) << c.win9x << " " << c.place;
  }
}

// A place written is read back, a new one made, and a place removed is gone; on the 9x family
// each place is a key of its own, its identifier in the default value.
TEST(PreloadStore, WritesAndRemovesPlacesOfBothForms) {
  for (bool win9x : {false, true}) {
    FakePlatform machine;
    FourPlaces(machine, win9x);
    core::SetupState s(machine.os());
    s.Win9x = win9x;
    std::unique_ptr<sys::PreloadStore> store;
    ASSERT_EQ(sys::OpenUserPreload(s, &store), sys::PreloadOpen::Opened);
    store->Write(1, "e0010804");
    store->Write(5, "00000409");
    std::string id;
    EXPECT_EQ(store->Read(1, 200, &id), PreloadPlace::Listed);
    EXPECT_EQ(id, "e0010804");
    EXPECT_EQ(store->Read(5, 200, &id), PreloadPlace::Listed);
    EXPECT_EQ(id, "00000409");
    if (win9x) {
      EXPECT_EQ(machine.registry.Value(std::string(kPreload) + "\\5", "").data, "00000409");
    } else {
      EXPECT_EQ(machine.registry.Value(kPreload, "5").data, "00000409");
    }
    store->Remove(5);
    EXPECT_EQ(store->Read(5, 200, &id), PreloadPlace::Absent) << win9x;
  }
}

// Every machine has both lists; here one key of them shuts the process out.
TEST(PreloadStore, OpeningTellsAListThatDoesNotOpenFromAKeyboardLayoutKeyThatDoesNot) {
  struct Case {
    const char* what;
    bool win9x;
    bool defaultUser;
    std::string denied;  // empty: none
    sys::PreloadOpen expected;
  };
  const Case cases[] = {
      {"NT", false, false, "", sys::PreloadOpen::Opened},
      {"NT, list shut", false, false, "HKCU\\Keyboard Layout\\Preload", sys::PreloadOpen::NoList},
      {"NT, keyboard-layout key shut", false, false, "HKCU\\Keyboard Layout", sys::PreloadOpen::Failed},
      {"NT default user", false, true, "", sys::PreloadOpen::Opened},
      {"NT default user, list shut", false, true, "HKU\\.DEFAULT\\Keyboard Layout\\Preload",
       sys::PreloadOpen::NoList},
      {"NT default user, keyboard-layout key shut", false, true, "HKU\\.DEFAULT\\Keyboard Layout",
       sys::PreloadOpen::Failed},
      {"9x", true, false, "", sys::PreloadOpen::Opened},
      {"9x, list shut", true, false, "HKCU\\Keyboard Layout\\Preload", sys::PreloadOpen::Failed},
      {"9x has no default user's list", true, true, "", sys::PreloadOpen::Failed},
  };
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.system.win9x = c.win9x;
    if (!c.denied.empty()) machine.registry.DenyKey(c.denied);
    core::SetupState s(machine.os());
    s.Win9x = c.win9x;
    std::unique_ptr<sys::PreloadStore> store;
    sys::PreloadOpen opened =
        c.defaultUser ? sys::OpenDefaultUserPreload(s, &store) : sys::OpenUserPreload(s, &store);
    EXPECT_EQ(opened, c.expected) << c.what;
    EXPECT_EQ(store != nullptr, c.expected == sys::PreloadOpen::Opened) << c.what;
  }
}

TEST(PreloadStore, LayoutIdsCompareWithoutLetterCase) {
  EXPECT_TRUE(sys::SameLayoutId("E0210804", "e0210804"));
  EXPECT_FALSE(sys::SameLayoutId("e0210804", "e0210404"));
  EXPECT_FALSE(sys::SameLayoutId("e021080", "e0210804"));
}

}  // namespace
