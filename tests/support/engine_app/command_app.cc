#include "tests/support/engine_app/command_app.h"

#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/stdin_lines.h"

namespace engine_test_app {

void JsonCommandApp::OnContextInitialized() {
  Start();
  WatchJsonCommands([this](const nlohmann::json& command) { Answer(command); });
  Emit({{"event", "ready"}});
}

void JsonCommandApp::Answer(const nlohmann::json& command) {
  nlohmann::json reply = {{"event", "done"}, {"cmd", command.at("cmd")}};
  Run(command, reply);
  Emit(reply);
}

nlohmann::json BrowserEvent(const std::string& name,
                            CefRefPtr<CefBrowser> browser) {
  nlohmann::json event = {{"event", name}};
  if (browser) {
    event["browser"] = browser->GetIdentifier();
  }
  return event;
}

}  // namespace engine_test_app
