// The renderer role: the process the browser process starts with
// "--type=renderer" to run the application's render-process handler.

#ifndef CEFENGINE_RENDERER_RENDERER_MAIN_H_
#define CEFENGINE_RENDERER_RENDERER_MAIN_H_

#include "include/cef_app.h"

namespace cefengine {

// Runs the renderer role until the browser process closes the channel or
// dies. Returns the process exit code: 0 after a normal end, 1 when started
// without a usable channel.
int RunRendererProcess(const CefMainArgs& args, CefRefPtr<CefApp> application);

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_RENDERER_MAIN_H_
