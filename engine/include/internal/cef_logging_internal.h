// C entry points behind the logging macros of include/base/cef_logging.h.

#ifndef CEF_INCLUDE_INTERNAL_CEF_LOGGING_INTERNAL_H_
#define CEF_INCLUDE_INTERNAL_CEF_LOGGING_INTERNAL_H_
#pragma once

#include <stddef.h>

#include "include/internal/cef_export.h"

#ifdef __cplusplus
extern "C" {
#endif

// The minimum severity that reaches the log (LOG_INFO = 0 ... LOG_FATAL = 3).
CEF_EXPORT int cef_get_min_log_level(void);

// The verbose level for source file |file_start| (usually __FILE__), whose
// size including the terminating zero is |N|.
CEF_EXPORT int cef_get_vlog_level(const char* file_start, size_t N);

// Writes one record of |severity| attributed to |file| and |line|.
CEF_EXPORT void cef_log(const char* file,
                        int line,
                        int severity,
                        const char* message);

#ifdef __cplusplus
}
#endif

#endif  // CEF_INCLUDE_INTERNAL_CEF_LOGGING_INTERNAL_H_
