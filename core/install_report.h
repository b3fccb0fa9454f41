// What one install did, as the install flow hands it back: how it ended, whether the payload was
// unpacked whole, and how many files could not be copied. The silent road's exit code and the
// window's last message are read from it.
#pragma once

namespace core {

enum class InstallOutcome { Done, OldImeLocked };

struct InstallReport {
  InstallOutcome outcome = InstallOutcome::Done;
  bool unpackComplete = true;
  int copyFailures = 0;
  // Install-path stores, settings files and registry entries of the product that could not be
  // written.
  int entriesFailed = 0;
  // Programs the install starts (the 64-bit companion that registers the 64-bit module, the main
  // program) that the system did not start.
  int startsFailed = 0;
};

}  // namespace core
