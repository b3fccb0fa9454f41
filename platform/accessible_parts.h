// What the setup window's accessible object works out without asking Windows: which part a child
// id, a point or a navigation names, and the default actions on their way through the message loop.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <utility>

#include "platform/window.h"

namespace platform {

// Child ids as Active Accessibility counts them: 0 is the page itself, 1..N its parts.
constexpr long kPageChild = 0;
// The part a child id names; nullopt for the page itself and for ids beyond the parts.
std::optional<size_t> PartOfChild(long child, size_t partCount);
long ChildOfPart(size_t part);

// The part under a point of the client area, edges taken as a RECT's (left and top inside, right
// and bottom outside). A text's line runs to the window's right edge, so a button or field wins
// over a text under it; nullopt when the point is on no part.
std::optional<size_t> PartAt(const AccessiblePage& page, int x, int y);

// The part Enter presses while the window has the focus.
std::optional<size_t> DefaultPartOf(const AccessiblePage& page);

// Among the parts in reading order. Next and Previous go from a part; FirstChild and LastChild
// from the page. nullopt when there is nothing in that direction.
enum class Navigation { FirstChild, LastChild, Next, Previous };
std::optional<size_t> Navigate(std::optional<size_t> from, Navigation direction, size_t partCount);

// Default actions a reader asked for that wait for the message loop: each gets a ticket that goes
// out with the posted message and brings back the name the part had when it was asked for.
class PendingActions {
 public:
  // Never 0, so that a message nobody posted through here names nothing.
  uint32_t Add(std::u16string name);
  // The name kept under `ticket`, once; nullopt for a ticket not given out or already taken.
  std::optional<std::u16string> Take(uint32_t ticket);

  // A message that never arrives (its window gone before the loop reached it) must not keep its
  // name for ever: past this many the oldest are forgotten.
  static constexpr size_t kLimit = 16;

 private:
  std::deque<std::pair<uint32_t, std::u16string>> pending_;
  uint32_t next_ = 1;
};

}  // namespace platform
