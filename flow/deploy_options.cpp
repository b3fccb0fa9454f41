#include "flow/deploy_options.h"

#include "flow/startup.h"
#include "flow/texts.h"
#include "platform/ansi_text.h"

namespace flow {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The first place `keyword` starts at the beginning of `text` or after a blank; npos when none.
// Blanks, '/' and '=' are never the second byte of a GBK or Big5 character, so a byte scan
// cannot match inside one. "/D=" in capitals matches only capitals, "/log=" either case.
size_t FindAtWordStart(std::string_view text, std::string_view keyword) {
  return platform::FindKeywordAtWordStart(text, keyword, platform::kCodePageAscii);
}

}  // namespace

DeployOptions ReadDeployOptions(std::string_view commandLine) {
  DeployOptions options;
  std::string_view head = commandLine;
  size_t target = FindAtWordStart(commandLine, text::kSwitchTargetDir);
  if (target != std::string_view::npos) {
    options.targetGiven = true;
    options.targetDir = std::string(commandLine.substr(target + std::string_view(text::kSwitchTargetDir).size()));
    head = commandLine.substr(0, target);
  }

  std::string switches(head);
  size_t log = FindAtWordStart(head, text::kSwitchLog);
  if (log != std::string_view::npos) {
    options.logGiven = true;
    size_t from = log + std::string_view(text::kSwitchLog).size();
    size_t end = from;
    if (from < head.size() && head[from] == '"') {
      size_t close = head.find('"', from + 1);
      options.logFile = std::string(head.substr(from + 1, close == std::string_view::npos ? close : close - from - 1));
      end = close == std::string_view::npos ? head.size() : close + 1;
    } else {
      while (end < head.size() && !IsBlank(head[end])) ++end;
      options.logFile = std::string(head.substr(from, end - from));
    }
    switches = std::string(head.substr(0, log)) + std::string(head.substr(end));
  }
  options.switches = switches;
  options.suppressBoxes = ContainsSwitch(switches, text::kSwitchSuppressBoxes);
  return options;
}

}  // namespace flow
