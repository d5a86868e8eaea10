// The engine's log: records of cef_log() and the LOG macros, and Qt's own
// messages, written to one file shared by the engine's processes.

#ifndef CEFENGINE_COMMON_LOGGING_H_
#define CEFENGINE_COMMON_LOGGING_H_

#include <string>

#include "include/cef_command_line.h"

namespace cefengine {

// Configures the log from the "log-file", "log-severity" and "v" switches
// of |command_line|. Without "log-file" the log goes to "debug.log" next to
// the executable. Also routes Qt's messages into the log.
void InitLogging(CefRefPtr<CefCommandLine> command_line);

// Flushes and closes the log file; later records go to stderr only when
// they are errors.
void ShutdownLogging();

// The path records are written to, empty when logging is disabled.
std::string GetLogFilePath();

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_LOGGING_H_
