// The native side of the page's `korvel` object: answers the functions that
// the renderer can answer itself and forwards the others to the browser
// process as process messages. Renderer main thread; keeps no state.

#ifndef KORVEL_BRIDGE_RENDERER_BRIDGE_HANDLER_H_
#define KORVEL_BRIDGE_RENDERER_BRIDGE_HANDLER_H_

#include "include/cef_v8.h"

class BridgeHandler : public CefV8Handler {
 public:
  BridgeHandler() = default;

  // CefV8Handler methods:
  bool Execute(const CefString& name,
               CefRefPtr<CefV8Value> object,
               const CefV8ValueList& arguments,
               CefRefPtr<CefV8Value>& retval,
               CefString& exception) override;

 private:
  IMPLEMENT_REFCOUNTING(BridgeHandler);
  DISALLOW_COPY_AND_ASSIGN(BridgeHandler);
};

#endif  // KORVEL_BRIDGE_RENDERER_BRIDGE_HANDLER_H_
