#include "tests/support/engine_harness/temp_dir.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

namespace engine_test {

TempDir::TempDir(const std::string& prefix) {
  const std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data())) {
    path_ = name.data();
  }
}

TempDir::~TempDir() {
  if (path_.empty()) {
    return;
  }
  std::error_code error;
  std::filesystem::remove_all(path_, error);
  if (error) {
    std::fprintf(stderr, "could not remove %s: %s\n", path_.c_str(),
                 error.message().c_str());
  }
}

}  // namespace engine_test
