// A browser process that starts the engine the way the korvel entry point
// does (with --plain, by CefInitialize alone), then makes an X error on an X
// connection of its own and shuts the engine down. Its engine log is
// <cache-root>/engine.log.

#include "app/x_errors.h"
#include "include/cef_app.h"
#include "include/cef_command_line.h"
#include "tests/app/bad_window.h"
#include "tests/support/engine_app/run_engine.h"

namespace {

class PlainApp : public CefApp {
  IMPLEMENT_REFCOUNTING(PlainApp);
};

}  // namespace

int main(int argc, char* argv[]) {
  InstallXErrorHandlers();
  CefMainArgs args(argc, argv);
  CefRefPtr<CefApp> app = new PlainApp();
  const int child = CefExecuteProcess(args, app, nullptr);
  if (child >= 0) {
    return child;
  }
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(argc, argv);
  const CefSettings settings = engine_test_app::AppSettings(
      line->GetSwitchValue("cache-root").ToString());
  const bool started =
      line->HasSwitch("plain")
          ? CefInitialize(args, settings, app, nullptr)
          : InitializeEngineKeepingXHandlers(args, settings, app);
  if (!started) {
    return 1;
  }
  const bool mapped = MapMissingWindow();
  app = nullptr;
  CefShutdown();
  return mapped ? 0 : 3;
}
