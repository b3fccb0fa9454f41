// The message boxes as the install log sees them: every box is written to the log with its
// caption, text and answer, and on an unattended install (/SUPPRESSMSGBOXES) none is shown at all:
// a box on a machine nobody watches would wait for ever.
#pragma once
#include <cstdint>
#include <string>

#include "core/install_log.h"
#include "platform/dialogs.h"

namespace core {

class LoggedDialogs final : public platform::Dialogs {
 public:
  explicit LoggedDialogs(platform::Dialogs& shown) : shown_(shown) {}
  // The log the boxes go to (off until opened) and whether they are suppressed.
  void Attach(InstallLog& log, bool suppress) {
    log_ = &log;
    suppress_ = suppress;
  }

  int MessageA(const std::string& text, const std::string& caption, uint32_t type) override;
  int MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) override;

 private:
  int Answer(const std::string& textUtf8, const std::string& captionUtf8, uint32_t type, int shownAnswer);

  platform::Dialogs& shown_;
  InstallLog* log_ = nullptr;
  bool suppress_ = false;
};

// The answer a suppressed box takes: OK, and No to a question. The unattended road asks no
// question of its own (it keeps the user's data and adds no sentence library without asking),
// so a No never decides anything there that an answer could have changed.
int SuppressedAnswer(uint32_t type);
// "OK", "Yes", "No" or the number.
std::string AnswerName(int answer);

}  // namespace core
