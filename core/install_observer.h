// Whoever watches an install: the setup window redraws its directory page and the progress bar,
// lets each show before the work goes on, and puts the install's two questions to the user; on
// the silent road nobody watches and the questions have their fixed answers.
#pragma once

namespace core {

class InstallObserver {
 public:
  virtual ~InstallObserver() = default;
  // The directory page again, over whatever a message box left on it.
  virtual void RedrawDirectoryPage() = 0;
  virtual void ShowProgress(int done, int total) = 0;
  // A short wait that lets what was just drawn show.
  virtual void Pause() = 0;
  // Whether the user's own data of the earlier install go back over the fresh files. Asked only
  // after a whole unpack, when this run packed them.
  virtual bool KeepEarlierData() = 0;
  // Whether the main program starts now to add the sentence library.
  virtual bool AddSentenceLibrary() = 0;
};

// The silent road: nothing to draw or wait for; the user's data are kept, as a Yes keeps them, and
// the sentence library is left for the user to add later.
class SilentObserver final : public InstallObserver {
 public:
  void RedrawDirectoryPage() override {}
  void ShowProgress(int, int) override {}
  void Pause() override {}
  bool KeepEarlierData() override { return true; }
  bool AddSentenceLibrary() override { return false; }
};

}  // namespace core
