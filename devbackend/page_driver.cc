#include "devbackend/page_driver.h"

#include <cstdlib>
#include <deque>
#include <map>
#include <mutex>
#include <string>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

struct Command {
  int seq;
  std::string target;
  std::string code;
};

// Commands and outcomes live until the backend exits; a test run posts a
// few hundred at most.
std::mutex mutex;
int lastSeq = 0;
std::deque<Command> waiting;
std::map<int, json> results;

void Reply(httplib::Response& response, int status, const json& body) {
  response.status = status;
  response.set_content(body.dump(), "application/json");
  response.set_header("Cache-Control", "no-store");
}

}  // namespace

void InstallPageDriverRoutes(RecordingServer& server) {
  server.Post("/__control/page/command", [](const httplib::Request& request,
                                            httplib::Response& response) {
    const json body = json::parse(request.body, nullptr, false);
    if (!body.is_object() || !body.contains("code") ||
        !body["code"].is_string()) {
      Reply(response, 400, {{"message", "body needs a string \"code\""}});
      return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    // A test that drives its page across backend restarts numbers its
    // commands itself, so that a result posted to the next backend cannot
    // be taken for another command's.
    const int seq = body.contains("seq") && body["seq"].is_number_integer()
                        ? body["seq"].get<int>()
                        : ++lastSeq;
    const Command command{seq, body.value("target", "main"),
                          body["code"].get<std::string>()};
    waiting.push_back(command);
    Reply(response, 200, {{"seq", command.seq}});
  });
  server.Get("/__control/page/result", [](const httplib::Request& request,
                                          httplib::Response& response) {
    const int seq = std::atoi(request.get_param_value("seq").c_str());
    std::lock_guard<std::mutex> lock(mutex);
    const auto it = results.find(seq);
    if (it == results.end()) {
      Reply(response, 404, {{"message", "no result yet"}});
      return;
    }
    Reply(response, 200, it->second);
  });
  server.Get("/__page/command", [](const httplib::Request& request,
                                   httplib::Response& response) {
    const std::string target = request.has_param("target")
                                   ? request.get_param_value("target")
                                   : "main";
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = waiting.begin(); it != waiting.end(); ++it) {
      if (it->target == target) {
        const json command = {{"seq", it->seq}, {"code", it->code}};
        waiting.erase(it);
        Reply(response, 200, command);
        return;
      }
    }
    Reply(response, 200, json::object());
  });
  server.Post("/__page/result", [](const httplib::Request& request,
                                   httplib::Response& response) {
    const json body = json::parse(request.body, nullptr, false);
    if (!body.is_object() || !body.contains("seq") ||
        !body["seq"].is_number_integer()) {
      Reply(response, 400, {{"message", "body needs an integer \"seq\""}});
      return;
    }
    std::lock_guard<std::mutex> lock(mutex);
    results[body["seq"].get<int>()] = body;
    Reply(response, 200, json::object());
  });
}
