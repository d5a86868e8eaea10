// Script extensions registered in the renderer role. The browser receives
// their sources with the renderer's ready message and injects them into
// every document.

#ifndef CEFENGINE_RENDERER_EXTENSION_REGISTRY_H_
#define CEFENGINE_RENDERER_EXTENSION_REGISTRY_H_

#include "include/cef_v8.h"
#include "include/cef_values.h"

namespace cefengine {

// The handler of the extension at |index| (registration order), or null.
// Renderer main thread.
CefRefPtr<CefV8Handler> GetExtensionHandler(int index);

// The registered extensions as a list of [name, code] lists, for the ready
// message. After this, registrations are refused: documents already get
// the scripts as they were. Renderer main thread.
CefRefPtr<CefListValue> SealExtensions();

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_EXTENSION_REGISTRY_H_
