#include "tests/backend/scripted_server.h"

#include <netinet/in.h>

bool ScriptedServer::Start(int port, Handler handler) {
  server_.reset();
  server_ = std::make_unique<engine_test::TestServer>(
      AF_INET, port,
      [this, handler](engine_test::TestServer& server, int connection) {
        RecordedRequest request;
        request.raw = server.ReadRequest(connection);
        const size_t space = request.raw.find(' ');
        const size_t second = request.raw.find(' ', space + 1);
        if (space != std::string::npos && second != std::string::npos) {
          request.method = request.raw.substr(0, space);
          request.path = request.raw.substr(space + 1, second - space - 1);
        }
        {
          std::lock_guard<std::mutex> lock(mutex_);
          requests_.push_back(request);
        }
        const ScriptedReply reply = handler(request);
        server.SendAll(connection,
                       !reply.raw.empty()
                           ? reply.raw
                           : "HTTP/1.1 " + std::to_string(reply.status) +
                                 " Scripted\r\nContent-Type: "
                                 "application/json\r\nContent-Length: " +
                                 std::to_string(reply.body.size()) +
                                 "\r\nConnection: close\r\n\r\n" + reply.body);
      });
  if (!server_->ok())
    server_.reset();
  return server_ != nullptr;
}

std::vector<RecordedRequest> ScriptedServer::Requests() {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}
