#include "flow/placed_programs.h"

#include <algorithm>
#include <vector>

#include "archive/archive_reader.h"
#include "core/path_format.h"
#include "flow/payload_files.h"
#include "flow/texts.h"
#include "platform/constants.h"
#include "platform/files.h"

namespace flow {
namespace {

// Where the install directory's file of this name comes from.
Source SourceOf(core::SetupState& s, const std::string& name) {
  if (name == text::kCompanionName) return Source{text::kCompanionName, true};
  if (name == text::kMainProgramName) return Source{MainProgramEntry(s)};
  if (name == text::kModuleCopy) return Source{text::kModuleName};
  return Source{nullptr};
}

// Whether the open file holds exactly the bytes the setup placed under `name`.
bool HoldsPlacedBytes(core::SetupState& s, platform::File& file, const std::string& name) {
  Source source = SourceOf(s, name);
  if (!source.entry) source.entry = name.c_str();
  std::string expected, found;
  long size = platform::FileSize(file);
  if (!PayloadBytes(s, source, &expected) || size != static_cast<long>(expected.size())) return false;
  found.resize(expected.size());
  long n = found.empty() ? 0 : file.Read(found.data(), static_cast<unsigned long>(found.size()));
  return n == size && found == expected;
}

}  // namespace

void ProtectPlacedPrograms(core::SetupState& s, core::InstallReport& report) {
  std::vector<std::string> names = archive::PayloadEntryNames(s);
  names.push_back(text::kMainProgramName);
  names.push_back(text::kModuleCopy);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  for (const std::string& name : names) {
    if (archive::IsDataFileName(name) || name.rfind("tavo32", 0) == 0 || name.rfind("tavo64", 0) == 0) continue;
    const std::string path = InInstallDir(s, name.c_str());
    if (!IsFile(s, path) || platform::IsLink(s.os.files, path)) continue;
    bool restricted = s.os.files.RestrictToReadAndRun(path);
    s.Log.Step("let the users only read and run", path, restricted);
    if (!restricted) {
      ++report.entriesFailed;
      continue;
    }
    auto file = s.os.files.Open(path, platform::OpenMode::Read);
    if (!file || !HoldsPlacedBytes(s, *file, name)) {
      s.Log.Step("check against the payload", path, false);
      ++report.copyFailures;
      ShowCopyFailed(s, path);
    }
  }
}

void StartPlacedProgram(core::SetupState& s, core::InstallReport& report, const char* name,
                        const std::string& arguments) {
  const std::string program = InInstallDir(s, name);
  // Held from here until it has started: whoever can write to the install directory can neither
  // change it nor put another file in its place after it was checked.
  auto held = program.empty() ? nullptr : s.os.files.Open(program, platform::OpenMode::ReadHeld);
  const std::string commandLine = core::QuoteProgram(program) + " " + arguments;
  if (!held || !HoldsPlacedBytes(s, *held, name)) {
    s.Log.Step("start (the file is not the one the setup placed)", commandLine, false);
    ++report.copyFailures;
    ShowCopyFailed(s, program);
    return;
  }
  const bool started = s.os.processes.StartHeld(program, commandLine, platform::kSwShow, std::move(held));
  s.Log.Step("start", commandLine, started);
  if (!started) ++report.startsFailed;
}

}  // namespace flow
