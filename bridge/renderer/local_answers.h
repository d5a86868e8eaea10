// What the page's native functions answer without the browser process.
// Plain functions of the process's state, tested on their own.

#ifndef KORVEL_BRIDGE_RENDERER_LOCAL_ANSWERS_H_
#define KORVEL_BRIDGE_RENDERER_LOCAL_ANSWERS_H_

#include <string>

#include "include/cef_command_line.h"

// The JSON record {"commandLine", "argv", "switches"} of `commandLine`.
std::string LaunchArgsJson(CefRefPtr<CefCommandLine> commandLine);

// The machine's host name, or "" when it cannot be read.
std::string HostName();

#endif  // KORVEL_BRIDGE_RENDERER_LOCAL_ANSWERS_H_
