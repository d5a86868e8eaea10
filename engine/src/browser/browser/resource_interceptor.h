// Sends every resource request of one page through the client's
// CefResourceRequestHandler::OnBeforeResourceLoad on the IO thread.
//
// Qt asks the interceptor on its UI thread and needs the answer at once, so
// the UI thread waits while the handler runs on TID_IO (and, for
// RV_CONTINUE_ASYNC, until the callback is continued, at most
// kResourceDecisionTimeoutMs; then the request is blocked).

#ifndef CEFENGINE_BROWSER_BROWSER_RESOURCE_INTERCEPTOR_H_
#define CEFENGINE_BROWSER_BROWSER_RESOURCE_INTERCEPTOR_H_

#include <mutex>

#include <QWebEngineUrlRequestInterceptor>

#include "include/cef_base.h"

namespace cefengine {

class CefBrowserImpl;

constexpr int kResourceDecisionTimeoutMs = 10000;

class ResourceInterceptor : public QWebEngineUrlRequestInterceptor {
 public:
  ResourceInterceptor(CefBrowserImpl* browser, QObject* parent);

  // The browser has closed: requests pass unexamined from now on.
  void Detach();

  // QWebEngineUrlRequestInterceptor methods:
  void interceptRequest(QWebEngineUrlRequestInfo& info) override;

 private:
  std::mutex mutex_;
  CefRefPtr<CefBrowserImpl> browser_;
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_RESOURCE_INTERCEPTOR_H_
