#include "common/switches.h"
#include "include/cef_app.h"
#include "renderer/renderer_main.h"

int CefExecuteProcess(const CefMainArgs& args,
                      CefRefPtr<CefApp> application,
                      void* windows_sandbox_info) {
  CefRefPtr<CefCommandLine> command_line = CefCommandLine::CreateCommandLine();
  command_line->InitFromArgv(args.argc, args.argv);
  if (!command_line->HasSwitch(cefengine::switches::kProcessType))
    return -1;
  if (command_line->GetSwitchValue(cefengine::switches::kProcessType)
          .ToString() == cefengine::switches::kRendererProcess) {
    return cefengine::RunRendererProcess(args, application);
  }
  // Pages run in Qt's own helper processes; the engine never starts other
  // process types of its own.
  return 0;
}
