#include "bridge/renderer_app.h"

#include "shell/engine_switches.h"

void RendererApp::OnBeforeCommandLineProcessing(
    const CefString& process_type,
    CefRefPtr<CefCommandLine> command_line) {
  ApplyEngineSwitches(command_line);
}
