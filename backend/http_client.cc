// A minimal blocking HTTP/1.1 client for the loopback backend.

#include "backend/http_client.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstring>
#include <memory>

namespace {

using Clock = std::chrono::steady_clock;

struct AddrInfoDeleter {
  void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoDeleter>;

// Closes the socket on every return path.
class ScopedSocket {
 public:
  explicit ScopedSocket(int fd) : fd_(fd) {}
  ~ScopedSocket() { Close(); }
  ScopedSocket(const ScopedSocket&) = delete;
  ScopedSocket& operator=(const ScopedSocket&) = delete;
  int get() const { return fd_; }
  void Close() {
    if (fd_ >= 0) {
      close(fd_);
      fd_ = -1;
    }
  }

 private:
  int fd_;
};

// Resolves the URL's host and port. The brackets of an IPv6 literal belong
// to the URL, not to the address.
AddrInfoList Resolve(const std::string& host, const std::string& port) {
  std::string name = host;
  if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
    name = name.substr(1, name.size() - 2);
  }
  addrinfo hints;
  std::memset(&hints, 0, sizeof(hints));
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  if (getaddrinfo(name.c_str(), port.c_str(), &hints, &list) != 0) {
    return AddrInfoList();
  }
  return AddrInfoList(list);
}

// Close-on-exec: a backend forked while a request is in flight must not keep
// the connection open after we close it.
int OpenSocket(const addrinfo* address) {
  return socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC,
                address->ai_protocol);
}

// Milliseconds left until `deadline`, at most `cap`; 0 when it has passed.
int RemainingMs(Clock::time_point deadline, int cap) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                  deadline - Clock::now())
                  .count();
  if (left <= 0) {
    return 0;
  }
  return static_cast<int>(std::min<long long>(left, cap));
}

}  // namespace

bool ParseHttpResponse(const std::string& data, HttpResponse& response) {
  size_t lineEnd = data.find("\r\n");
  if (lineEnd == std::string::npos) {
    return false;
  }
  const std::string line = data.substr(0, lineEnd);
  size_t space = line.find(' ');
  if (space == std::string::npos) {
    return false;
  }
  size_t codeEnd = line.find(' ', space + 1);
  const std::string code = line.substr(space + 1, codeEnd == std::string::npos
                                                      ? std::string::npos
                                                      : codeEnd - space - 1);
  if (code.empty()) {
    return false;
  }
  // Leading digits only; a code too long for an int is as unusable as none.
  long long status = 0;
  for (char c : code) {
    if (c < '0' || c > '9') {
      break;
    }
    status = status * 10 + (c - '0');
    if (status > INT_MAX) {
      status = 0;
      break;
    }
  }
  if (status <= 0) {
    return false;
  }
  size_t blank = data.find("\r\n\r\n");
  response.status = static_cast<int>(status);
  response.body =
      blank == std::string::npos ? std::string() : data.substr(blank + 4);
  return true;
}

namespace {

std::string BuildRequest(const std::string& method,
                         const std::string& path,
                         const std::string& hostHeader,
                         const HttpHeaderList& headers,
                         const std::string& body) {
  std::string request = method + " " + path +
                        " HTTP/1.1\r\nHost: " + hostHeader +
                        "\r\nConnection: close\r\n";
  for (const auto& header : headers) {
    request += header.first + ": " + header.second + "\r\n";
  }
  if (!body.empty()) {
    request += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  }
  request += "\r\n";
  request += body;
  return request;
}

// One exchange with one address. False means: try the next address.
bool ExchangeWith(const addrinfo* address,
                  const std::string& request,
                  Clock::time_point deadline,
                  HttpResponse& response) {
  int budget = RemainingMs(deadline, kHttpRequestTimeoutMs);
  if (budget == 0) {
    return false;
  }
  ScopedSocket connection(OpenSocket(address));
  if (connection.get() < 0) {
    return false;
  }
  SetSocketTimeouts(connection.get(), budget);
  if (connect(connection.get(), address->ai_addr, address->ai_addrlen) != 0) {
    return false;
  }

  size_t sent = 0;
  while (sent < request.size()) {
    budget = RemainingMs(deadline, kHttpRequestTimeoutMs);
    if (budget == 0) {
      return false;
    }
    SetSocketTimeouts(connection.get(), budget);
    // MSG_NOSIGNAL: a peer that hangs up early must not raise SIGPIPE.
    ssize_t n = send(connection.get(), request.data() + sent,
                     request.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      return false;
    }
    sent += static_cast<size_t>(n);
  }

  std::string received;
  char chunk[1024];
  while (received.size() < kMaxHttpResponseBytes) {
    budget = RemainingMs(deadline, kHttpRequestTimeoutMs);
    if (budget == 0) {
      break;
    }
    if (budget < kHttpRequestTimeoutMs) {
      SetSocketTimeouts(connection.get(), budget);
    }
    size_t want =
        std::min(sizeof(chunk), kMaxHttpResponseBytes - received.size());
    ssize_t n = recv(connection.get(), chunk, want, 0);
    if (n < 0 && errno == EINTR) {
      continue;
    }
    if (n <= 0) {
      break;
    }
    received.append(chunk, static_cast<size_t>(n));
  }
  connection.Close();

  if (received.empty()) {
    return false;
  }
  return ParseHttpResponse(received, response);
}

}  // namespace

void SetSocketTimeouts(int socket, int ms) {
  timeval timeout;
  timeout.tv_sec = ms / 1000;
  timeout.tv_usec = (ms % 1000) * 1000;
  if (setsockopt(socket, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout)) !=
      0) {
    return;
  }
  setsockopt(socket, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
}

bool SendHttpRequest(const std::string& url,
                     const std::string& method,
                     const HttpHeaderList& headers,
                     const std::string& body,
                     HttpResponse& response) {
  std::string host, port, hostHeader, path;
  if (!ParseHttpUrl(url, host, port, hostHeader, path)) {
    return false;
  }
  AddrInfoList addresses = Resolve(host, port);
  if (!addresses) {
    return false;
  }
  const std::string request =
      BuildRequest(method, path, hostHeader, headers, body);
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(kHttpRequestDeadlineMs);
  for (const addrinfo* address = addresses.get(); address;
       address = address->ai_next) {
    if (ExchangeWith(address, request, deadline, response)) {
      return true;
    }
  }
  return false;
}

bool ProbeUrl(const std::string& url) {
  std::string host, port, hostHeader, path;
  if (!ParseHttpUrl(url, host, port, hostHeader, path)) {
    return false;
  }
  AddrInfoList addresses = Resolve(host, port);
  if (!addresses) {
    return false;
  }
  const std::string request = "GET " + path +
                              " HTTP/1.1\r\nHost: " + hostHeader +
                              "\r\nConnection: close\r\n\r\n";
  for (const addrinfo* address = addresses.get(); address;
       address = address->ai_next) {
    ScopedSocket connection(OpenSocket(address));
    if (connection.get() < 0) {
      continue;
    }
    SetSocketTimeouts(connection.get(), kHttpProbeTimeoutMs);
    if (connect(connection.get(), address->ai_addr, address->ai_addrlen) != 0) {
      continue;
    }
    if (send(connection.get(), request.data(), request.size(), MSG_NOSIGNAL) <=
        0) {
      continue;
    }
    char buffer[256] = {};
    ssize_t n;
    do {
      n = recv(connection.get(), buffer, sizeof(buffer) - 1, 0);
    } while (n < 0 && errno == EINTR);
    connection.Close();
    static constexpr size_t kPrefixLength = 12;
    if (n >= static_cast<ssize_t>(kPrefixLength) &&
        (std::memcmp(buffer, "HTTP/1.1 200", kPrefixLength) == 0 ||
         std::memcmp(buffer, "HTTP/1.0 200", kPrefixLength) == 0)) {
      return true;
    }
  }
  return false;
}

bool IsBackendPortOpen() {
  ScopedSocket connection(
      ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (connection.get() < 0) {
    return false;
  }
  sockaddr_in address;
  std::memset(&address, 0, sizeof(address));
  address.sin_family = AF_INET;
  address.sin_port = htons(kBackendPort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(connection.get(), reinterpret_cast<sockaddr*>(&address),
              sizeof(address)) == 0) {
    return true;
  }
  if (errno != EINPROGRESS) {
    return false;
  }
  const Clock::time_point deadline =
      Clock::now() + std::chrono::milliseconds(kPortProbeTimeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - Clock::now())
                          .count();
    if (left < 0) {
      return true;
    }
    pollfd waiting = {connection.get(), POLLOUT, 0};
    const int ready = poll(&waiting, 1, static_cast<int>(left));
    if (ready < 0 && errno == EINTR) {
      continue;
    }
    if (ready <= 0) {
      return true;
    }
    int result = 0;
    socklen_t size = sizeof(result);
    if (getsockopt(connection.get(), SOL_SOCKET, SO_ERROR, &result, &size) !=
        0) {
      return false;
    }
    return result == 0;
  }
}
