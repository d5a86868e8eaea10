// The launch configuration: the environment file, a release manifest and
// its entry description, written into a data directory of the fuzzer's own.

#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/launch_config.h"
#include "fuzz/fuzz_check.h"

namespace {

// A temporary data directory with an executable "backend" in its runtime
// directory, removed when the fuzzer exits.
class DataDir {
 public:
  DataDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern =
        std::string(tmp && *tmp ? tmp : "/tmp") + "/korvel-fuzz-config-XXXXXX";
    FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr);
    path_ = pattern;
    runtime_ = path_ + "/.korvel-cn/runtime";
    std::filesystem::create_directories(runtime_);
    Write(runtime_ + "/backend", "#!/bin/sh\n");
    FUZZ_CHECK(chmod((runtime_ + "/backend").c_str(), 0755) == 0);
  }
  ~DataDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }

  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }

  const std::string& path() const { return path_; }
  const std::string& runtime() const { return runtime_; }

 private:
  std::string path_;
  std::string runtime_;
};

bool Blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static DataDir dir;
  FuzzedDataProvider input(data, size);
  const std::string environment = input.ConsumeRandomLengthString(64);
  const std::string manifest = input.ConsumeRandomLengthString(1024);
  const std::string entry = input.ConsumeRemainingBytesAsString();
  DataDir::Write(dir.path() + "/.env", environment);
  DataDir::Write(dir.runtime() + "/current.json", manifest);
  DataDir::Write(dir.runtime() + "/entry.json", entry);

  const std::string name = GetEnvironmentName(dir.path());
  FUZZ_CHECK(!name.empty());
  FUZZ_CHECK(!Blank(name.front()) && !Blank(name.back()));

  CefRefPtr<CefDictionaryValue> object;
  if (LoadJsonObject(dir.runtime() + "/current.json", object)) {
    FUZZ_CHECK(object && !manifest.empty());
  }

  const LaunchConfig config = LoadLaunchConfig(dir.path());
  if (config.found) {
    struct stat info;
    FUZZ_CHECK(!config.executable.empty());
    FUZZ_CHECK(stat(config.executable.c_str(), &info) == 0);
  } else {
    FUZZ_CHECK(config.version == kClientBuildNumber);
  }
  return 0;
}
