#include "platform/accessible_parts.h"

namespace platform {
namespace {

bool Contains(const AccessiblePart& part, int x, int y) {
  return x >= part.left && x < part.right && y >= part.top && y < part.bottom;
}

}  // namespace

std::optional<size_t> PartOfChild(long child, size_t partCount) {
  if (child <= kPageChild || static_cast<unsigned long>(child) > partCount) return std::nullopt;
  return static_cast<size_t>(child - 1);
}

long ChildOfPart(size_t part) { return static_cast<long>(part) + 1; }

std::optional<size_t> PartAt(const AccessiblePage& page, int x, int y) {
  std::optional<size_t> text;
  for (size_t i = 0; i < page.parts.size(); ++i) {
    const AccessiblePart& part = page.parts[i];
    if (!Contains(part, x, y)) continue;
    if (part.role != AccessibleRole::StaticText) return i;
    if (!text) text = i;
  }
  return text;
}

std::optional<size_t> DefaultPartOf(const AccessiblePage& page) {
  for (size_t i = 0; i < page.parts.size(); ++i) {
    if (page.parts[i].isDefault) return i;
  }
  return std::nullopt;
}

std::optional<size_t> Navigate(std::optional<size_t> from, Navigation direction, size_t partCount) {
  switch (direction) {
    case Navigation::FirstChild:
      if (from || partCount == 0) return std::nullopt;
      return 0;
    case Navigation::LastChild:
      if (from || partCount == 0) return std::nullopt;
      return partCount - 1;
    case Navigation::Next:
      if (!from || *from + 1 >= partCount) return std::nullopt;
      return *from + 1;
    case Navigation::Previous:
      if (!from || *from == 0 || *from >= partCount) return std::nullopt;
      return *from - 1;
  }
  return std::nullopt;
}

uint32_t PendingActions::Add(std::u16string name) {
  if (pending_.size() >= kLimit) pending_.pop_front();
  const uint32_t ticket = next_;
  if (++next_ == 0) next_ = 1;
  pending_.emplace_back(ticket, std::move(name));
  return ticket;
}

std::optional<std::u16string> PendingActions::Take(uint32_t ticket) {
  for (auto it = pending_.begin(); it != pending_.end(); ++it) {
    if (it->first != ticket) continue;
    std::u16string name = std::move(it->second);
    pending_.erase(it);
    return name;
  }
  return std::nullopt;
}

}  // namespace platform
