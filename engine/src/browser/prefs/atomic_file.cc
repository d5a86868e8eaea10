#include "browser/prefs/atomic_file.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

namespace cefengine {

bool WriteFileAtomically(const std::string& path, const std::string& contents) {
  const std::string temp = path + ".tmp";
  const int fd =
      open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  bool written = fd >= 0;
  for (size_t done = 0; written && done < contents.size();) {
    const ssize_t n = write(fd, contents.data() + done, contents.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    written = n > 0;
    done += written ? static_cast<size_t>(n) : 0;
  }
  // The data must be on disk before the rename makes it the file.
  written = written && fsync(fd) == 0;
  if (fd >= 0)
    close(fd);
  if (!written || rename(temp.c_str(), path.c_str()) != 0) {
    unlink(temp.c_str());
    return false;
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string* contents) {
  std::ifstream in(path, std::ios::binary);
  if (!in)
    return false;
  std::stringstream text;
  text << in.rdbuf();
  *contents = text.str();
  return !in.bad();
}

}  // namespace cefengine
