#include "browser/browser/process_message_impl.h"

#include "src/base/values_internal.h"

namespace cefengine {

CefProcessMessageImpl::CefProcessMessageImpl(const CefString& name,
                                             CefRefPtr<CefListValue> arguments)
    : name_(name), arguments_(arguments ? arguments : CefListValue::Create()) {}

void CefProcessMessageImpl::SetReadOnly() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (read_only_) {
    return;
  }
  read_only_ = true;
  arguments_ = cef_base::CreateListFromNode(
      cef_base::CopyNodeOf(arguments_.get()), /*read_only=*/true);
}

CefRefPtr<CefListValue> CefProcessMessageImpl::TakeArguments() {
  std::lock_guard<std::mutex> lock(mutex_);
  CefRefPtr<CefListValue> taken = arguments_;
  arguments_ = nullptr;
  return taken;
}

bool CefProcessMessageImpl::IsValid() {
  std::lock_guard<std::mutex> lock(mutex_);
  return arguments_ && arguments_->IsValid();
}

bool CefProcessMessageImpl::IsReadOnly() {
  std::lock_guard<std::mutex> lock(mutex_);
  return read_only_ || !arguments_;
}

CefRefPtr<CefProcessMessage> CefProcessMessageImpl::Copy() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!arguments_) {
    return nullptr;
  }
  return new CefProcessMessageImpl(name_, arguments_->Copy());
}

CefString CefProcessMessageImpl::GetName() {
  return name_;
}

CefRefPtr<CefListValue> CefProcessMessageImpl::GetArgumentList() {
  std::lock_guard<std::mutex> lock(mutex_);
  return arguments_;
}

CefRefPtr<CefSharedMemoryRegion>
CefProcessMessageImpl::GetSharedMemoryRegion() {
  return nullptr;
}

}  // namespace cefengine

CefRefPtr<CefProcessMessage> CefProcessMessage::Create(const CefString& name) {
  return new cefengine::CefProcessMessageImpl(name, nullptr);
}
