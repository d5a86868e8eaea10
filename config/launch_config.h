#ifndef KORVEL_CONFIG_LAUNCH_CONFIG_H_
#define KORVEL_CONFIG_LAUNCH_CONFIG_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "include/cef_values.h"

// The shell's own build number; also the floor of the reported client version.
constexpr int32_t kClientBuildNumber = 505;

// The largest environment file, manifest or entry description that is read.
// Real ones are a few hundred bytes; anything far larger is not one of ours.
constexpr size_t kMaxConfigFileBytes = 4u << 20;

// The backend release found under the data directory.
struct LaunchConfig {
  bool found = false;
  int32_t version = kClientBuildNumber;
  std::string executable;
};

// Reads the environment file and the release manifests afresh and returns
// the first release whose executable exists. Silent on every failure.
LaunchConfig LoadLaunchConfig();
// The same for an explicit data directory; an empty one means paths relative
// to the working directory, as for a user without a password entry.
LaunchConfig LoadLaunchConfig(const std::string& dataDir);

// The manifest's version when a release was found and it exceeds the build
// number, otherwise the build number.
int32_t GetBackendVersion();

// The trimmed content of the data directory's ".env", or "production".
std::string GetEnvironmentName();
std::string GetEnvironmentName(const std::string& dataDir);

// The data directory joined with ".korvel-cn" and "runtime".
std::string GetRuntimeDir();
std::string GetRuntimeDir(const std::string& dataDir);

// Reads a regular file of at most `maxBytes` into `out`. False for a missing
// or unreadable file, for anything that is not a regular file (a FIFO would
// block, a device may never end) and for a larger file.
bool ReadFileTextUpTo(const std::string& path,
                      size_t maxBytes,
                      std::string& out);

// True when the file is non-empty, at most kMaxConfigFileBytes long, strict
// JSON and its top-level value is an object; `out` then holds that object.
bool LoadJsonObject(const std::string& path,
                    CefRefPtr<CefDictionaryValue>& out);

#endif  // KORVEL_CONFIG_LAUNCH_CONFIG_H_
