// A private directory under /tmp for one test, removed with its contents,
// and whole-file reads and writes.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_TEMP_DIR_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_TEMP_DIR_H_

#include <string>

namespace engine_test {

class TempDir {
 public:
  // |prefix| names the directory (/tmp/PREFIX-XXXXXX) so that a leftover
  // one tells which test made it. path() is "" when it could not be made.
  explicit TempDir(const std::string& prefix = "engine-test");
  // Removes the directory and everything in it; says so on stderr when
  // that fails, since a test cannot fail from a destructor it does not own.
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }

  // Writes |content| to |relative| (directories on the way are made) and
  // returns the file's path.
  std::string Write(const std::string& relative,
                    const std::string& content) const;

 private:
  std::string path_;
};

// The bytes of the file at |path|; "" when it cannot be read.
std::string ReadFile(const std::string& path);

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_TEMP_DIR_H_
