#include "devbackend/routes.h"

#include <cstdlib>
#include <string>

#include "devbackend/embedded_pages.h"
#include "devbackend/lifecycle.h"
#include "devbackend/output.h"

namespace {

using nlohmann::json;

void SetJson(httplib::Response& response, int status, const std::string& body) {
  response.status = status;
  const bool isJson = json::accept(body);
  response.set_content(body, isJson ? "application/json" : "text/plain");
}

void ServeReady(const BackendState& state, httplib::Response& response) {
  const Settings settings = state.GetSettings();
  const bool ready = state.IsReady();
  std::string body;
  if (settings.readyBody) {
    body = *settings.readyBody;
  } else {
    // Ordered as the shell's readers document the fields.
    body =
        nlohmann::ordered_json{
            {"ready", ready || settings.notReadyFlag},
            {"version", settings.version},
            {"versionName", settings.versionName},
            {"entryPath", settings.entryPath},
        }
            .dump();
  }
  SetJson(response, ready ? settings.readyStatus : settings.notReadyStatus,
          body);
}

void ServePrepareRestart(BackendState& state,
                         const httplib::Request& request,
                         httplib::Response& response) {
  const Settings settings = state.GetSettings();
  if (settings.handshakeStatus != 200) {
    LogLine("restart refused with status " +
            std::to_string(settings.handshakeStatus));
    SetJson(response, settings.handshakeStatus,
            settings.handshakeBody.value_or(
                json{{"message", "restart refused"}}.dump()));
    return;
  }
  const json body = json::parse(request.body, nullptr, false);
  if (!body.is_object()) {
    SetJson(response, 400,
            json{{"message", "request body must be a JSON object"}}.dump());
    return;
  }
  SetJson(response, 200,
          settings.handshakeBody.value_or(json{{"restarting", true}}.dump()));
  if (!settings.handshakeExit) {
    LogLine("restart accepted; staying up as configured");
    return;
  }
  LogLine("restart accepted; exiting");
  const int delayMs = settings.handshakeExitDelayMs;
  const int status = settings.handshakeExitStatus;
  RecordingServer::AfterResponse([delayMs, status, &state] {
    RunAfter(delayMs, [status, &state] {
      ExitBackend(status, state.GetSettings().holdPortMs);
    });
  });
}

void ServePage(const BackendState& state,
               const httplib::Request& request,
               httplib::Response& response) {
  const EmbeddedPage* page = FindEmbeddedPage(
      request.path == "/" ? state.GetSettings().appPage : request.path);
  if (!page) {
    response.status = 404;
    response.set_content("<!doctype html><title>Not found</title>Not found\n",
                         "text/html; charset=utf-8");
    return;
  }
  response.status = request.path == "/" ? state.GetSettings().appStatus : 200;
  response.set_content(reinterpret_cast<const char*>(page->data), page->size,
                       ContentTypeForPath(page->path));
  response.set_header("Cache-Control", "no-store");
  if (request.path.rfind("/files/", 0) == 0) {
    const std::string name = request.path.substr(request.path.rfind('/') + 1);
    response.set_header("Content-Disposition",
                        "attachment; filename=\"" + name + "\"");
  }
}

}  // namespace

void InstallAppRoutes(RecordingServer& server, BackendState& state) {
  server.Get("/ready",
             [&state](const httplib::Request&, httplib::Response& response) {
               ServeReady(state, response);
             });
  server.Post(
      "/hot-update/prepare-restart",
      [&state](const httplib::Request& request, httplib::Response& response) {
        ServePrepareRestart(state, request, response);
      });
  // Any status on demand, for tests of how the shell judges answers.
  server.Get(R"(/__status/([2-5]\d\d))",
             [](const httplib::Request& request, httplib::Response& response) {
               const int status = std::atoi(request.matches[1].str().c_str());
               response.status = status;
               if (status >= 300 && status < 400)
                 response.set_header("Location", "/");
               if (status != 204 && status != 304)
                 response.set_content("status " + std::to_string(status) + "\n",
                                      "text/plain");
             });
  server.Get(".*", [&state](const httplib::Request& request,
                            httplib::Response& response) {
    ServePage(state, request, response);
  });
}
