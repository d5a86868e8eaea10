#ifndef TESTS_SUPPORT_ENGINE_HARNESS_TEST_SERVER_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_TEST_SERVER_H_

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Loopback servers that answer raw bytes, for clients that must survive any
// answer (the HTTP client, the backend supervision).

namespace engine_test {

// A listening TCP socket on the loopback address of `family` (IPv6 sockets
// are IPv6 only). `port` 0 picks a free one, stored in `boundPort`. Returns
// the descriptor or -1.
int ListenOn(int family, int port, int* boundPort = nullptr);

// A loopback server on its own thread that hands each accepted connection to
// a handler, one at a time, and closes it afterwards. The destructor stops
// the thread, so handlers must give up when `Stopping` says so.
class TestServer {
 public:
  using Handler = std::function<void(TestServer& server, int connection)>;

  TestServer(int family, int port, Handler handler);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  bool ok() const { return listener_ >= 0; }
  int port() const { return port_; }
  int accepted() const { return accepted_; }
  std::vector<std::string> requests() const;

  // Reads one request: its head, a body of its Content-Length, then whatever
  // else has already arrived. Records the exact bytes.
  std::string ReadRequest(int connection);
  // Sends all of `data`; false once the peer is gone or the server stops.
  bool SendAll(int connection, const std::string& data);
  // Waits until the peer closes the connection or the server stops.
  void HoldUntilPeerCloses(int connection);
  // Waits `ms` milliseconds; true when the server is stopping.
  bool Stopping(int ms = 0);

 private:
  void Run();

  int listener_ = -1;
  int port_ = 0;
  int stopPipe_[2] = {-1, -1};
  std::atomic<int> accepted_{0};
  Handler handler_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// Handlers for the usual server behaviours.
TestServer::Handler Reply(const std::string& raw);
TestServer::Handler ReplyAndHold(const std::string& raw);
// Sends `head` and then an endless body of 'x', `chunk` bytes every
// `intervalMs` milliseconds.
TestServer::Handler Stream(const std::string& head,
                           size_t chunk,
                           int intervalMs);

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_TEST_SERVER_H_
