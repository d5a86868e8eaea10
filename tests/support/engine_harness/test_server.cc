#include "tests/support/engine_harness/test_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace engine_test {

int ListenOn(int family, int port, int* boundPort) {
  int fd = socket(family, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) {
    return -1;
  }
  int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof(one));
  sockaddr_storage storage;
  std::memset(&storage, 0, sizeof(storage));
  socklen_t length;
  if (family == AF_INET6) {
    setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &one, sizeof(one));
    auto* address = reinterpret_cast<sockaddr_in6*>(&storage);
    address->sin6_family = AF_INET6;
    address->sin6_port = htons(static_cast<uint16_t>(port));
    address->sin6_addr = in6addr_loopback;
    length = sizeof(*address);
  } else {
    auto* address = reinterpret_cast<sockaddr_in*>(&storage);
    address->sin_family = AF_INET;
    address->sin_port = htons(static_cast<uint16_t>(port));
    address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof(*address);
  }
  if (bind(fd, reinterpret_cast<sockaddr*>(&storage), length) != 0 ||
      listen(fd, 16) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0) {
    close(fd);
    return -1;
  }
  if (boundPort) {
    *boundPort =
        ntohs(family == AF_INET6
                  ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                  : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
  }
  return fd;
}

TestServer::TestServer(int family, int port, Handler handler)
    : handler_(std::move(handler)) {
  if (pipe2(stopPipe_, O_CLOEXEC) != 0) {
    return;
  }
  listener_ = ListenOn(family, port, &port_);
  if (listener_ >= 0) {
    thread_ = std::thread(&TestServer::Run, this);
  }
}

TestServer::~TestServer() {
  if (stopPipe_[1] >= 0) {
    ssize_t ignored = write(stopPipe_[1], "x", 1);
    (void)ignored;
  }
  if (thread_.joinable()) {
    thread_.join();
  }
  for (int fd : {listener_, stopPipe_[0], stopPipe_[1]}) {
    if (fd >= 0) {
      close(fd);
    }
  }
}

std::vector<std::string> TestServer::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

bool TestServer::Stopping(int ms) {
  pollfd entry = {stopPipe_[0], POLLIN, 0};
  return poll(&entry, 1, ms) != 0;
}

void TestServer::Run() {
  for (;;) {
    pollfd entries[2] = {{listener_, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (poll(entries, 2, -1) < 0 && errno != EINTR) {
      return;
    }
    if (entries[1].revents) {
      return;
    }
    if (!entries[0].revents) {
      continue;
    }
    int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) {
      continue;
    }
    ++accepted_;
    handler_(*this, connection);
    close(connection);
  }
}

std::string TestServer::ReadRequest(int connection) {
  std::string data;
  size_t expected = std::string::npos;
  char buffer[4096];
  for (;;) {
    if (expected == std::string::npos) {
      size_t headEnd = data.find("\r\n\r\n");
      if (headEnd != std::string::npos) {
        size_t bodyLength = 0;
        size_t field = data.find("\r\nContent-Length: ");
        if (field != std::string::npos && field < headEnd) {
          bodyLength = std::stoul(data.substr(field + 18));
        }
        expected = headEnd + 4 + bodyLength;
      }
    }
    // After the expected bytes, take only what is already there: the probe
    // under test waits just 50 ms for the answer.
    int wait =
        expected != std::string::npos && data.size() >= expected ? 0 : 2000;
    pollfd entries[2] = {{connection, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (poll(entries, 2, wait) <= 0 || entries[1].revents) {
      break;
    }
    ssize_t n = recv(connection, buffer, sizeof(buffer), 0);
    if (n <= 0) {
      break;
    }
    data.append(buffer, static_cast<size_t>(n));
  }
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(data);
  return data;
}

bool TestServer::SendAll(int connection, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    pollfd entries[2] = {{connection, POLLOUT, 0}, {stopPipe_[0], POLLIN, 0}};
    if (poll(entries, 2, -1) < 0 || entries[1].revents) {
      return false;
    }
    ssize_t n = send(connection, data.data() + sent, data.size() - sent,
                     MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    sent += static_cast<size_t>(n);
  }
  return true;
}

void TestServer::HoldUntilPeerCloses(int connection) {
  char buffer[256];
  for (;;) {
    pollfd entries[2] = {{connection, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
    if (poll(entries, 2, -1) < 0 || entries[1].revents) {
      return;
    }
    ssize_t n = recv(connection, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
      return;
    }
  }
}

TestServer::Handler Reply(const std::string& raw) {
  return [raw](TestServer& server, int connection) {
    server.ReadRequest(connection);
    server.SendAll(connection, raw);
  };
}

TestServer::Handler ReplyAndHold(const std::string& raw) {
  return [raw](TestServer& server, int connection) {
    server.ReadRequest(connection);
    if (server.SendAll(connection, raw)) {
      server.HoldUntilPeerCloses(connection);
    }
  };
}

TestServer::Handler Stream(const std::string& head,
                           size_t chunk,
                           int intervalMs) {
  return [head, chunk, intervalMs](TestServer& server, int connection) {
    server.ReadRequest(connection);
    if (!server.SendAll(connection, head)) {
      return;
    }
    const std::string body(chunk, 'x');
    while (server.SendAll(connection, body)) {
      if (intervalMs > 0 && server.Stopping(intervalMs)) {
        return;
      }
    }
  };
}

}  // namespace engine_test
