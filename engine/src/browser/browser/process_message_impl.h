// CefProcessMessage: a name and an argument list.

#ifndef CEFENGINE_BROWSER_BROWSER_PROCESS_MESSAGE_IMPL_H_
#define CEFENGINE_BROWSER_BROWSER_PROCESS_MESSAGE_IMPL_H_

#include <mutex>

#include "include/cef_process_message.h"

namespace cefengine {

class CefProcessMessageImpl : public CefProcessMessage {
 public:
  // |arguments| null gives an empty list. The message keeps |arguments|
  // itself, not a copy.
  CefProcessMessageImpl(const CefString& name,
                        CefRefPtr<CefListValue> arguments);
  CefProcessMessageImpl(const CefProcessMessageImpl&) = delete;
  CefProcessMessageImpl& operator=(const CefProcessMessageImpl&) = delete;

  // Freezes the message and its arguments (done for a delivered message).
  // Earlier references to the argument list keep the writable list, which
  // no longer belongs to the message.
  void SetReadOnly();

  // Takes the arguments out for sending: from then on the message is
  // invalid and has no argument list, as the production engine leaves a
  // sent message. Null when the message was sent already.
  CefRefPtr<CefListValue> TakeArguments();

  // CefProcessMessage methods:
  bool IsValid() override;
  bool IsReadOnly() override;
  CefRefPtr<CefProcessMessage> Copy() override;
  CefString GetName() override;
  CefRefPtr<CefListValue> GetArgumentList() override;
  CefRefPtr<CefSharedMemoryRegion> GetSharedMemoryRegion() override;

 private:
  const CefString name_;
  std::mutex mutex_;
  CefRefPtr<CefListValue> arguments_;
  bool read_only_ = false;

  IMPLEMENT_REFCOUNTING(CefProcessMessageImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_PROCESS_MESSAGE_IMPL_H_
