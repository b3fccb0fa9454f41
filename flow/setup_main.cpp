#include "flow/setup_main.h"

#include "core/logged_dialogs.h"
#include "flow/deploy_options.h"
#include "flow/interactive_road.h"
#include "flow/register_road.h"
#include "flow/silent_road.h"
#include "flow/startup.h"
#include "flow/texts.h"
#include "platform/unchecked.h"

namespace flow {

int SetupMain(platform::Platform& os, std::string_view commandLine, int showCommand) {
  DeployOptions options = ReadDeployOptions(commandLine);
  bool silentAsked = ContainsSwitch(options.switches, text::kSwitchSilent);
  core::LoggedDialogs dialogs(os.dialogs);
  platform::Platform routed{os.files, os.registry, os.system, os.ime, os.processes, os.resources, dialogs, os.windows};
  core::SetupState s(routed);
  // A log that cannot be written is left out; the install goes on as without the switch.
  if (options.logGiven) platform::Unchecked(s.Log.Open(os.files, os.system, options.logFile));
  dialogs.Attach(s.Log, silentAsked && options.suppressBoxes);

  int code = 0;
  switch (StartUp(s, options)) {
    case Road::Silent:
      code = RunSilentRoad(s);
      break;
    case Road::Interactive:
      code = RunInteractiveRoad(s, showCommand);
      break;
    case Road::BadTargetDir:
      code = kExitBadTargetDir;
      break;
    case Road::Refused:
      // A script that asked for a silent install must not read the refusal as success.
      code = silentAsked ? kExitNoAdminRights : 0;
      break;
    case Road::RegisterOnly:
      code = RunRegisterRoad(s, options.switches);
      break;
  }
  s.Log.Line("exit code " + std::to_string(code));
  return code;
}

}  // namespace flow
