#include "renderer/v8_context_impl.h"

#include <vector>

#include "include/cef_browser.h"
#include "include/cef_task.h"

namespace cefengine {

namespace {

// Entered contexts, innermost last. Renderer main thread only.
std::vector<CefRefPtr<CefV8Context>>& ContextStack() {
  static auto* stack = new std::vector<CefRefPtr<CefV8Context>>();
  return *stack;
}

}  // namespace

CefV8ContextImpl::CefV8ContextImpl(CefRefPtr<RendererFrame> frame)
    : frame_(frame) {}

bool CefV8ContextImpl::IsValid() {
  return frame_->IsValid();
}

CefRefPtr<CefBrowser> CefV8ContextImpl::GetBrowser() {
  return frame_->GetBrowser();
}

CefRefPtr<CefFrame> CefV8ContextImpl::GetFrame() {
  return frame_.get();
}

bool CefV8ContextImpl::Enter() {
  if (!CefCurrentlyOn(TID_RENDERER))
    return false;
  ContextStack().push_back(this);
  return true;
}

bool CefV8ContextImpl::Exit() {
  auto& stack = ContextStack();
  if (!CefCurrentlyOn(TID_RENDERER) || stack.empty() ||
      !stack.back()->IsSame(this)) {
    return false;
  }
  stack.pop_back();
  return true;
}

bool CefV8ContextImpl::IsSame(CefRefPtr<CefV8Context> that) {
  if (!that)
    return false;
  CefRefPtr<CefFrame> frame = that->GetFrame();
  return frame && frame->GetIdentifier() == frame_->GetIdentifier() &&
         frame->GetBrowser() &&
         frame->GetBrowser()->GetIdentifier() ==
             frame_->GetBrowser()->GetIdentifier();
}

}  // namespace cefengine

// static
CefRefPtr<CefV8Context> CefV8Context::GetCurrentContext() {
  auto& stack = cefengine::ContextStack();
  if (!CefCurrentlyOn(TID_RENDERER) || stack.empty())
    return nullptr;
  return stack.back();
}

// static
CefRefPtr<CefV8Context> CefV8Context::GetEnteredContext() {
  return GetCurrentContext();
}

// static
bool CefV8Context::InContext() {
  return GetCurrentContext() != nullptr;
}
