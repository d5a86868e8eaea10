#include "tests/support/engine_harness/temp_dir.h"

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
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

std::string TempDir::Write(const std::string& relative,
                           const std::string& content) const {
  const std::filesystem::path file = std::filesystem::path(path_) / relative;
  std::error_code ignored;
  std::filesystem::create_directories(file.parent_path(), ignored);
  std::ofstream(file, std::ios::binary) << content;
  return file.string();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace engine_test
