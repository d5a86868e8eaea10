// CefBrowserHost::StartDownload: the download goes through the same
// handler calls as one the page starts.

#include <QUrl>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_page.h"

namespace cefengine {

void CefBrowserImpl::StartDownload(const CefString& url) {
  const QUrl target(QString::fromStdString(url.ToString()));
  RunOnUIThread([this, target] {
    if (page_ && target.isValid()) {
      page_->download(target);
    }
  });
}

}  // namespace cefengine
