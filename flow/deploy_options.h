// The switches of an unattended deployment, read off the command line before anything else:
// /D=DIR (the rest of the line, blanks included), /LOG=FILE and /SUPPRESSMSGBOXES. Every other
// switch is looked for in what is left: the text before /D= without the /LOG= part, so that a
// directory or log name holding "regtv32" or "settvsrf32" turns on no road.
#pragma once
#include <string>
#include <string_view>

namespace flow {

struct DeployOptions {
  std::string switches;  // where the road's switches are looked for
  bool targetGiven = false;
  std::string targetDir;  // the bytes after /D=, unjudged
  bool logGiven = false;
  std::string logFile;
  bool suppressBoxes = false;
};

// /D= counts at the start of the line or after a blank, in capitals as NSIS writes it; /LOG= and
// /SUPPRESSMSGBOXES in either case, /LOG= after the start or a blank. FILE runs to the next blank,
// or between double quotes when it opens with one (to the end when the quote is never closed).
DeployOptions ReadDeployOptions(std::string_view commandLine);

}  // namespace flow
