// An image in one or more scale factors. Only the queries are declared: the
// development engine hands out no images (drag images are absent).

#ifndef CEF_INCLUDE_CEF_IMAGE_H_
#define CEF_INCLUDE_CEF_IMAGE_H_
#pragma once

#include "include/cef_base.h"

class CefImage : public virtual CefBaseRefCounted {
 public:
  virtual bool IsEmpty() = 0;
  virtual bool IsSame(CefRefPtr<CefImage> that) = 0;
  // Size in density-independent pixels.
  virtual size_t GetWidth() = 0;
  virtual size_t GetHeight() = 0;
};

#endif  // CEF_INCLUDE_CEF_IMAGE_H_
