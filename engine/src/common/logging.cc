#include "common/logging.h"

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <sys/syscall.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "common/switches.h"
#include "include/base/cef_logging.h"

namespace cefengine {

namespace {

using cef::logging::LOG_ERROR;
using cef::logging::LOG_FATAL;
using cef::logging::LOG_INFO;
using cef::logging::LOG_WARNING;

std::atomic<int> g_min_level{LOG_INFO};
std::atomic<int> g_vlog_level{0};

std::mutex& LogMutex() {
  static std::mutex mutex;
  return mutex;
}

// Guarded by LogMutex().
int g_fd = -1;
std::string g_path;
bool g_initialized = false;

const char* BaseName(const char* path) {
  const char* slash = path ? strrchr(path, '/') : nullptr;
  return slash ? slash + 1 : (path ? path : "");
}

std::string SeverityName(int severity) {
  switch (severity) {
    case LOG_INFO:
      return "INFO";
    case LOG_WARNING:
      return "WARNING";
    case LOG_ERROR:
      return "ERROR";
    case LOG_FATAL:
      return "FATAL";
    default:
      if (severity < 0)
        return "VERBOSE" + std::to_string(-severity);
      return "UNKNOWN";
  }
}

// "[pid:tid:MMDD/HHMMSS.mmm:SEVERITY:file(line)] message\n"
std::string FormatRecord(const char* file,
                         int line,
                         int severity,
                         const char* message) {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  tm local;
  localtime_r(&now.tv_sec, &local);
  char prefix[96];
  snprintf(prefix, sizeof(prefix),
           "[%d:%ld:%02d%02d/%02d%02d%02d.%03ld:", static_cast<int>(getpid()),
           static_cast<long>(syscall(SYS_gettid)), local.tm_mon + 1,
           local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
           now.tv_nsec / 1000000);
  std::string record(prefix);
  record += SeverityName(severity);
  record += ':';
  record += BaseName(file);
  record += '(' + std::to_string(line) + ")] ";
  record += message ? message : "";
  if (record.empty() || record.back() != '\n')
    record += '\n';
  return record;
}

void WriteAll(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return;
    done += static_cast<size_t>(n);
  }
}

int ParseSeverity(const std::string& value, bool* disabled) {
  *disabled = false;
  std::string lower;
  for (char c : value)
    lower += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (lower == "verbose")
    return cef::logging::LOG_VERBOSE;
  if (lower == "warning")
    return LOG_WARNING;
  if (lower == "error")
    return LOG_ERROR;
  if (lower == "fatal")
    return LOG_FATAL;
  if (lower == "disable") {
    *disabled = true;
    return LOG_FATAL;
  }
  return LOG_INFO;
}

std::string ExecutableDir() {
  char buffer[4096];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof(buffer) - 1);
  if (n <= 0)
    return ".";
  std::string path(buffer, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

void QtMessageToLog(QtMsgType type,
                    const QMessageLogContext& context,
                    const QString& text) {
  int severity = LOG_INFO;
  switch (type) {
    case QtDebugMsg:
      // Qt's debug chatter is verbose level 1.
      if (g_vlog_level < 1)
        return;
      severity = cef::logging::LOG_VERBOSE;
      break;
    case QtInfoMsg:
      severity = LOG_INFO;
      break;
    case QtWarningMsg:
      severity = LOG_WARNING;
      break;
    case QtCriticalMsg:
      severity = LOG_ERROR;
      break;
    case QtFatalMsg:
      severity = LOG_FATAL;
      break;
  }
  if (severity >= 0 && severity < g_min_level)
    return;
  // Release builds of Qt carry no file names; the category says more.
  std::string source = context.file
                           ? context.file
                           : (context.category ? context.category : "qt");
  std::string message = text.toStdString();
  if (severity == LOG_FATAL) {
    // Qt aborts by itself once the handler returns; only record it.
    std::string record =
        FormatRecord(source.c_str(), context.line, severity, message.c_str());
    std::lock_guard<std::mutex> lock(LogMutex());
    if (g_fd >= 0)
      WriteAll(g_fd, record);
    WriteAll(STDERR_FILENO, record);
    return;
  }
  cef_log(source.c_str(), context.line, severity, message.c_str());
}

}  // namespace

void InitLogging(CefRefPtr<CefCommandLine> command_line) {
  bool disabled = false;
  const int min_level = ParseSeverity(
      command_line->GetSwitchValue(switches::kLogSeverity).ToString(),
      &disabled);
  int vlog = 0;
  const std::string v =
      command_line->GetSwitchValue(switches::kVerboseLevel).ToString();
  if (!v.empty())
    vlog = atoi(v.c_str());
  std::string path =
      command_line->GetSwitchValue(switches::kLogFile).ToString();
  if (path.empty())
    path = ExecutableDir() + "/debug.log";

  {
    std::lock_guard<std::mutex> lock(LogMutex());
    if (g_fd >= 0)
      close(g_fd);
    g_fd = -1;
    g_path.clear();
    if (!disabled) {
      g_fd =
          open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
      if (g_fd >= 0)
        g_path = path;
    }
    g_initialized = true;
  }
  // A verbose minimum also turns on VLOG(1).
  g_min_level = min_level;
  g_vlog_level = vlog > -min_level ? vlog : -min_level;
  if (!disabled && g_path.empty()) {
    cef_log(__FILE__, __LINE__, LOG_ERROR,
            ("Cannot open log file " + path + ": " + strerror(errno)).c_str());
  }
  qInstallMessageHandler(QtMessageToLog);
}

void ShutdownLogging() {
  qInstallMessageHandler(nullptr);
  std::lock_guard<std::mutex> lock(LogMutex());
  if (g_fd >= 0) {
    fdatasync(g_fd);
    close(g_fd);
  }
  g_fd = -1;
  g_path.clear();
  g_initialized = false;
}

std::string GetLogFilePath() {
  std::lock_guard<std::mutex> lock(LogMutex());
  return g_path;
}

}  // namespace cefengine

int cef_get_min_log_level(void) {
  return cefengine::g_min_level;
}

int cef_get_vlog_level(const char* file_start, size_t N) {
  return cefengine::g_vlog_level;
}

void cef_log(const char* file, int line, int severity, const char* message) {
  using namespace cefengine;
  // Records below the minimum are dropped even when a caller bypasses the
  // macros; verbose records were already checked against their level.
  if (severity >= 0 && severity < g_min_level && severity < LOG_FATAL)
    return;
  const std::string record = FormatRecord(file, line, severity, message);
  {
    std::lock_guard<std::mutex> lock(LogMutex());
    if (g_fd >= 0)
      WriteAll(g_fd, record);
    // Errors also reach stderr, as does everything before the log is set up.
    if (severity >= LOG_ERROR || !g_initialized)
      WriteAll(STDERR_FILENO, record);
  }
  if (severity == LOG_FATAL)
    abort();
}

namespace cef {
namespace logging {

LogMessage::LogMessage(const char* file, int line, LogSeverity severity)
    : severity_(severity), file_(file), line_(line) {}

LogMessage::LogMessage(const char* file, int line, std::string* result)
    : severity_(LOG_FATAL), file_(file), line_(line) {
  stream_ << "Check failed: " << *result;
  delete result;
}

LogMessage::LogMessage(const char* file,
                       int line,
                       LogSeverity severity,
                       std::string* result)
    : severity_(severity), file_(file), line_(line) {
  stream_ << "Check failed: " << *result;
  delete result;
}

LogMessage::~LogMessage() {
  const std::string text = stream_.str();
  cef_log(file_, line_, severity_, text.c_str());
}

SystemErrorCode GetLastSystemErrorCode() {
  return errno;
}

std::string SystemErrorCodeToString(SystemErrorCode error_code) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling |buffer|.
  const char* text = strerror_r(error_code, buffer, sizeof(buffer));
  return std::string(text) + " (" + std::to_string(error_code) + ")";
}

ErrnoLogMessage::ErrnoLogMessage(const char* file,
                                 int line,
                                 LogSeverity severity,
                                 SystemErrorCode err)
    : err_(err), log_message_(file, line, severity) {}

ErrnoLogMessage::~ErrnoLogMessage() {
  stream() << ": " << SystemErrorCodeToString(err_);
}

}  // namespace logging
}  // namespace cef
