#include "browser/browser/resource_interceptor.h"

#include <chrono>
#include <condition_variable>
#include <memory>

#include "browser/browser/browser_impl.h"
#include "browser/browser/callbacks.h"
#include "browser/browser/frame_impl.h"
#include "browser/browser/request_impl.h"
#include "browser/browser/url_spec.h"
#include "common/tasks.h"

namespace cefengine {

namespace {

// What the IO thread decided about one request.
struct Decision {
  std::mutex mutex;
  std::condition_variable decided_cv;
  bool decided = false;
  bool allow = true;
  // Set when the handler answered RV_CONTINUE_ASYNC.
  CefRefPtr<ResourceLoadCallback> pending;
};

// Runs the client's handlers for |request|; IO thread (or the caller's
// thread when there is no IO thread).
void Decide(CefRefPtr<CefBrowserImpl> browser,
            CefRefPtr<CefFrame> frame,
            CefRefPtr<CefRequestImpl> request,
            const CefString& initiator,
            std::shared_ptr<Decision> decision) {
  bool allow = true;
  CefRefPtr<ResourceLoadCallback> pending;
  CefRefPtr<CefClient> client = browser->client();
  CefRefPtr<CefRequestHandler> handler =
      client ? client->GetRequestHandler() : nullptr;
  if (handler) {
    const cef_resource_type_t type = request->GetResourceType();
    const bool is_navigation = type == RT_MAIN_FRAME || type == RT_SUB_FRAME;
    bool disable_default_handling = false;
    CefRefPtr<CefResourceRequestHandler> resource_handler =
        handler->GetResourceRequestHandler(
            browser.get(), frame, request.get(), is_navigation,
            /*is_download=*/false, initiator, disable_default_handling);
    if (resource_handler) {
      CefRefPtr<ResourceLoadCallback> callback = new ResourceLoadCallback();
      switch (resource_handler->OnBeforeResourceLoad(browser.get(), frame,
                                                     request.get(), callback)) {
        case RV_CANCEL:
          allow = false;
          break;
        case RV_CONTINUE:
          break;
        case RV_CONTINUE_ASYNC:
          pending = callback;
          break;
      }
    }
  }
  std::lock_guard<std::mutex> lock(decision->mutex);
  decision->decided = true;
  decision->allow = allow;
  decision->pending = pending;
  decision->decided_cv.notify_all();
}

}  // namespace

ResourceInterceptor::ResourceInterceptor(CefBrowserImpl* browser,
                                         QObject* parent)
    : QWebEngineUrlRequestInterceptor(parent), browser_(browser) {}

void ResourceInterceptor::Detach() {
  std::lock_guard<std::mutex> lock(mutex_);
  browser_ = nullptr;
}

void ResourceInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info) {
  CefRefPtr<CefBrowserImpl> browser;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    browser = browser_;
  }
  if (!browser || !browser->client()) {
    return;
  }

  const cef_resource_type_t type = ToCefResourceType(info.resourceType());
  CefRefPtr<CefRequestImpl> request = new CefRequestImpl();
  const std::string url = UrlSpec(info.requestUrl());
  request->SetURL(url);
  request->SetMethod(info.requestMethod().toStdString());
  request->SetFirstPartyForCookies(UrlSpec(info.firstPartyUrl()));
  request->SetResourceType(type);
  request->SetTransitionType(
      ToCefTransitionType(info.navigationType(), type != RT_SUB_FRAME));
  request->AssignIdentifier();
  request->ClearChanges();

  CefRefPtr<CefFrame> frame;
  if (type == RT_SUB_FRAME) {
    frame = CefFrameImpl::CreateSubFrame(browser, url).get();
  } else {
    frame = browser->main_frame().get();
  }
  const CefString initiator = info.initiator().toString().toStdString();

  auto decision = std::make_shared<Decision>();
  const auto start = std::chrono::steady_clock::now();
  if (!PostTask(TID_IO, [browser, frame, request, initiator, decision] {
        Decide(browser, frame, request, initiator, decision);
      })) {
    Decide(browser, frame, request, initiator, decision);
  }

  bool allow = false;
  CefRefPtr<ResourceLoadCallback> pending;
  {
    std::unique_lock<std::mutex> lock(decision->mutex);
    if (decision->decided_cv.wait_for(
            lock, std::chrono::milliseconds(kResourceDecisionTimeoutMs),
            [&decision] { return decision->decided; })) {
      allow = decision->allow;
      pending = decision->pending;
    }
  }
  if (pending) {
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
                           std::chrono::steady_clock::now() - start)
                           .count();
    allow = pending->Wait(
        std::max<int>(0, kResourceDecisionTimeoutMs - static_cast<int>(spent)));
  }

  // The handler may have rewritten the request; it is frozen from here on.
  request->SetReadOnly();
  if (!allow) {
    info.block(true);
    if (type == RT_MAIN_FRAME) {
      const QUrl blocked = info.requestUrl();
      PostTask(TID_UI,
               [browser, blocked] { browser->OnMainFrameBlocked(blocked); });
    }
    return;
  }
  if (request->headers_changed()) {
    CefRequest::HeaderMap headers;
    request->GetHeaderMap(headers);
    for (const auto& [name, value] : headers) {
      info.setHttpHeader(QByteArray::fromStdString(name.ToString()),
                         QByteArray::fromStdString(value.ToString()));
    }
  }
  if (request->url_changed()) {
    info.redirect(QUrl(QString::fromStdString(request->GetURL().ToString())));
  }
}

}  // namespace cefengine
