// CefFrame in the browser process. Qt WebEngine 6.4 gives no access to
// sub-frames, so the main frame object is the one that acts on the page.
// Sub-frame objects describe a sub-frame navigation to handlers, or a
// sub-frame document known to the script bridge, which can run script in it
// and exchange process messages with it.

#ifndef CEFENGINE_BROWSER_BROWSER_FRAME_IMPL_H_
#define CEFENGINE_BROWSER_BROWSER_FRAME_IMPL_H_

#include <mutex>
#include <string>

#include "include/cef_frame.h"

namespace cefengine {

class CefBrowserImpl;

class CefFrameImpl : public CefFrame {
 public:
  // The main frame of |browser|, valid until Detach.
  static CefRefPtr<CefFrameImpl> CreateMain(CefRefPtr<CefBrowserImpl> browser);
  // A sub-frame of |browser| (child of its main frame) navigating to |url|.
  static CefRefPtr<CefFrameImpl> CreateSubFrame(
      CefRefPtr<CefBrowserImpl> browser,
      const CefString& url);
  // The sub-frame document |identifier| of |browser| that the script bridge
  // knows.
  static CefRefPtr<CefFrameImpl> CreateBridgeSubFrame(
      CefRefPtr<CefBrowserImpl> browser,
      const std::string& identifier,
      const CefString& url,
      const CefString& name);

  CefFrameImpl(const CefFrameImpl&) = delete;
  CefFrameImpl& operator=(const CefFrameImpl&) = delete;

  // The browser closed: the frame turns invalid and drops its browser.
  void Detach();
  // The document's URL changed. Any thread.
  void SetURL(const CefString& url);

  // CefFrame methods:
  bool IsValid() override;
  void Undo() override;
  void Redo() override;
  void Cut() override;
  void Copy() override;
  void Paste() override;
  void PasteAndMatchStyle() override;
  void Delete() override;
  void SelectAll() override;
  void ViewSource() override;
  void GetSource(CefRefPtr<CefStringVisitor> visitor) override;
  void GetText(CefRefPtr<CefStringVisitor> visitor) override;
  void LoadRequest(CefRefPtr<CefRequest> request) override;
  void LoadURL(const CefString& url) override;
  void ExecuteJavaScript(const CefString& code,
                         const CefString& script_url,
                         int start_line) override;
  bool IsMain() override;
  bool IsFocused() override;
  CefString GetName() override;
  CefString GetIdentifier() override;
  CefRefPtr<CefFrame> GetParent() override;
  CefString GetURL() override;
  CefRefPtr<CefBrowser> GetBrowser() override;
  CefRefPtr<CefV8Context> GetV8Context() override;
  void SendProcessMessage(CefProcessId target_process,
                          CefRefPtr<CefProcessMessage> message) override;

 private:
  CefFrameImpl(CefRefPtr<CefBrowserImpl> browser,
               bool is_main,
               const CefString& identifier,
               const CefString& url);

  // The browser when this frame may act on the page (a valid main frame),
  // else null.
  CefRefPtr<CefBrowserImpl> ActingBrowser();

  const bool is_main_;
  const CefString identifier_;
  CefRefPtr<CefFrameImpl> parent_;
  mutable std::mutex mutex_;
  CefRefPtr<CefBrowserImpl> browser_;
  CefString url_;
  CefString name_;

  IMPLEMENT_REFCOUNTING(CefFrameImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_FRAME_IMPL_H_
