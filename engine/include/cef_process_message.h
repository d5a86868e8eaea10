// A named message with an argument list, sent between the browser process
// and a renderer process.

#ifndef CEF_INCLUDE_CEF_MESSAGE_H_
#define CEF_INCLUDE_CEF_MESSAGE_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_shared_memory_region.h"
#include "include/cef_values.h"

typedef cef_process_id_t CefProcessId;

// Any thread. A message becomes read-only once it has been sent.
class CefProcessMessage : public virtual CefBaseRefCounted {
 public:
  // A new, writable message called |name|, with an empty argument list.
  static CefRefPtr<CefProcessMessage> Create(const CefString& name);

  virtual bool IsValid() = 0;
  virtual bool IsReadOnly() = 0;
  // A writable deep copy.
  virtual CefRefPtr<CefProcessMessage> Copy() = 0;
  virtual CefString GetName() = 0;
  // The arguments; read-only when the message is.
  virtual CefRefPtr<CefListValue> GetArgumentList() = 0;
  // Always null here: messages carry their data in the argument list.
  virtual CefRefPtr<CefSharedMemoryRegion> GetSharedMemoryRegion() = 0;
};

#endif  // CEF_INCLUDE_CEF_MESSAGE_H_
