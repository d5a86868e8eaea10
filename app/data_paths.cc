#include "app/data_paths.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <vector>

#include "include/internal/cef_string.h"

namespace {

std::mutex& OverrideMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& OverrideDir() {
  static std::string dir;
  return dir;
}

// Reads the home directory of the real user into `home`; false when the user
// has no password entry. getpwuid_r rather than getpwuid because the launcher
// thread may ask while another thread does the same.
bool LookUpRealUserHome(std::string& home) {
  long hint = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(hint > 0 ? static_cast<size_t>(hint) : 1024);
  for (;;) {
    passwd entry;
    passwd* result = nullptr;
    int error =
        getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result);
    if (error == ERANGE && buffer.size() < (1u << 20)) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (error != 0 || !result) {
      return false;
    }
    home = result->pw_dir ? result->pw_dir : "";
    return true;
  }
}

// Converts UTF-8 into the engine's string type, replacing what `field` held.
// The C call rather than a CefString referring to the field: GCC 12 at -O2
// cannot see that such a wrapper never owns the field and rejects the build.
void SetSettingsString(cef_string_t& field, const std::string& value) {
  cef_string_from_utf8(value.data(), value.size(), &field);
}

}  // namespace

std::string GetDataDir() {
  {
    std::lock_guard<std::mutex> lock(OverrideMutex());
    if (!OverrideDir().empty()) {
      return OverrideDir();
    }
  }
  std::string home;
  if (!LookUpRealUserHome(home)) {
    return std::string();
  }
  // Taken as stored: a home ending in "/" gives a doubled separator, which
  // the kernel reads as one.
  return home + "/.korvel";
}

std::string JoinPath(const std::string& left, const std::string& right) {
  std::string joined = left;
  if (!left.empty() && left.back() != '/' && !right.empty() &&
      right.front() != '/') {
    joined += '/';
  }
  joined += right;
  return joined;
}

void FillEngineSettings(const std::string& dataDir, CefSettings& settings) {
  const std::string cacheRoot = JoinPath(dataDir, "cache");
  const std::string logPath = JoinPath(dataDir, "korvel.log");
  SetSettingsString(settings.root_cache_path, cacheRoot);
  SetSettingsString(settings.cache_path, JoinPath(cacheRoot, "app"));
  SetSettingsString(settings.log_file, logPath);
  settings.no_sandbox = true;
  settings.remote_debugging_port = 0;
}

void SetDataDirForTesting(const std::string& dir) {
  std::lock_guard<std::mutex> lock(OverrideMutex());
  OverrideDir() = dir;
}
