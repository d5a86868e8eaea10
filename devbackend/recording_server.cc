#include "devbackend/recording_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

constexpr int kReadTimeoutMs = 5000;
constexpr int kWriteTimeoutMs = 5000;
constexpr int kDeliveryTimeoutMs = 1000;
constexpr size_t kThreads = 32;
constexpr int kBacklog = 4096;

bool WaitFor(int sock, short events, int timeoutMs) {
  pollfd entry = {sock, events, 0};
  int result;
  do {
    result = poll(&entry, 1, timeoutMs);
  } while (result < 0 && errno == EINTR);
  return result > 0;
}

void AddressOf(const sockaddr_storage& address, std::string& ip, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
    inet_ntop(AF_INET, &v4->sin_addr, text, sizeof(text));
    port = ntohs(v4->sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
    inet_ntop(AF_INET6, &v6->sin6_addr, text, sizeof(text));
    port = ntohs(v6->sin6_port);
  }
  ip = text;
}

// A socket stream that keeps a copy of every byte it reads.
class RecordingStream : public httplib::Stream {
 public:
  explicit RecordingStream(int sock) : sock_(sock) {}

  const std::string& raw() const { return raw_; }

  // httplib::Stream methods:
  bool is_readable() const override {
    return offset_ < buffer_.size() || WaitFor(sock_, POLLIN, kReadTimeoutMs);
  }
  bool is_writable() const override {
    return WaitFor(sock_, POLLOUT, kWriteTimeoutMs);
  }
  ssize_t read(char* ptr, size_t size) override {
    if (offset_ == buffer_.size()) {
      if (!WaitFor(sock_, POLLIN, kReadTimeoutMs))
        return -1;
      char chunk[4096];
      ssize_t n;
      do {
        n = recv(sock_, chunk, sizeof(chunk), 0);
      } while (n < 0 && errno == EINTR);
      if (n <= 0)
        return n;
      raw_.append(chunk, static_cast<size_t>(n));
      buffer_.assign(chunk, static_cast<size_t>(n));
      offset_ = 0;
    }
    const size_t count = std::min(size, buffer_.size() - offset_);
    std::memcpy(ptr, buffer_.data() + offset_, count);
    offset_ += count;
    return static_cast<ssize_t>(count);
  }
  // Sends everything or fails: httplib writes each piece with one call and
  // does not retry a short write.
  ssize_t write(const char* ptr, size_t size) override {
    size_t done = 0;
    while (done < size) {
      if (!is_writable())
        return -1;
      const ssize_t n = send(sock_, ptr + done, size - done, MSG_NOSIGNAL);
      if (n < 0 && errno == EINTR)
        continue;
      if (n <= 0)
        return -1;
      done += static_cast<size_t>(n);
    }
    return static_cast<ssize_t>(done);
  }
  void get_remote_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address = {};
    socklen_t length = sizeof(address);
    if (getpeername(sock_, reinterpret_cast<sockaddr*>(&address), &length) ==
        0) {
      AddressOf(address, ip, port);
    }
  }
  void get_local_ip_and_port(std::string& ip, int& port) const override {
    sockaddr_storage address = {};
    socklen_t length = sizeof(address);
    if (getsockname(sock_, reinterpret_cast<sockaddr*>(&address), &length) ==
        0) {
      AddressOf(address, ip, port);
    }
  }
  socket_t socket() const override { return sock_; }

 private:
  const int sock_;
  std::string raw_;
  std::string buffer_;
  size_t offset_ = 0;
};

// What a handler left for its connection; one per worker thread at a time.
struct Connection {
  const RecordingStream* stream = nullptr;
  bool recorded = false;
  std::function<void()> afterResponse;
};

thread_local Connection* t_connection = nullptr;

bool IsControlTarget(const std::string& path) {
  return path.rfind("/__control/", 0) == 0;
}

// Reads and drops what the peer still sends until it closes, so that the
// whole answer has reached it before this process may go away.
void AwaitPeerClose(int sock) {
  char sink[512];
  while (WaitFor(sock, POLLIN, kDeliveryTimeoutMs)) {
    const ssize_t n = recv(sock, sink, sizeof(sink), 0);
    if (n == 0 || (n < 0 && errno != EINTR))
      return;
  }
}

}  // namespace

RecordingServer::RecordingServer(BackendState& state) : state_(state) {
  new_task_queue = [] { return new httplib::ThreadPool(kThreads); };
  // httplib's default adds SO_REUSEPORT, which would let a second backend
  // bind the port while the first still listens and split the connections
  // between them.
  set_socket_options([](socket_t sock) {
    int yes = 1;
    setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof(yes));
  });
  // Runs before each response is written, when the request has been read.
  set_post_routing_handler(
      [this](const httplib::Request& request, httplib::Response&) {
        Connection* connection = t_connection;
        if (!connection || connection->recorded)
          return;
        connection->recorded = true;
        if (!IsControlTarget(request.path))
          state_.Record(connection->stream->raw());
      });
}

bool RecordingServer::Bind(int port) {
  if (!bind_to_port("127.0.0.1", port))
    return false;
  // httplib listens with a backlog of 5: a page load opening connections in
  // a burst, or the shell's probes while nothing accepts (a port holder),
  // would overflow it, and every dropped handshake costs the client a
  // second. Listening again only enlarges the queue.
  ::listen(svr_sock_.load(), kBacklog);
  return true;
}

int RecordingServer::ListeningSocket() const {
  return svr_sock_.load();
}

void RecordingServer::AfterResponse(std::function<void()> task) {
  if (t_connection)
    t_connection->afterResponse = std::move(task);
}

bool RecordingServer::process_and_close_socket(socket_t sock) {
  RecordingStream stream(sock);
  Connection connection;
  connection.stream = &stream;
  t_connection = &connection;
  bool closedByPeer = false;
  const bool ok = process_request(stream, /*close_connection=*/true,
                                  closedByPeer, [](httplib::Request&) {});
  t_connection = nullptr;
  // A request that got no response at all (cut short, timed out) still
  // counts, unless it addressed the control endpoints.
  if (!connection.recorded && !stream.raw().empty()) {
    const RecordedRequest request = ParseRawRequest(stream.raw());
    if (!IsControlTarget(request.target))
      state_.Record(stream.raw());
  }
  shutdown(sock, SHUT_WR);
  if (connection.afterResponse)
    AwaitPeerClose(sock);
  close(sock);
  if (connection.afterResponse)
    connection.afterResponse();
  return ok;
}
