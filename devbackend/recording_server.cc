#include "devbackend/recording_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>

namespace {

constexpr int kReadTimeoutMs = 5000;
constexpr int kWriteTimeoutMs = 5000;
constexpr int kDeliveryTimeoutMs = 1000;
constexpr size_t kThreads = 32;
constexpr int kBacklog = 4096;
// Far above anything the shell or a test sends; a bigger body is refused
// before it is read, and a request that keeps sending (a head without end,
// a body without a length) stops being read here, so that neither the
// process nor the recorded requests grow with what a client sends.
constexpr size_t kMaxBodyBytes = 1 << 20;
constexpr size_t kMaxRequestBytes = kMaxBodyBytes + (64 << 10);

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
      if (raw_.size() >= kMaxRequestBytes ||
          !WaitFor(sock_, POLLIN, kReadTimeoutMs))
        return -1;
      char chunk[4096];
      const size_t room =
          std::min(sizeof(chunk), kMaxRequestBytes - raw_.size());
      ssize_t n;
      do {
        n = recv(sock_, chunk, room, 0);
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

// The media type of a Content-Type value, lower case, without parameters.
std::string MediaType(std::string value) {
  value = value.substr(0, value.find(';'));
  const size_t first = value.find_first_not_of(" \t");
  const size_t last = value.find_last_not_of(" \t");
  value =
      first == std::string::npos ? "" : value.substr(first, last - first + 1);
  for (char& c : value)
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return value;
}

// The answer to a request refused before its body is read, or 0. A page in
// any browser may send requests to loopback: it cannot send a JSON body
// without a CORS preflight (which nothing here answers), and browsers name
// the page's origin on every request that can change something. So the
// control endpoints take only requests without an Origin whose body, if any
// (every POST and DELETE), is declared as JSON.
int RefusalStatus(const httplib::Request& request) {
  if (request.has_header("Transfer-Encoding"))
    return 411;  // only a declared length can be checked against the cap
  if (request.get_header_value<uint64_t>("Content-Length") > kMaxBodyBytes)
    return 413;
  if (!IsControlTarget(request.path))
    return 0;
  if (request.has_header("Origin"))
    return 403;
  const bool hasType = request.has_header("Content-Type");
  if ((request.method != "GET" || hasType) &&
      MediaType(request.get_header_value("Content-Type")) !=
          "application/json") {
    return 415;
  }
  return 0;
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
  set_pre_routing_handler([](const httplib::Request& request,
                             httplib::Response& response) {
    const int status = RefusalStatus(request);
    if (status == 0)
      return HandlerResponse::Unhandled;
    response.status = status;
    response.set_content(
        "{\"message\":\"refused with status " + std::to_string(status) + "\"}",
        "application/json");
    return HandlerResponse::Handled;
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
