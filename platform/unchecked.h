// Marks a call whose result the setup does not act on, so that the reader sees it was meant: a
// failure there shows in a later step (a file that cannot be read back, the installation check)
// instead of stopping this one.
#pragma once

namespace platform {

template <typename Result>
constexpr void Unchecked(const Result&) {}

}  // namespace platform
