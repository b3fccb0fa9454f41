#include "system/layout_activation.h"

#include <gtest/gtest.h>

#include "platform/constants.h"
#include "platform/fake/fake_platform.h"
#include "system/texts.h"

namespace {

constexpr uint32_t kChinese = 0x08040804;
constexpr uint32_t kIme1 = 0xE0200804;
constexpr uint32_t kIme2 = 0xE0210804;

class Activation : public ::testing::Test {
 protected:
  Activation() {
    fake.ime.layouts = {kChinese, kIme1, kIme2};
    fake.ime.descriptions[kIme1] = std::string(sys::text::kLayoutTextGbk);
    fake.ime.descriptions[kIme2] = std::string(sys::text::kLayoutPrefixGbk) + " other";
    fake.ime.current = kChinese;
  }
  platform::fake::FakePlatform fake;
  core::SetupState s{fake.os()};
};

TEST_F(Activation, SearchesTheListWhenTheImmGaveNoHandleAndTakesTheFirst) {
  EXPECT_TRUE(sys::ActivateImeLayout(s));
  EXPECT_EQ(s.ImeLayoutHandle, kIme1);
  EXPECT_EQ(fake.ime.activations, std::vector<uint32_t>{kIme1});
  // Already active: a repaint does nothing.
  EXPECT_FALSE(sys::ActivateImeLayout(s));
  EXPECT_EQ(fake.ime.activations.size(), 1u);
}

TEST_F(Activation, UsesTheImmHandleWithoutSearching) {
  s.ImeLayoutHandle = kIme2;
  fake.ime.layouts.clear();
  EXPECT_TRUE(sys::ActivateImeLayout(s));
  EXPECT_EQ(fake.ime.activations, std::vector<uint32_t>{kIme2});
}

TEST_F(Activation, NoImeLayoutLeavesThePageUsable) {
  fake.ime.descriptions.clear();
  EXPECT_TRUE(sys::ActivateImeLayout(s));
  EXPECT_TRUE(fake.ime.activations.empty());
  EXPECT_EQ(s.ImeLayoutHandle, 0u);
}

}  // namespace
