// Everything the setup logic asks of the system, as one bundle of the small interfaces. The real
// bundle wraps Win32; the fake one keeps a whole machine in memory for the host tests.
#pragma once
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/input_methods.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/system_info.h"
#include "platform/window.h"

namespace platform {

struct Platform {
  Files& files;
  Registry& registry;
  SystemInfo& system;
  InputMethods& ime;
  Processes& processes;
  Resources& resources;
  Dialogs& dialogs;
  Windows& windows;
};

}  // namespace platform
