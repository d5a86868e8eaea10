#include "tests/support/engine_harness/shell.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>

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
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return 0;
  }
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

}  // namespace engine_test
