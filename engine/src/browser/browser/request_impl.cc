#include "browser/browser/request_impl.h"

#include <strings.h>

namespace cefengine {

namespace {

std::atomic<uint64_t> g_next_request_id{1};

bool SameHeaderName(const CefString& a, const CefString& b) {
  return strcasecmp(a.ToString().c_str(), b.ToString().c_str()) == 0;
}

}  // namespace

CefRequestImpl::CefRequestImpl() = default;

void CefRequestImpl::AssignIdentifier() {
  std::lock_guard<std::mutex> lock(mutex_);
  identifier_ = g_next_request_id++;
}

void CefRequestImpl::SetResourceType(ResourceType type) {
  std::lock_guard<std::mutex> lock(mutex_);
  resource_type_ = type;
}

void CefRequestImpl::SetTransitionType(TransitionType type) {
  std::lock_guard<std::mutex> lock(mutex_);
  transition_type_ = type;
}

void CefRequestImpl::SetReadOnly() {
  std::lock_guard<std::mutex> lock(mutex_);
  read_only_ = true;
}

bool CefRequestImpl::url_changed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return url_changed_;
}

bool CefRequestImpl::headers_changed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return headers_changed_;
}

void CefRequestImpl::ClearChanges() {
  std::lock_guard<std::mutex> lock(mutex_);
  url_changed_ = false;
  headers_changed_ = false;
}

bool CefRequestImpl::IsReadOnly() {
  std::lock_guard<std::mutex> lock(mutex_);
  return read_only_;
}

CefString CefRequestImpl::GetURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return url_;
}

void CefRequestImpl::SetURL(const CefString& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (read_only_ || url_ == url) {
    return;
  }
  url_ = url;
  url_changed_ = true;
}

CefString CefRequestImpl::GetMethod() {
  std::lock_guard<std::mutex> lock(mutex_);
  return method_;
}

void CefRequestImpl::SetMethod(const CefString& method) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    method_ = method;
  }
}

void CefRequestImpl::SetReferrer(const CefString& referrer_url,
                                 ReferrerPolicy policy) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    referrer_url_ = referrer_url;
    referrer_policy_ = policy;
  }
}

CefString CefRequestImpl::GetReferrerURL() {
  std::lock_guard<std::mutex> lock(mutex_);
  return referrer_url_;
}

CefRequest::ReferrerPolicy CefRequestImpl::GetReferrerPolicy() {
  std::lock_guard<std::mutex> lock(mutex_);
  return referrer_policy_;
}

CefRefPtr<CefPostData> CefRequestImpl::GetPostData() {
  return nullptr;
}

void CefRequestImpl::SetPostData(CefRefPtr<CefPostData> postData) {}

void CefRequestImpl::GetHeaderMap(HeaderMap& headerMap) {
  std::lock_guard<std::mutex> lock(mutex_);
  headerMap = headers_;
}

void CefRequestImpl::SetHeaderMap(const HeaderMap& headerMap) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    headers_ = headerMap;
    headers_changed_ = true;
  }
}

CefString CefRequestImpl::GetHeaderByName(const CefString& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& [key, value] : headers_) {
    if (SameHeaderName(key, name)) {
      return value;
    }
  }
  return CefString();
}

void CefRequestImpl::SetHeaderByName(const CefString& name,
                                     const CefString& value,
                                     bool overwrite) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (read_only_) {
    return;
  }
  for (auto it = headers_.begin(); it != headers_.end();) {
    if (!SameHeaderName(it->first, name)) {
      ++it;
      continue;
    }
    if (!overwrite) {
      return;
    }
    it = headers_.erase(it);
  }
  headers_.emplace(name, value);
  headers_changed_ = true;
}

void CefRequestImpl::Set(const CefString& url,
                         const CefString& method,
                         CefRefPtr<CefPostData> postData,
                         const HeaderMap& headerMap) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (read_only_) {
    return;
  }
  if (url_ != url) {
    url_ = url;
    url_changed_ = true;
  }
  method_ = method;
  headers_ = headerMap;
  headers_changed_ = true;
}

int CefRequestImpl::GetFlags() {
  std::lock_guard<std::mutex> lock(mutex_);
  return flags_;
}

void CefRequestImpl::SetFlags(int flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    flags_ = flags;
  }
}

CefString CefRequestImpl::GetFirstPartyForCookies() {
  std::lock_guard<std::mutex> lock(mutex_);
  return first_party_;
}

void CefRequestImpl::SetFirstPartyForCookies(const CefString& url) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!read_only_) {
    first_party_ = url;
  }
}

CefRequest::ResourceType CefRequestImpl::GetResourceType() {
  std::lock_guard<std::mutex> lock(mutex_);
  return resource_type_;
}

CefRequest::TransitionType CefRequestImpl::GetTransitionType() {
  std::lock_guard<std::mutex> lock(mutex_);
  return transition_type_;
}

uint64_t CefRequestImpl::GetIdentifier() {
  std::lock_guard<std::mutex> lock(mutex_);
  return identifier_;
}

cef_resource_type_t ToCefResourceType(
    QWebEngineUrlRequestInfo::ResourceType type) {
  const int value = static_cast<int>(type);
  if (value >= RT_MAIN_FRAME && value < RT_NUM_VALUES && value != 18) {
    return static_cast<cef_resource_type_t>(value);
  }
  return RT_SUB_RESOURCE;
}

namespace {

// Sub-frames: navigations the user started count as manual, the rest (the
// frame's first load) as automatic.
cef_transition_type_t SubFrameTransition(bool user_started) {
  return user_started ? TT_MANUAL_SUBFRAME : TT_AUTO_SUBFRAME;
}

cef_transition_type_t Combine(int core, int flags) {
  return static_cast<cef_transition_type_t>(core | flags);
}

}  // namespace

cef_transition_type_t ToCefTransitionType(QWebEnginePage::NavigationType type,
                                          bool main_frame) {
  switch (type) {
    case QWebEnginePage::NavigationTypeLinkClicked:
      return main_frame ? TT_LINK : SubFrameTransition(true);
    case QWebEnginePage::NavigationTypeTyped:
      return main_frame ? Combine(TT_EXPLICIT, TT_FROM_API_FLAG)
                        : SubFrameTransition(false);
    case QWebEnginePage::NavigationTypeFormSubmitted:
      return main_frame ? TT_FORM_SUBMIT : SubFrameTransition(true);
    case QWebEnginePage::NavigationTypeBackForward:
      return Combine(main_frame ? TT_EXPLICIT : TT_MANUAL_SUBFRAME,
                     TT_FORWARD_BACK_FLAG);
    case QWebEnginePage::NavigationTypeReload:
      return main_frame ? TT_RELOAD : SubFrameTransition(false);
    case QWebEnginePage::NavigationTypeRedirect:
      return Combine(main_frame ? TT_LINK : TT_AUTO_SUBFRAME,
                     TT_SERVER_REDIRECT_FLAG);
    case QWebEnginePage::NavigationTypeOther:
      break;
  }
  return main_frame ? TT_LINK : SubFrameTransition(false);
}

cef_transition_type_t ToCefTransitionType(
    QWebEngineUrlRequestInfo::NavigationType type,
    bool main_frame) {
  // Both enums list the same kinds in the same order.
  return ToCefTransitionType(static_cast<QWebEnginePage::NavigationType>(type),
                             main_frame);
}

}  // namespace cefengine

CefRefPtr<CefRequest> CefRequest::Create() {
  return new cefengine::CefRequestImpl();
}
