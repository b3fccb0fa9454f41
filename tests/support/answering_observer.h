// An install observer that answers the install's two questions as a user of the window would and
// notes which were put to it. Tests derive from it to act at the install's pauses.
#pragma once
#include <string>
#include <vector>

#include "core/install_observer.h"

namespace testing_support {

class AnsweringObserver : public core::InstallObserver {
 public:
  explicit AnsweringObserver(bool keepAnswer = true, bool libraryAnswer = false)
      : keep(keepAnswer), library(libraryAnswer) {}
  void RedrawDirectoryPage() override {}
  void ShowProgress(int, int) override {}
  void Pause() override {}
  bool KeepEarlierData() override {
    asked.push_back("keep the earlier data");
    return keep;
  }
  bool AddSentenceLibrary() override {
    asked.push_back("add the sentence library");
    return library;
  }

  bool keep;
  bool library;
  std::vector<std::string> asked;
};

}  // namespace testing_support
