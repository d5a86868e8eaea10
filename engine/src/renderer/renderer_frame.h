// CefFrame in the renderer role: one frame document that the bridge has
// seen. Work on the page goes to the browser process, which runs it in the
// frame.

#ifndef CEFENGINE_RENDERER_RENDERER_FRAME_H_
#define CEFENGINE_RENDERER_RENDERER_FRAME_H_

#include <string>

#include "include/cef_frame.h"

namespace cefengine {

class RendererBrowser;

class RendererFrame : public CefFrame {
 public:
  RendererFrame(RendererBrowser* browser,
                const std::string& identifier,
                bool is_main);
  RendererFrame(const RendererFrame&) = delete;
  RendererFrame& operator=(const RendererFrame&) = delete;

  // What the frame's last call said about its document.
  void Update(const std::string& url, const std::string& name);
  // The frame's document is gone (or its browser): the frame turns invalid.
  void Detach();

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
  // Sends the edit command |name| to the browser for this frame.
  void SendCommand(const char* name);

  // Renderer main thread only, like every renderer-side object.
  RendererBrowser* browser_;
  const std::string identifier_;
  const bool is_main_;
  std::string url_;
  std::string name_;
  bool valid_ = true;

  IMPLEMENT_REFCOUNTING(RendererFrame);
};

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_RENDERER_FRAME_H_
