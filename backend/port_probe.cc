#include "backend/port_probe.h"

#include <arpa/inet.h>
#include <errno.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "backend/http_client.h"

namespace {

// Waits for the connect to finish; true when the result is known in time.
bool WaitForConnect(int sock, int timeoutMs, int& result) {
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left < 0) {
      return false;
    }
    pollfd waiting = {sock, POLLOUT, 0};
    int ready = poll(&waiting, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return false;
    }
    socklen_t size = sizeof(result);
    if (getsockopt(sock, SOL_SOCKET, SO_ERROR, &result, &size) != 0) {
      result = errno;
    }
    return true;
  }
}

}  // namespace

bool IsBackendPortOpenWithin(int timeoutMs) {
  int sock = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (sock < 0) {
    return false;
  }
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(kBackendPort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool open;
  if (connect(sock, reinterpret_cast<sockaddr*>(&address), sizeof(address)) ==
      0) {
    open = true;
  } else if (errno != EINPROGRESS) {
    open = false;
  } else {
    int result = 0;
    open = !WaitForConnect(sock, timeoutMs, result) || result == 0;
  }
  close(sock);
  return open;
}
