// The browser-process side shared by the apps that take JSON commands.

#ifndef TESTS_SUPPORT_ENGINE_APP_COMMAND_APP_H_
#define TESTS_SUPPORT_ENGINE_APP_COMMAND_APP_H_

#include <string>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"

namespace engine_test_app {

// Once the engine is up, takes JSON commands from stdin on the UI thread
// (see WatchJsonCommands) and reports {"event":"ready"}. Every command
// {"cmd":NAME,...} is answered by one {"event":"done","cmd":NAME,...} line,
// which is how the test tells that it was carried out. The concrete app adds
// IMPLEMENT_REFCOUNTING.
class JsonCommandApp : public CefApp, public CefBrowserProcessHandler {
 public:
  // CefApp methods:
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override {
    return this;
  }

  // CefBrowserProcessHandler methods:
  void OnContextInitialized() override;

 protected:
  // UI thread: prepares what the commands need, before the first one.
  virtual void Start() = 0;
  // UI thread: carries out |command|, adding what the test should learn to
  // its answer |reply|.
  virtual void Run(const nlohmann::json& command, nlohmann::json& reply) = 0;

 private:
  void Answer(const nlohmann::json& command);
};

// An event named |name| about |browser| (its identifier as "browser", when
// there is one).
nlohmann::json BrowserEvent(const std::string& name,
                            CefRefPtr<CefBrowser> browser);

}  // namespace engine_test_app

#endif  // TESTS_SUPPORT_ENGINE_APP_COMMAND_APP_H_
