// The application object of the renderer (and zygote) processes: the
// shell's engine switches, the page's `korvel` object, and the scripts that
// carry the browser's replies and notifications into the page.

#ifndef KORVEL_BRIDGE_RENDERER_RENDERER_APP_H_
#define KORVEL_BRIDGE_RENDERER_RENDERER_APP_H_

#include <string_view>

#include "include/cef_app.h"
#include "include/cef_render_process_handler.h"

class BridgeHandler;

// The extension source that defines `korvel`, embedded at build time.
extern const std::string_view KorvelExtensionSource;

// The script that the renderer runs for a message from the browser process,
// or "" for a name it does not know.
std::string BuildReplyScript(CefRefPtr<CefProcessMessage> message);

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

  // CefRenderProcessHandler methods:
  void OnWebKitInitialized() override;
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override;

 private:
  // The handler of the extension; the registration owns it.
  BridgeHandler* bridgeHandler = nullptr;

  IMPLEMENT_REFCOUNTING(RendererApp);
  DISALLOW_COPY_AND_ASSIGN(RendererApp);
};

#endif  // KORVEL_BRIDGE_RENDERER_RENDERER_APP_H_
