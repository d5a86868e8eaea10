#include "tests/support/engine_app/emit.h"

#include <errno.h>
#include <stdlib.h>
#include <unistd.h>

#include <mutex>
#include <string>

namespace engine_test_app {

void Emit(const json& event) {
  static std::mutex mutex;
  const std::string line = event.dump() + "\n";
  std::lock_guard<std::mutex> lock(mutex);
  size_t written = 0;
  while (written < line.size()) {
    const ssize_t n =
        write(STDOUT_FILENO, line.data() + written, line.size() - written);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      abort();
    }
    written += static_cast<size_t>(n);
  }
}

}  // namespace engine_test_app
