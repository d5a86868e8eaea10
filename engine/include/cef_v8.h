// Script contexts of a renderer process. Only the context's identity is
// declared so far; values, handlers and extensions come with the renderer
// side of the engine.

#ifndef CEF_INCLUDE_CEF_V8_H_
#define CEF_INCLUDE_CEF_V8_H_
#pragma once

#include "include/cef_base.h"

class CefBrowser;
class CefFrame;

// The script context of one frame's document. Renderer main thread.
class CefV8Context : public virtual CefBaseRefCounted {
 public:
  virtual bool IsValid() = 0;
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  virtual CefRefPtr<CefFrame> GetFrame() = 0;
  // Makes this the current context; calls must pair with Exit.
  virtual bool Enter() = 0;
  virtual bool Exit() = 0;
  virtual bool IsSame(CefRefPtr<CefV8Context> that) = 0;
};

#endif  // CEF_INCLUDE_CEF_V8_H_
