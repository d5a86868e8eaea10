#include "instance/backend_output_reader.h"

#include <errno.h>
#include <unistd.h>

#include <cstring>

#include "instance/client_actions.h"

bool IsReopenChunk(std::string_view chunk) {
  if (chunk.size() < reopenToken.size()) {
    return false;
  }
  return chunk.substr(0, reopenToken.size()) == reopenToken ||
         chunk.substr(chunk.size() - reopenToken.size()) == reopenToken;
}

void BackendOutputReader(int fd) {
  char buffer[256] = {};
  for (;;) {
    ssize_t count = read(fd, buffer, sizeof(buffer) - 1);
    if (count < 0 && errno == EINTR) {
      // A signal is not the end of the backend's output.
      continue;
    }
    if (count <= 0) {
      break;
    }
    buffer[count] = '\0';
    // The chunk is text up to its first zero byte.
    if (IsReopenChunk(std::string_view(buffer, strlen(buffer)))) {
      RaiseMainWindowOnReopen();
    }
  }
  close(fd);
}
