#ifndef KORVEL_TESTS_BACKEND_SCRIPTED_SERVER_H_
#define KORVEL_TESTS_BACKEND_SCRIPTED_SERVER_H_

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One request as it arrived on the wire.
struct RecordedRequest {
  std::string method;
  std::string path;
  std::string raw;
};

// What the server answers; `raw`, when set, is sent instead of a response
// built from status and body.
struct ScriptedReply {
  int status = 200;
  std::string body;
  std::string raw;
};

// A loopback HTTP server on a real socket that answers every request with
// what its handler returns and then closes the connection.
class ScriptedServer {
 public:
  using Handler = std::function<ScriptedReply(const RecordedRequest&)>;

  ScriptedServer() = default;
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;
  ~ScriptedServer();

  // Listens on 127.0.0.1:`port`; false when the port cannot be bound.
  bool Start(int port, Handler handler);
  // Stops listening and closes the port.
  void Stop();

  std::vector<RecordedRequest> Requests();

 private:
  void Serve();
  void Answer(int connection);

  int listener_ = -1;
  Handler handler_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
};

#endif  // KORVEL_TESTS_BACKEND_SCRIPTED_SERVER_H_
