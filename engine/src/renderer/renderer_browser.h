// CefBrowser in the renderer role: the frames of one browser that the
// bridge has seen. Created on the first call or message about the browser;
// kept for the life of the process.

#ifndef CEFENGINE_RENDERER_RENDERER_BROWSER_H_
#define CEFENGINE_RENDERER_RENDERER_BROWSER_H_

#include <map>
#include <string>

#include "include/cef_browser.h"
#include "renderer/renderer_frame.h"

namespace cefengine {

class RendererBrowser : public CefBrowser {
 public:
  // The browser with |id|, created on first use; |created| tells whether it
  // is new. Renderer main thread.
  static CefRefPtr<RendererBrowser> GetOrCreate(int id, bool* created);
  // The browser with |id| or null.
  static CefRefPtr<RendererBrowser> Find(int id);

  RendererBrowser(const RendererBrowser&) = delete;
  RendererBrowser& operator=(const RendererBrowser&) = delete;

  // The frame |frame_id|, created on first use. A new main-frame document
  // (|document_id| changed) drops the sub-frames of the previous one.
  CefRefPtr<RendererFrame> FrameFor(const std::string& frame_id,
                                    const std::string& document_id);
  // Records whether the frame's document had focus at its last call.
  void ReportFocus(const std::string& frame_id, bool has_focus);
  bool IsFocusedFrame(const std::string& frame_id) const;

  // CefBrowser methods:
  bool IsValid() override;
  CefRefPtr<CefBrowserHost> GetHost() override;
  bool CanGoBack() override;
  void GoBack() override;
  bool CanGoForward() override;
  void GoForward() override;
  bool IsLoading() override;
  void Reload() override;
  void ReloadIgnoreCache() override;
  void StopLoad() override;
  int GetIdentifier() override;
  bool IsSame(CefRefPtr<CefBrowser> that) override;
  bool IsPopup() override;
  bool HasDocument() override;
  CefRefPtr<CefFrame> GetMainFrame() override;
  CefRefPtr<CefFrame> GetFocusedFrame() override;
  CefRefPtr<CefFrame> GetFrameByIdentifier(
      const CefString& identifier) override;
  CefRefPtr<CefFrame> GetFrameByName(const CefString& name) override;
  size_t GetFrameCount() override;
  void GetFrameIdentifiers(std::vector<CefString>& identifiers) override;
  void GetFrameNames(std::vector<CefString>& names) override;

 private:
  explicit RendererBrowser(int id);

  const int id_;
  CefRefPtr<RendererFrame> main_frame_;
  std::string main_document_;
  std::map<std::string, CefRefPtr<RendererFrame>> sub_frames_;
  std::string focused_frame_;

  IMPLEMENT_REFCOUNTING(RendererBrowser);
};

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_RENDERER_BROWSER_H_
