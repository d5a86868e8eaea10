#ifndef KORVEL_TESTS_CONFIG_TEMP_DIR_H_
#define KORVEL_TESTS_CONFIG_TEMP_DIR_H_

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes away.
class TempDir {
 public:
  TempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvel-cfg-XXXXXX").string();
    if (mkdtemp(pattern.data())) {
      path_ = pattern;
    }
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) {
      std::filesystem::remove_all(path_, ignored);
    }
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

  // Writes `content` to `relative`, creating the directories on the way.
  std::string Write(const std::string& relative,
                    const std::string& content) const {
    std::filesystem::path file = std::filesystem::path(path_) / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << content;
    return file.string();
  }

 private:
  std::string path_;
};

#endif  // KORVEL_TESTS_CONFIG_TEMP_DIR_H_
