// Whoever watches an install: the setup window redraws its directory page and the progress bar
// and lets each show before the work goes on; the silent road has nobody watching.
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
};

// The silent road: nothing to draw, nothing to wait for.
class NoObserver final : public InstallObserver {
 public:
  void RedrawDirectoryPage() override {}
  void ShowProgress(int, int) override {}
  void Pause() override {}
};

}  // namespace core
