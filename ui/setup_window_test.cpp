#include "ui/setup_window.h"

#include <gtest/gtest.h>

namespace {

TEST(SetupWindow, HitTestingIncludesTheEdges) {
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 140, 270));
  EXPECT_TRUE(ui::HitTest(ui::kConfirmButton, 40, 245));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 141, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 39, 260));
  EXPECT_FALSE(ui::HitTest(ui::kConfirmButton, 60, 271));
  EXPECT_TRUE(ui::HitTest(ui::kAbandonButton, 360, 270));
}

}  // namespace
