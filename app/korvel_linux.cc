// The entry point of every process of the shell: the browser process the
// user starts and the renderer, zygote, GPU and utility processes the engine
// starts from the same executable.

#include "app/data_paths.h"
#include "app/process_role.h"
#include "app/shutdown_signals.h"
#include "app/x_errors.h"
#include "backend/backend_launcher.h"
#include "bridge/renderer/renderer_app.h"
#include "client/url_policy.h"
#include "include/cef_app.h"
#include "include/cef_command_line.h"
#include "shell/browser_app.h"

int main(int argc, char* argv[]) {
  // Before anything can talk to X: no X error may end the program.
  InstallXErrorHandlers();

  CefMainArgs args(argc, argv);
  CefRefPtr<CefCommandLine> commandLine = CefCommandLine::CreateCommandLine();
  commandLine->InitFromArgv(argc, argv);
  const ProcessRole role = GetProcessRole(commandLine);

  if (role == ProcessRole::Renderer) {
    CefRefPtr<RendererApp> app = new RendererApp();
    return CefExecuteProcess(args, app, nullptr);
  }

  CefSettings settings;
  FillEngineSettings(GetDataDir(), settings);
  CefRefPtr<BrowserApp> app = new BrowserApp(kAppUrl, kDefaultAllowList);
  // Only the process the user started supervises a backend; the engine's
  // GPU and utility processes have no use for one.
  if (role == ProcessRole::Browser) {
    StartBackend();
  }
  const int code = CefExecuteProcess(args, app, nullptr);
  if (code >= 0) {
    return code;
  }
  if (!InitializeEngineKeepingXHandlers(args, settings, app)) {
    // Another instance owns the profile: it has been asked to come forward.
    // Stay until the backend this start launched has ended. A stop signal
    // meanwhile keeps its default action: there is no engine to shut down,
    // and the backend dies with this process by its parent-death signal.
    RunBackendProcess();
    return 1;
  }
  // Only now: the engine puts handlers of its own in place while it starts.
  InstallShutdownSignalHandlers();
  app = nullptr;
  settings = CefSettings();  // the engine keeps its own copy
  CefRunMessageLoop();
  CefShutdown();
  return 0;
}
