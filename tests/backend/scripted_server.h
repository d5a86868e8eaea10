#ifndef KORVEL_TESTS_BACKEND_SCRIPTED_SERVER_H_
#define KORVEL_TESTS_BACKEND_SCRIPTED_SERVER_H_

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tests/support/engine_harness/test_server.h"

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

  // Listens on 127.0.0.1:`port`; false when the port cannot be bound.
  bool Start(int port, Handler handler);
  // Stops listening and closes the port.
  void Stop() { server_.reset(); }

  // Every request so far, also those before a Stop().
  std::vector<RecordedRequest> Requests();

 private:
  std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
  std::unique_ptr<engine_test::TestServer> server_;
};

#endif  // KORVEL_TESTS_BACKEND_SCRIPTED_SERVER_H_
