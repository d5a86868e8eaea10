// Accessibility events of browsers drawn off screen. The development engine
// sends none; the interface exists for CefRenderHandler's getter.

#ifndef CEF_INCLUDE_CEF_ACCESSIBILITY_HANDLER_H_
#define CEF_INCLUDE_CEF_ACCESSIBILITY_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_values.h"

class CefAccessibilityHandler : public virtual CefBaseRefCounted {
 public:
  virtual void OnAccessibilityTreeChange(CefRefPtr<CefValue> value) = 0;
  virtual void OnAccessibilityLocationChange(CefRefPtr<CefValue> value) = 0;
};

#endif  // CEF_INCLUDE_CEF_ACCESSIBILITY_HANDLER_H_
