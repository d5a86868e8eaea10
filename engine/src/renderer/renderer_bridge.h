// The renderer role's side of the script bridge: runs the native functions
// that pages call and delivers process messages to the application.

#ifndef CEFENGINE_RENDERER_RENDERER_BRIDGE_H_
#define CEFENGINE_RENDERER_RENDERER_BRIDGE_H_

#include "include/cef_render_process_handler.h"

namespace cefengine {

class RendererChannel;

// Installs the bridge's message handlers on |channel|. |handler| may be
// null. Renderer main thread.
void InstallRendererBridge(RendererChannel* channel,
                           CefRefPtr<CefRenderProcessHandler> handler);

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_RENDERER_BRIDGE_H_
