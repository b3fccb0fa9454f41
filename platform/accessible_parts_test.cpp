#include "platform/accessible_parts.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using platform::AccessiblePage;
using platform::AccessiblePart;
using platform::AccessibleRole;
using platform::Navigation;

AccessiblePart PartOf(AccessibleRole role, int left, int top, int right, int bottom) {
  AccessiblePart part;
  part.role = role;
  part.left = left;
  part.top = top;
  part.right = right;
  part.bottom = bottom;
  return part;
}

TEST(AccessibleParts, ChildIdsCountThePartsFromOne) {
  const struct {
    long child;
    size_t count;
    std::optional<size_t> part;
  } cases[] = {
      {0, 3, std::nullopt},  // the page itself
      {1, 3, 0},
      {3, 3, 2},
      {4, 3, std::nullopt},
      {1, 0, std::nullopt},
      {-1, 3, std::nullopt},  // negative ids name objects, never parts
      {-4, 3, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(platform::PartOfChild(c.child, c.count), c.part) << c.child << " of " << c.count;
  for (size_t part = 0; part < 5; ++part) {
    EXPECT_EQ(platform::PartOfChild(platform::ChildOfPart(part), 5), part);
  }
}

TEST(AccessibleParts, PointFindsTheButtonOrFieldBeforeTheTextUnderIt) {
  AccessiblePage page;
  page.parts = {
      PartOf(AccessibleRole::StaticText, 10, 165, 400, 187),   // 0
      PartOf(AccessibleRole::StaticText, 30, 240, 400, 262),   // 1: a line running over the button
      PartOf(AccessibleRole::StaticText, 200, 240, 400, 262),  // 2: a second line over the first
      PartOf(AccessibleRole::PushButton, 40, 245, 140, 270),   // 3
      PartOf(AccessibleRole::EditField, 130, 165, 360, 185),   // 4: a field in the line of text 0
  };
  const struct {
    int x, y;
    std::optional<size_t> part;
  } cases[] = {
      {20, 170, 0},              // text alone
      {130, 165, 4},             // the field's top left corner is inside it
      {359, 184, 4},             // and the pixel before its bottom right one
      {360, 170, 0},             // its right edge is outside: the text again
      {60, 250, 3},              // the button, not the line over it
      {140, 250, 1},             // right of the button: the first line there
      {210, 250, 1},             // two lines: the first in reading order
      {60, 265, 3},              // below the line, still the button
      {60, 270, std::nullopt},   // below the button
      {5, 170, std::nullopt},    // left of everything
      {400, 170, std::nullopt},  // the lines end at the window's edge
  };
  for (const auto& c : cases) EXPECT_EQ(platform::PartAt(page, c.x, c.y), c.part) << c.x << "," << c.y;
  EXPECT_EQ(platform::PartAt(AccessiblePage(), 0, 0), std::nullopt);
}

TEST(AccessibleParts, DefaultPartIsTheOneEnterPresses) {
  AccessiblePage page;
  page.parts = {PartOf(AccessibleRole::StaticText, 0, 0, 1, 1), PartOf(AccessibleRole::PushButton, 0, 0, 1, 1),
                PartOf(AccessibleRole::PushButton, 0, 0, 1, 1)};
  EXPECT_EQ(platform::DefaultPartOf(page), std::nullopt);
  page.parts[2].isDefault = true;
  EXPECT_EQ(platform::DefaultPartOf(page), 2u);
}

TEST(AccessibleParts, NavigationStaysAmongTheParts) {
  const std::optional<size_t> page;
  const struct {
    std::optional<size_t> from;
    Navigation direction;
    size_t count;
    std::optional<size_t> to;
  } cases[] = {
      {page, Navigation::FirstChild, 3, 0},
      {page, Navigation::LastChild, 3, 2},
      {page, Navigation::FirstChild, 0, std::nullopt},
      {page, Navigation::LastChild, 0, std::nullopt},
      {page, Navigation::Next, 3, std::nullopt},  // the page's siblings are not its parts
      {page, Navigation::Previous, 3, std::nullopt},
      {1, Navigation::FirstChild, 3, std::nullopt},  // a part has no children
      {1, Navigation::LastChild, 3, std::nullopt},
      {0, Navigation::Next, 3, 1},
      {1, Navigation::Next, 3, 2},
      {2, Navigation::Next, 3, std::nullopt},
      {2, Navigation::Previous, 3, 1},
      {0, Navigation::Previous, 3, std::nullopt},
      {5, Navigation::Previous, 3, std::nullopt},  // a part the page no longer has
      {5, Navigation::Next, 3, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(platform::Navigate(c.from, c.direction, c.count), c.to)
        << (c.from ? static_cast<int>(*c.from) : -1) << " " << static_cast<int>(c.direction) << " of " << c.count;
  }
}

TEST(AccessibleParts, PendingActionGivesItsNameBackOnce) {
  platform::PendingActions pending;
  const uint32_t confirm = pending.Add(u"确定");
  const uint32_t abandon = pending.Add(u"放弃");
  EXPECT_NE(confirm, 0u);
  EXPECT_NE(abandon, 0u);
  EXPECT_NE(confirm, abandon);
  EXPECT_EQ(pending.Take(abandon), u"放弃");  // out of order
  EXPECT_EQ(pending.Take(abandon), std::nullopt);
  EXPECT_EQ(pending.Take(0), std::nullopt);
  EXPECT_EQ(pending.Take(confirm + abandon + 1), std::nullopt);
  EXPECT_EQ(pending.Take(confirm), u"确定");
  EXPECT_EQ(pending.Take(confirm), std::nullopt);
}

TEST(AccessibleParts, PendingActionsForgetTheOldestPastTheLimit) {
  platform::PendingActions pending;
  std::vector<uint32_t> tickets;
  for (size_t i = 0; i < platform::PendingActions::kLimit + 2; ++i) {
    tickets.push_back(pending.Add(std::u16string(1, static_cast<char16_t>(u'a' + i))));
  }
  EXPECT_EQ(std::set<uint32_t>(tickets.begin(), tickets.end()).size(), tickets.size());
  EXPECT_EQ(pending.Take(tickets[0]), std::nullopt);
  EXPECT_EQ(pending.Take(tickets[1]), std::nullopt);
  for (size_t i = 2; i < tickets.size(); ++i) {
    EXPECT_EQ(pending.Take(tickets[i]), std::u16string(1, static_cast<char16_t>(u'a' + i))) << i;
  }
}

}  // namespace
