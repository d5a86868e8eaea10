// Which role the engine gave this start of the executable.

#ifndef KORVEL_APP_PROCESS_ROLE_H_
#define KORVEL_APP_PROCESS_ROLE_H_

#include "include/cef_command_line.h"

enum class ProcessRole {
  // No "type" switch: the process the user started.
  Browser = 0,
  // "renderer" or "zygote".
  Renderer = 1,
  // Any other type: GPU, utility and the like.
  Other = 2,
};

ProcessRole GetProcessRole(CefRefPtr<CefCommandLine> commandLine);

#endif  // KORVEL_APP_PROCESS_ROLE_H_
