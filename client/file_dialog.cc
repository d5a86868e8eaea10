#include "client/file_dialog.h"

#include "bridge/common/reply_scripts.h"
#include "include/wrapper/cef_helpers.h"

namespace {

// Hands the dialog's outcome to the document that asked for it.
class SelectFileCallback : public CefRunFileDialogCallback {
 public:
  explicit SelectFileCallback(CefRefPtr<CefFrame> frame) : frame_(frame) {}

  // CefRunFileDialogCallback methods:
  void OnFileDialogDismissed(const std::vector<CefString>& paths) override {
    CEF_REQUIRE_UI_THREAD();
    std::vector<std::string> chosen;
    for (const CefString& path : paths) {
      chosen.push_back(path.ToString());
    }
    // A frame that has gone away ignores the script.
    frame_->ExecuteJavaScript(SelectFileScript(chosen), "", 0);
  }

 private:
  CefRefPtr<CefFrame> frame_;

  IMPLEMENT_REFCOUNTING(SelectFileCallback);
  DISALLOW_COPY_AND_ASSIGN(SelectFileCallback);
};

}  // namespace

std::vector<CefString> SplitAcceptFilters(const std::string& text) {
  std::vector<CefString> filters;
  size_t start = 0;
  for (size_t comma = text.find(','); comma != std::string::npos;
       comma = text.find(',', start)) {
    filters.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  filters.push_back(text.substr(start));
  return filters;
}

void RunSelectFile(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   int mode,
                   const std::string& title,
                   const std::string& defaultPath,
                   const std::string& acceptFilters) {
  CEF_REQUIRE_UI_THREAD();
  if (!browser || !frame) {
    return;
  }
  browser->GetHost()->RunFileDialog(
      static_cast<CefBrowserHost::FileDialogMode>(mode), title, defaultPath,
      SplitAcceptFilters(acceptFilters), new SelectFileCallback(frame));
}
