// CefBrowserHost::RunFileDialog: one pending dialog per browser, started
// asynchronously on the UI thread as the real engine does.

#include <set>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_page.h"
#include "browser/browser_view_host.h"
#include "browser/dialogs/file_dialog.h"
#include "common/tasks.h"

namespace cefengine {

namespace {

// Browsers with a dialog open. UI thread.
std::set<int>& BrowsersWithDialog() {
  static std::set<int> browsers;
  return browsers;
}

void Dismiss(CefRefPtr<CefRunFileDialogCallback> callback,
             const std::vector<std::string>& paths) {
  if (!callback) {
    return;
  }
  std::vector<CefString> files(paths.begin(), paths.end());
  callback->OnFileDialogDismissed(files);
}

}  // namespace

void CefBrowserImpl::RunFileDialog(
    FileDialogMode mode,
    const CefString& title,
    const CefString& default_file_path,
    const std::vector<CefString>& accept_filters,
    CefRefPtr<CefRunFileDialogCallback> callback) {
  FileDialogRequest request;
  request.mode = mode;
  request.title = title.ToString();
  request.default_path = default_file_path.ToString();
  for (const CefString& filter : accept_filters) {
    request.accept_filters.push_back(filter.ToString());
  }
  CefRefPtr<CefBrowserImpl> self(this);
  const bool posted = PostTask(TID_UI, [self, request, callback] {
    const int id = self->GetIdentifier();
    if (!self->page_ || !BrowsersWithDialog().insert(id).second) {
      // Closed, or another dialog of this browser is still open.
      Dismiss(callback, {});
      return;
    }
    QWidget* parent = self->host_ ? self->host_->GetViewWidget() : nullptr;
    OpenFileDialog(parent, request,
                   [id, callback](std::vector<std::string> paths) {
                     BrowsersWithDialog().erase(id);
                     Dismiss(callback, paths);
                   });
  });
  if (!posted) {
    Dismiss(callback, {});
  }
}

}  // namespace cefengine
