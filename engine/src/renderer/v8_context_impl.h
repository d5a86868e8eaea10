// CefV8Context in the renderer role: stands for a frame's document while a
// native call of that frame runs, or while an application entered it.

#ifndef CEFENGINE_RENDERER_V8_CONTEXT_IMPL_H_
#define CEFENGINE_RENDERER_V8_CONTEXT_IMPL_H_

#include "include/cef_v8.h"
#include "renderer/renderer_frame.h"

namespace cefengine {

class CefV8ContextImpl : public CefV8Context {
 public:
  explicit CefV8ContextImpl(CefRefPtr<RendererFrame> frame);
  CefV8ContextImpl(const CefV8ContextImpl&) = delete;
  CefV8ContextImpl& operator=(const CefV8ContextImpl&) = delete;

  // CefV8Context methods:
  bool IsValid() override;
  CefRefPtr<CefBrowser> GetBrowser() override;
  CefRefPtr<CefFrame> GetFrame() override;
  bool Enter() override;
  bool Exit() override;
  bool IsSame(CefRefPtr<CefV8Context> that) override;

 private:
  CefRefPtr<RendererFrame> frame_;

  IMPLEMENT_REFCOUNTING(CefV8ContextImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_V8_CONTEXT_IMPL_H_
