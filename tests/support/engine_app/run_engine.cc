#include "tests/support/engine_app/run_engine.h"

#include <cstdio>

#include "include/cef_command_line.h"

namespace engine_test_app {

CefSettings AppSettings(const std::string& cache_root) {
  CefSettings settings;
  settings.no_sandbox = true;
  CefString(&settings.root_cache_path) = cache_root;
  CefString(&settings.log_file) = cache_root + "/engine.log";
  return settings;
}

int RunBrowserProcess(const CefMainArgs& args,
                      CefRefPtr<CefApp> app,
                      const std::string& cache_root,
                      const std::function<void()>& after_loop) {
  if (!CefInitialize(args, AppSettings(cache_root), app, nullptr)) {
    return 1;
  }
  CefRunMessageLoop();
  if (after_loop) {
    after_loop();
  }
  CefShutdown();
  return 0;
}

int AppMain(int argc,
            char* argv[],
            CefRefPtr<CefApp> app,
            const std::vector<std::string>& required) {
  CefMainArgs args(argc, argv);
  const int child = CefExecuteProcess(args, app, nullptr);
  if (child >= 0) {
    return child;
  }
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(argc, argv);
  std::vector<std::string> switches = {"cache-root"};
  switches.insert(switches.end(), required.begin(), required.end());
  std::string usage;
  bool complete = true;
  for (const std::string& name : switches) {
    usage += " --" + name + "=...";
    complete = complete && !line->GetSwitchValue(name).empty();
  }
  if (!complete) {
    std::fprintf(stderr, "usage: %s%s\n", argv[0], usage.c_str());
    return 2;
  }
  return RunBrowserProcess(args, app,
                           line->GetSwitchValue("cache-root").ToString());
}

}  // namespace engine_test_app
