// Where Windows keeps a keyboard-layout preload list: on the NT family the values "1" to "49" of
// one key, on the 9x family the subkeys "1" to "49", each with its identifier in its default value.
// The list's logic reads and writes places through this, whichever of the two is behind it.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "core/setup_state.h"

namespace sys {

// What one place of a list holds.
enum class PreloadPlace {
  Absent,      // no such place: the list ends before it
  Unreadable,  // the place is there but cannot be read, or its text does not fit the buffer
  Blank,       // 9x: the place's key opens, but its identifier cannot be read
  Listed,      // the identifier was read
};

class PreloadStore {
 public:
  virtual ~PreloadStore() = default;
  // Place `place` (from 1) read with a buffer of bufferBytes; `id` gets the text up to its NUL
  // when Listed, and is left as it was otherwise.
  virtual PreloadPlace Read(size_t place, uint32_t bufferBytes, std::string* id) = 0;
  // Stores `id` at `place`, making the place when it is not there; a failure is not reported, as
  // a list Windows keeps is only ever improved, never needed whole.
  virtual void Write(size_t place, const std::string& id) = 0;
  virtual void Remove(size_t place) = 0;
};

enum class PreloadOpen {
  Opened,
  NoList,  // the keyboard-layout key is there, its list does not open: nothing to read or to change
  Failed,  // the keyboard-layout key itself does not open
};

// The current user's list, in the form of the running Windows family.
PreloadOpen OpenUserPreload(core::SetupState& s, std::unique_ptr<PreloadStore>* store);
// The default user's list; only the NT family has one.
PreloadOpen OpenDefaultUserPreload(core::SetupState& s, std::unique_ptr<PreloadStore>* store);

// Layout identifiers are hexadecimal text that the lists spell in either letter case.
bool SameLayoutId(std::string_view a, std::string_view b);

}  // namespace sys
