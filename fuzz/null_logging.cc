// Log messages of the code under test go nowhere, but a fatal one ends the
// run as the engine's would: the engine's log sink lives with its browser
// parts, which the fuzz targets do not link.

#include <cstdio>
#include <cstdlib>

#include "include/base/cef_logging.h"

// Above every severity, so that the log macros skip their messages.
int cef_get_min_log_level(void) {
  return cef::logging::LOG_FATAL + 1;
}

int cef_get_vlog_level(const char* file_start, size_t N) {
  return 0;
}

namespace cef {
namespace logging {

LogMessage::LogMessage(const char* file, int line, LogSeverity severity)
    : severity_(severity), file_(file), line_(line) {}

LogMessage::LogMessage(const char* file, int line, std::string* result)
    : severity_(LOG_FATAL), file_(file), line_(line) {
  stream_ << *result;
  delete result;
}

LogMessage::LogMessage(const char* file,
                       int line,
                       LogSeverity severity,
                       std::string* result)
    : severity_(severity), file_(file), line_(line) {
  stream_ << *result;
  delete result;
}

LogMessage::~LogMessage() {
  if (severity_ == LOG_FATAL) {
    std::fprintf(stderr, "%s:%d: %s\n", file_, line_, stream_.str().c_str());
    std::abort();
  }
}

}  // namespace logging
}  // namespace cef
