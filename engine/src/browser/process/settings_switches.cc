#include "browser/process/settings_switches.h"

#include <errno.h>
#include <stdlib.h>
#include <sys/stat.h>

#include "common/switches.h"
#include "include/base/cef_logging.h"

namespace cefengine {

namespace {

std::string ToString(const cef_string_t& value) {
  return CefString(&value).ToString();
}

// |path| without trailing separators; "/" stays as it is.
std::string WithoutTrailingSeparators(std::string path) {
  while (path.size() > 1 && path.back() == '/')
    path.pop_back();
  return path;
}

// Whether |path| is |dir| or lies inside it (both without trailing
// separators).
bool IsSameOrInside(const std::string& path, const std::string& dir) {
  return path == dir || path.rfind(dir + "/", 0) == 0;
}

void AppendIfMissing(CefRefPtr<CefCommandLine> command_line,
                     const char* name,
                     const std::string& value) {
  if (!command_line->HasSwitch(name))
    command_line->AppendSwitchWithValue(name, value);
}

}  // namespace

void ApplySettingsSwitches(const CefSettings& settings,
                           CefRefPtr<CefCommandLine> command_line) {
  if (settings.no_sandbox && !command_line->HasSwitch(switches::kNoSandbox))
    command_line->AppendSwitch(switches::kNoSandbox);
  if (settings.log_file.length > 0)
    AppendIfMissing(command_line, switches::kLogFile,
                    ToString(settings.log_file));
  const char* severity = nullptr;
  switch (settings.log_severity) {
    case LOGSEVERITY_VERBOSE:
      severity = "verbose";
      break;
    case LOGSEVERITY_INFO:
      severity = "info";
      break;
    case LOGSEVERITY_WARNING:
      severity = "warning";
      break;
    case LOGSEVERITY_ERROR:
      severity = "error";
      break;
    case LOGSEVERITY_FATAL:
      severity = "fatal";
      break;
    case LOGSEVERITY_DISABLE:
      severity = "disable";
      break;
    default:
      break;
  }
  if (severity)
    AppendIfMissing(command_line, switches::kLogSeverity, severity);
  if (settings.javascript_flags.length > 0)
    AppendIfMissing(command_line, "js-flags",
                    ToString(settings.javascript_flags));
  if (settings.locale.length > 0)
    AppendIfMissing(command_line, "lang", ToString(settings.locale));
  // Ports below 1024 (including 0) leave remote debugging off.
  if (settings.remote_debugging_port >= 1024 &&
      settings.remote_debugging_port <= 65535) {
    AppendIfMissing(command_line, switches::kRemoteDebuggingPort,
                    std::to_string(settings.remote_debugging_port));
  }
}

void DropRelativeCachePaths(CefSettings& settings) {
  const struct {
    cef_string_t* path;
    const char* name;
  } fields[] = {{&settings.root_cache_path, "root_cache_path"},
                {&settings.cache_path, "cache_path"}};
  for (const auto& field : fields) {
    const std::string path = ToString(*field.path);
    if (!path.empty() && path[0] != '/') {
      LOG(ERROR) << "The " << field.name << " directory (" << path
                 << ") is not an absolute path. Defaulting to empty.";
      CefString(field.path).clear();
    }
  }
  if (settings.root_cache_path.length == 0 && settings.cache_path.length > 0)
    CefString(&settings.root_cache_path) = ToString(settings.cache_path);
}

std::string ResolveRootCachePath(const CefSettings& settings) {
  std::string root = ToString(settings.root_cache_path);
  if (root.empty())
    root = ToString(settings.cache_path);
  if (root.empty()) {
    const char* home = getenv("HOME");
    root = std::string(home ? home : "") + "/.config/cef_user_data";
  }
  return WithoutTrailingSeparators(root);
}

std::string ResolveProfilePath(const CefSettings& settings,
                               const std::string& root) {
  const std::string cache =
      WithoutTrailingSeparators(ToString(settings.cache_path));
  if (cache.empty())
    return root;
  if (IsSameOrInside(cache, root))
    return cache;
  LOG(ERROR) << "cache_path " << cache << " is not inside root_cache_path "
             << root << "; using " << root << "/Default";
  return root + "/Default";
}

void CreateCachePath(const CefSettings& settings, const std::string& root) {
  const std::string cache =
      WithoutTrailingSeparators(ToString(settings.cache_path));
  if (cache.empty() || !IsSameOrInside(cache, root))
    return;
  if (!MakeDirs(cache))
    LOG(ERROR) << "The cache_path directory (" << cache
               << ") could not be created.";
}

bool MakeDirs(const std::string& dir) {
  if (dir.empty())
    return false;
  for (size_t pos = 1; pos <= dir.size(); ++pos) {
    if (pos != dir.size() && dir[pos] != '/')
      continue;
    const std::string part = dir.substr(0, pos);
    if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
      return false;
  }
  struct stat st;
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace cefengine
