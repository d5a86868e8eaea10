// Application-supplied strings and resources. Declared for the CefApp slot;
// the development engine takes its resources from Qt and does not call it.

#ifndef CEF_INCLUDE_CEF_RESOURCE_BUNDLE_HANDLER_H_
#define CEF_INCLUDE_CEF_RESOURCE_BUNDLE_HANDLER_H_
#pragma once

#include "include/cef_base.h"

class CefResourceBundleHandler : public virtual CefBaseRefCounted {
 public:
  // Fills |string| for |string_id|; false to use the engine's own.
  virtual bool GetLocalizedString(int string_id, CefString& string) = 0;

  // Points |data| at resource |resource_id| (kept alive by the handler);
  // false to use the engine's own.
  virtual bool GetDataResource(int resource_id,
                               void*& data,
                               size_t& data_size) = 0;
};

#endif  // CEF_INCLUDE_CEF_RESOURCE_BUNDLE_HANDLER_H_
