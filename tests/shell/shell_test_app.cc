// The browser process of the shell from the engine's start to the main
// window, with the shell's own BrowserApp: --app-url and --allow stand in
// for the application URL and the allow-list, --cache-root for the data
// directory. On stdin, "closing" marks the client as closing its last
// browser and "browsers" prints how many browsers the client holds. The app
// quits when its stdin ends.

#include <string>

#include "client/shell_client.h"
#include "client/url_policy.h"
#include "include/cef_app.h"
#include "include/cef_command_line.h"
#include "shell/browser_app.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"
#include "tests/support/engine_app/stdin_lines.h"

namespace {

class TestBrowserApp : public BrowserApp {
 public:
  using BrowserApp::BrowserApp;

  // CefBrowserProcessHandler methods:
  void OnContextInitialized() override {
    BrowserApp::OnContextInitialized();
    engine_test_app::WatchStdinLines(
        [](const std::string& line) {
          CefRefPtr<ShellClient> client = ShellClient::GetInstance();
          if (!client) {
            return;
          }
          if (line == "closing") {
            client->closing = true;
          }
          engine_test_app::Emit({{"browsers", client->browsers.size()}});
        },
        [] { CefQuitMessageLoop(); });
  }
};

}  // namespace

int main(int argc, char* argv[]) {
  CefMainArgs args(argc, argv);
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(argc, argv);
  CefRefPtr<TestBrowserApp> app =
      new TestBrowserApp(line->GetSwitchValue("app-url").ToString(),
                         line->GetSwitchValue("allow").ToString());
  const int code = CefExecuteProcess(args, app, nullptr);
  if (code >= 0) {
    return code;
  }
  return engine_test_app::RunBrowserProcess(
      args, app, line->GetSwitchValue("cache-root").ToString());
}
