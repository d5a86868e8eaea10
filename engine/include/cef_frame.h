// A frame of a browser's page. In the browser process the main frame object
// of a browser lives as long as the browser; sub-frame objects describe one
// navigation and are not kept.

#ifndef CEF_INCLUDE_CEF_FRAME_H_
#define CEF_INCLUDE_CEF_FRAME_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_process_message.h"
#include "include/cef_request.h"
#include "include/cef_string_visitor.h"

class CefBrowser;
class CefV8Context;

// Methods may be called on any thread; work on the page is carried out on
// the UI thread.
class CefFrame : public virtual CefBaseRefCounted {
 public:
  // False once the frame's browser has closed.
  virtual bool IsValid() = 0;

  // Editing commands, applied to the focused element of the page. In the
  // development engine they reach the page on another path than
  // ExecuteJavaScript, so a script sent after a command may run before it.
  // Delete, which Qt offers no page action for, runs as script: it keeps its
  // order with scripts, not with the other commands.
  virtual void Undo() = 0;
  virtual void Redo() = 0;
  virtual void Cut() = 0;
  virtual void Copy() = 0;
  virtual void Paste() = 0;
  virtual void PasteAndMatchStyle() = 0;
  virtual void Delete() = 0;
  virtual void SelectAll() = 0;

  // Shows the page source (not available in the development engine).
  virtual void ViewSource() = 0;
  // The document's HTML, delivered to |visitor| on the UI thread.
  virtual void GetSource(CefRefPtr<CefStringVisitor> visitor) = 0;
  // The document's text, delivered to |visitor| on the UI thread.
  virtual void GetText(CefRefPtr<CefStringVisitor> visitor) = 0;

  // Loads the request's URL (only GET without a body is honoured).
  virtual void LoadRequest(CefRefPtr<CefRequest> request) = 0;
  virtual void LoadURL(const CefString& url) = 0;

  // Runs |code| in the page's main script world. |script_url| and
  // |start_line| only label error reports.
  virtual void ExecuteJavaScript(const CefString& code,
                                 const CefString& script_url,
                                 int start_line) = 0;

  virtual bool IsMain() = 0;
  virtual bool IsFocused() = 0;
  virtual CefString GetName() = 0;
  // Stable for the life of the frame object; never empty.
  virtual CefString GetIdentifier() = 0;
  // The parent frame, or null for the main frame.
  virtual CefRefPtr<CefFrame> GetParent() = 0;
  virtual CefString GetURL() = 0;
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  // Renderer process only; null in the browser process.
  virtual CefRefPtr<CefV8Context> GetV8Context() = 0;

  // Sends |message| to |target_process|. The |message| reference is
  // invalidated: it has no argument list any more and cannot be sent again.
  virtual void SendProcessMessage(CefProcessId target_process,
                                  CefRefPtr<CefProcessMessage> message) = 0;
};

#endif  // CEF_INCLUDE_CEF_FRAME_H_
