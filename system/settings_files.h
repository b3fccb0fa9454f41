// The product's two settings files in the install directory: "wbpybz.tvh" (one fixed key) and
// "tvnetsj.dat" (the two web addresses of the address page and fixed network settings).
#pragma once
#include <cstddef>
#include <string>

#include "core/setup_state.h"

namespace sys {

// False when one of the two could not be written.
[[nodiscard]] bool WriteSettingsFiles(core::SetupState& s);
// The addresses of an earlier "tvnetsj.dat" for the address fields: ServerAddress1/2 read, and
// handed back as (unit, government); both empty when there is no such file.
void LoadServerAddresses(core::SetupState& s, std::string* unit, std::string* government);
// The same without a window: ServerAddress1/2 from an earlier "tvnetsj.dat"; false (both kept)
// when there is none.
bool ReadServerAddresses(core::SetupState& s);
// Fits the settings record (tvszsj43.tvh) to this system after a fresh install: traditional
// characters on a Big5 system, and the two bytes a first start must find cleared. The record of
// an earlier install that was kept (or left as it was) is the user's and stays. False when the
// record was there but could not be read, or could not be written.
[[nodiscard]] bool AdjustSettingsRecord(core::SetupState& s);
// The value after `key` in the first `length` bytes of `buffer`: up to the first byte of 0x20 or
// below, at most 250 bytes; empty when the key is absent.
std::string FindKeyValue(const char* buffer, size_t length, const std::string& key);

}  // namespace sys
