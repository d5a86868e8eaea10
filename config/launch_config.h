#ifndef KORVEL_CONFIG_LAUNCH_CONFIG_H_
#define KORVEL_CONFIG_LAUNCH_CONFIG_H_

#include <cstdint>
#include <string>

#include "include/cef_values.h"

// The shell's own build number; also the floor of the reported client version.
constexpr int32_t kClientBuildNumber = 505;

// The backend release found under the data directory.
struct LaunchConfig {
  bool found = false;
  int32_t version = kClientBuildNumber;
  std::string executable;
};

// Reads the environment file and the release manifests afresh and returns
// the first release whose executable exists. Silent on every failure.
LaunchConfig LoadLaunchConfig();

// The manifest's version when a release was found and it exceeds the build
// number, otherwise the build number.
int32_t GetBackendVersion();

// The trimmed content of the data directory's ".env", or "production".
std::string GetEnvironmentName();

// The data directory joined with ".korvel-cn" and "runtime".
std::string GetRuntimeDir();

// The whole file, or an empty string when it cannot be opened.
std::string ReadFileText(const std::string& path);

// True when the file is non-empty, strict JSON and its top-level value is an
// object; `out` then holds that object.
bool LoadJsonObject(const std::string& path,
                    CefRefPtr<CefDictionaryValue>& out);

#endif  // KORVEL_CONFIG_LAUNCH_CONFIG_H_
