#include <unistd.h>

#include <string>
#include <utility>
#include <vector>

#include "devbackend/actions.h"
#include "devbackend/routes.h"

namespace {

using nlohmann::json;

void Reply(httplib::Response& response, int status, const json& body) {
  response.status = status;
  response.set_content(DumpJson(body), "application/json");
}

json Snapshot(const BackendState& state) {
  json snapshot = SettingsToJson(state.GetSettings());
  snapshot["ready"] = state.IsReady();
  snapshot["pid"] = static_cast<int>(getpid());
  return snapshot;
}

// Applies `object` as settings and starts the actions in it; answers with
// the settings now in force, or 400 and the reason.
void Apply(BackendState& state,
           const json& object,
           httplib::Response& response) {
  PendingActions actions;
  std::string error;
  if (!state.UpdateSettings(object, actions, error)) {
    Reply(response, 400, {{"message", error}});
    return;
  }
  StartActions(actions, state, /*inRequest=*/true);
  Reply(response, 200, Snapshot(state));
}

// A body that is empty counts as {}, so that plain POSTs work from a shell.
bool ParseBody(const httplib::Request& request,
               json& object,
               httplib::Response& response) {
  object = request.body.empty() ? json::object()
                                : json::parse(request.body, nullptr, false);
  if (object.is_object())
    return true;
  Reply(response, 400, {{"message", "body must be a JSON object"}});
  return false;
}

using Names = std::vector<std::pair<std::string, std::string>>;

// Renames the short keys of a convenience endpoint to setting keys; any
// other key is refused, like an unknown setting.
bool Rename(const json& body,
            const Names& names,
            json& settings,
            httplib::Response& response) {
  settings = json::object();
  for (const auto& [key, value] : body.items()) {
    const std::string* target = nullptr;
    for (const auto& [from, to] : names) {
      if (key == from)
        target = &to;
    }
    if (!target) {
      Reply(response, 400, {{"message", "unknown key \"" + key + "\""}});
      return false;
    }
    settings[*target] = value;
  }
  return true;
}

// POST /__control/<name> with the short keys `names`; `trigger` is the
// setting that starts the action and is set to 0 when the body omits it.
void AddAction(RecordingServer& server,
               BackendState& state,
               const std::string& name,
               const char* trigger,
               Names names) {
  server.Post("/__control/" + name,
              [&state, trigger, names](const httplib::Request& request,
                                       httplib::Response& response) {
                json body;
                json settings;
                if (!ParseBody(request, body, response) ||
                    !Rename(body, names, settings, response)) {
                  return;
                }
                if (trigger && !settings.contains(trigger))
                  settings[trigger] = 0;
                Apply(state, settings, response);
              });
}

}  // namespace

void InstallControlRoutes(RecordingServer& server, BackendState& state) {
  server.Get("/__control/settings",
             [&state](const httplib::Request&, httplib::Response& response) {
               Reply(response, 200, Snapshot(state));
             });
  server.Post("/__control/settings", [&state](const httplib::Request& request,
                                              httplib::Response& response) {
    json body;
    if (ParseBody(request, body, response))
      Apply(state, body, response);
  });
  AddAction(server, state, "exit", "exitAfterMs",
            {{"status", "exitStatus"}, {"afterMs", "exitAfterMs"}});
  AddAction(server, state, "crash", "crashAfterMs",
            {{"signal", "crashSignal"}, {"afterMs", "crashAfterMs"}});
  AddAction(server, state, "reopen", "reopenAfterMs",
            {{"mode", "reopenMode"},
             {"stream", "reopenStream"},
             {"text", "reopenText"},
             {"afterMs", "reopenAfterMs"}});
  AddAction(server, state, "stdout", nullptr, {{"text", "stdoutText"}});
  AddAction(server, state, "stderr", nullptr, {{"text", "stderrText"}});
  server.Get("/__control/requests",
             [&state](const httplib::Request&, httplib::Response& response) {
               Reply(response, 200, state.RecordedRequests());
             });
  server.Delete("/__control/requests",
                [&state](const httplib::Request&, httplib::Response& response) {
                  state.ClearRecordedRequests();
                  Reply(response, 200, json::array());
                });
}
