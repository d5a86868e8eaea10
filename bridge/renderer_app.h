// The application object of the renderer (and zygote) processes. It gives
// them the shell's engine switches; the page's script object and the replies
// from the browser process join it with the bridge.

#ifndef KORVEL_BRIDGE_RENDERER_APP_H_
#define KORVEL_BRIDGE_RENDERER_APP_H_

#include "include/cef_app.h"
#include "include/cef_render_process_handler.h"

class RendererApp : public CefApp, public CefRenderProcessHandler {
 public:
  RendererApp() = default;

  // CefApp methods:
  void OnBeforeCommandLineProcessing(
      const CefString& process_type,
      CefRefPtr<CefCommandLine> command_line) override;
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override {
    return this;
  }

 private:
  IMPLEMENT_REFCOUNTING(RendererApp);
  DISALLOW_COPY_AND_ASSIGN(RendererApp);
};

#endif  // KORVEL_BRIDGE_RENDERER_APP_H_
