// Engine-internal control of the process-wide command line that
// CefCommandLine::GetGlobalCommandLine() exposes read-only.

#ifndef ENGINE_SRC_BASE_COMMAND_LINE_GLOBAL_H_
#define ENGINE_SRC_BASE_COMMAND_LINE_GLOBAL_H_

#include "include/cef_command_line.h"

namespace cef_base {

// Replaces the global command line with a copy of |command_line|, for
// example after the application has added its switches.
void SetGlobalCommandLine(CefRefPtr<CefCommandLine> command_line);

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_COMMAND_LINE_GLOBAL_H_
