// CefRequest as the engine hands it to navigation and resource handlers.

#ifndef CEFENGINE_BROWSER_BROWSER_REQUEST_IMPL_H_
#define CEFENGINE_BROWSER_BROWSER_REQUEST_IMPL_H_

#include <atomic>
#include <mutex>

#include <QWebEnginePage>
#include <QWebEngineUrlRequestInfo>

#include "include/cef_request.h"

namespace cefengine {

class CefRequestImpl : public CefRequest {
 public:
  CefRequestImpl();
  CefRequestImpl(const CefRequestImpl&) = delete;
  CefRequestImpl& operator=(const CefRequestImpl&) = delete;

  // A request seen by a handler gets a process-unique identifier.
  void AssignIdentifier();
  void SetResourceType(ResourceType type);
  void SetTransitionType(TransitionType type);
  // Freezes the request: setters do nothing afterwards.
  void SetReadOnly();
  // True when a setter changed the URL or a header since the last call to
  // ClearChanges.
  bool url_changed() const;
  bool headers_changed() const;
  void ClearChanges();

  // CefRequest methods:
  bool IsReadOnly() override;
  CefString GetURL() override;
  void SetURL(const CefString& url) override;
  CefString GetMethod() override;
  void SetMethod(const CefString& method) override;
  void SetReferrer(const CefString& referrer_url,
                   ReferrerPolicy policy) override;
  CefString GetReferrerURL() override;
  ReferrerPolicy GetReferrerPolicy() override;
  CefRefPtr<CefPostData> GetPostData() override;
  void SetPostData(CefRefPtr<CefPostData> postData) override;
  void GetHeaderMap(HeaderMap& headerMap) override;
  void SetHeaderMap(const HeaderMap& headerMap) override;
  CefString GetHeaderByName(const CefString& name) override;
  void SetHeaderByName(const CefString& name,
                       const CefString& value,
                       bool overwrite) override;
  void Set(const CefString& url,
           const CefString& method,
           CefRefPtr<CefPostData> postData,
           const HeaderMap& headerMap) override;
  int GetFlags() override;
  void SetFlags(int flags) override;
  CefString GetFirstPartyForCookies() override;
  void SetFirstPartyForCookies(const CefString& url) override;
  ResourceType GetResourceType() override;
  TransitionType GetTransitionType() override;
  uint64_t GetIdentifier() override;

 private:
  // Handlers may read a request on one thread while the engine reads it on
  // another.
  mutable std::mutex mutex_;
  CefString url_;
  CefString method_ = "GET";
  CefString referrer_url_;
  ReferrerPolicy referrer_policy_ = REFERRER_POLICY_DEFAULT;
  HeaderMap headers_;
  int flags_ = 0;
  CefString first_party_;
  ResourceType resource_type_ = RT_SUB_RESOURCE;
  TransitionType transition_type_ = TT_EXPLICIT;
  uint64_t identifier_ = 0;
  bool read_only_ = false;
  bool url_changed_ = false;
  bool headers_changed_ = false;

  IMPLEMENT_REFCOUNTING(CefRequestImpl);
};

// Qt's resource types carry Chromium's numbering, as the engine's do; the
// WebSocket and unknown types become RT_SUB_RESOURCE.
cef_resource_type_t ToCefResourceType(
    QWebEngineUrlRequestInfo::ResourceType type);

// The transition of a navigation of a main frame (or, with |main_frame|
// false, of a sub-frame) of the kind Qt reports.
cef_transition_type_t ToCefTransitionType(QWebEnginePage::NavigationType type,
                                          bool main_frame);
cef_transition_type_t ToCefTransitionType(
    QWebEngineUrlRequestInfo::NavigationType type,
    bool main_frame);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_REQUEST_IMPL_H_
