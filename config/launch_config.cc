// Finding the backend release named by the data directory's manifests.

#include "config/launch_config.h"

#include <sys/stat.h>

#include <filesystem>
#include <vector>

#include "app/data_paths.h"

namespace {

constexpr char kProduction[] = "production";
constexpr char kBeta[] = "beta";

std::string Trim(const std::string& text) {
  static constexpr char kBlank[] = " \t\r\n";
  size_t first = text.find_first_not_of(kBlank);
  if (first == std::string::npos) {
    return std::string();
  }
  size_t last = text.find_last_not_of(kBlank);
  return text.substr(first, last - first + 1);
}

// The test channel runs beta releases.
std::string ManifestName(const std::string& environmentName) {
  if (environmentName.empty() || environmentName == kProduction) {
    return kProduction;
  }
  if (environmentName == kBeta || environmentName == "test") {
    return kBeta;
  }
  return environmentName;
}

std::string ParentDir(const std::string& path) {
  return std::filesystem::path(path).parent_path().string();
}

// Any kind of object counts; launching it is the launcher's business.
bool Exists(const std::string& path) {
  struct stat info;
  return !path.empty() && stat(path.c_str(), &info) == 0;
}

std::string RuntimeDirUnder(const std::string& dir) {
  return JoinPath(JoinPath(dir, ".korvel-cn"), "runtime");
}

// Follows manifest -> entry description -> executable. True with `config`
// filled when the executable exists.
bool TryManifest(const std::string& candidateDir,
                 const std::string& manifestPath,
                 LaunchConfig& config) {
  CefRefPtr<CefDictionaryValue> manifest;
  if (!LoadJsonObject(manifestPath, manifest)) {
    return false;
  }
  if (!manifest->HasKey("entryPath") ||
      manifest->GetType("entryPath") != VTYPE_STRING) {
    return false;
  }
  const std::string entryPath =
      JoinPath(candidateDir, manifest->GetString("entryPath").ToString());
  CefRefPtr<CefDictionaryValue> entry;
  if (!LoadJsonObject(entryPath, entry)) {
    return false;
  }
  if (!entry->HasKey("relativeExecutable") ||
      entry->GetType("relativeExecutable") != VTYPE_STRING) {
    return false;
  }
  const std::string executable = JoinPath(
      ParentDir(entryPath), entry->GetString("relativeExecutable").ToString());
  if (!Exists(executable)) {
    return false;
  }
  config.found = true;
  config.executable = executable;
  if (manifest->HasKey("version") &&
      manifest->GetType("version") == VTYPE_INT) {
    config.version = manifest->GetInt("version");
  }
  return true;
}

}  // namespace

std::string GetEnvironmentName(const std::string& dataDir) {
  std::string text;
  if (!ReadFileTextUpTo(JoinPath(dataDir, ".env"), kMaxConfigFileBytes, text)) {
    return kProduction;
  }
  std::string name = Trim(text);
  return name.empty() ? kProduction : name;
}

std::string GetEnvironmentName() {
  return GetEnvironmentName(GetDataDir());
}

std::string GetRuntimeDir(const std::string& dataDir) {
  return RuntimeDirUnder(dataDir);
}

std::string GetRuntimeDir() {
  return GetRuntimeDir(GetDataDir());
}

LaunchConfig LoadLaunchConfig(const std::string& dataDir) {
  const std::string environmentName = GetEnvironmentName(dataDir);
  const std::string manifestName = ManifestName(environmentName);
  const std::string runtimeDir = GetRuntimeDir(dataDir);

  std::vector<std::string> candidateDirs = {runtimeDir};
  if (!environmentName.empty() && environmentName != kProduction) {
    std::string environmentDir =
        RuntimeDirUnder(JoinPath(dataDir, environmentName));
    if (environmentDir != runtimeDir) {
      candidateDirs.push_back(environmentDir);
    }
  }

  for (const std::string& dir : candidateDirs) {
    std::vector<std::string> manifests;
    // Only the shared runtime directory carries per-channel manifests; a
    // beta user falls back to the production release there.
    if (dir == GetRuntimeDir(dataDir)) {
      manifests.push_back(JoinPath(dir, "current." + manifestName + ".json"));
      if (manifestName == kBeta) {
        manifests.push_back(JoinPath(dir, "current.production.json"));
      }
    }
    manifests.push_back(JoinPath(dir, "current.json"));

    for (const std::string& manifest : manifests) {
      LaunchConfig config;
      if (TryManifest(dir, manifest, config)) {
        return config;
      }
    }
  }
  return LaunchConfig();
}

LaunchConfig LoadLaunchConfig() {
  return LoadLaunchConfig(GetDataDir());
}

int32_t GetBackendVersion() {
  LaunchConfig config = LoadLaunchConfig();
  if (config.found && config.version > kClientBuildNumber) {
    return config.version;
  }
  return kClientBuildNumber;
}
