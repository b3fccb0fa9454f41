#include "core/logged_dialogs.h"

#include "platform/constants.h"
#include "platform/utf8.h"

namespace core {

namespace {

// A box's text may run over several lines; the log keeps one line per box.
std::string OneLine(std::string text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out.push_back(c == '\n' ? ' ' : c);
  }
  return out;
}

}  // namespace

int SuppressedAnswer(uint32_t type) { return (type & 0xF) == platform::kMbYesNo ? platform::kIdNo : platform::kIdOk; }

std::string AnswerName(int answer) {
  switch (answer) {
    case platform::kIdOk:
      return "OK";
    case platform::kIdYes:
      return "Yes";
    case platform::kIdNo:
      return "No";
    default:
      return std::to_string(answer);
  }
}

int LoggedDialogs::Answer(const std::string& textUtf8, const std::string& captionUtf8, uint32_t type, int shownAnswer) {
  int answer = suppress_ ? SuppressedAnswer(type) : shownAnswer;
  if (log_) {
    log_->Line(std::string(suppress_ ? "message box suppressed" : "message box") + " [" + captionUtf8 + "] " +
               OneLine(textUtf8) + ": " + AnswerName(answer));
  }
  return answer;
}

int LoggedDialogs::MessageA(const std::string& text, const std::string& caption, uint32_t type) {
  int shown = suppress_ ? 0 : shown_.MessageA(text, caption, type);
  if (!log_ || !log_->IsOn()) return suppress_ ? SuppressedAnswer(type) : shown;
  return Answer(log_->Ansi(text), log_->Ansi(caption), type, shown);
}

int LoggedDialogs::MessageW(const std::u16string& text, const std::u16string& caption, uint32_t type) {
  int shown = suppress_ ? 0 : shown_.MessageW(text, caption, type);
  if (!log_ || !log_->IsOn()) return suppress_ ? SuppressedAnswer(type) : shown;
  return Answer(platform::Utf8(text), platform::Utf8(caption), type, shown);
}

}  // namespace core
