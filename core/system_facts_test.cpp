#include "core/system_facts.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "platform/fake/faulty_platform.h"

namespace {

using platform::fake::FakePlatform;

TEST(SystemFacts, SixtyFourBitNeedsVersion6AndSysWow64) {
  struct Case {
    uint32_t major;
    bool sysWow64;
    bool expected;
  };
  const Case cases[] = {{5, true, false},  {5, false, false}, {6, true, true},
                        {6, false, false}, {10, true, true},  {0, true, false}};
  for (const auto& c : cases) {
    FakePlatform machine;
    machine.system.major = c.major;
    if (c.sysWow64) machine.files.AddDirectory("C:\\windows\\syswow64");
    core::SetupState state(machine.os());
    core::FindSystemFacts(state);
    EXPECT_EQ(state.Is64Bit, c.expected) << c.major << " " << c.sysWow64;
    EXPECT_EQ(state.WindowsMajor, c.major);
  }
}

// The probe of SysWOW64 failing for another reason than "not found" (a sharing violation) leaves
// the machine what it is: a 64-bit one 64-bit, a 32-bit one 32-bit (its 32-bit modules must not
// give way to 64-bit ones).
TEST(SystemFacts, AProbeOfSysWow64ThatFailsDoesNotChangeTheMachine) {
  for (bool is64 : {true, false}) {
    FakePlatform machine;
    machine.SetWindows(6, is64);
    platform::fake::FaultyPlatform probeFails(machine.os(), 1);
    core::SetupState state(probeFails.os());
    core::FindSystemFacts(state);
    EXPECT_EQ(probeFails.Failed(), "open for reading C:\\windows\\syswow64");
    EXPECT_EQ(state.Is64Bit, is64);
  }
}

TEST(SystemFacts, CodePagesAndThe9xFamilyAreRead) {
  FakePlatform machine;
  machine.system.oemCodePage = 950;
  machine.system.ansiCodePage = 950;
  machine.system.win9x = true;
  machine.system.major = 4;
  core::SetupState state(machine.os());
  core::FindSystemFacts(state);
  EXPECT_EQ(state.OemCodePage, 950u);
  EXPECT_EQ(state.AnsiCodePage, 950u);
  EXPECT_TRUE(state.Win9x);
  EXPECT_TRUE(state.UsesBig5());
  EXPECT_FALSE(state.Is64Bit);
  // Found once: a later change of the system is not seen.
  machine.system.oemCodePage = 936;
  EXPECT_TRUE(state.UsesBig5());
}

TEST(SystemFacts, SysWow64DirFitsItsBuffer) {
  FakePlatform machine;
  core::SetupState state(machine.os());
  EXPECT_EQ(core::GetSysWow64Dir(state), "C:\\windows\\syswow64");
}

}  // namespace
