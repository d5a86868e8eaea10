#include "tests/support/engine_harness/shell.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

#include "tests/support/engine_harness/test_server.h"

namespace engine_test {

std::string Shell(const std::string& command) {
  FILE* pipe = popen(("{ " + command + "\n} 2>/dev/null").c_str(), "r");
  if (!pipe) {
    return "";
  }
  std::string output;
  char chunk[4096];
  size_t got = 0;
  while ((got = fread(chunk, 1, sizeof(chunk), pipe)) > 0) {
    output.append(chunk, got);
  }
  return pclose(pipe) == 0 ? output : "";
}

int ClosedPort() {
  int port = 0;
  close(ListenOn(AF_INET, 0, &port));
  return port;
}

}  // namespace engine_test
