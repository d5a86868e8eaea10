// Browser side of the script bridge: puts the page script into every
// document, answers the pages' native calls by asking the renderer role,
// delivers the renderer's process messages to clients and runs the
// renderer's script and edit requests in their frames.

#ifndef CEFENGINE_BROWSER_BRIDGE_SCRIPT_BRIDGE_H_
#define CEFENGINE_BROWSER_BRIDGE_SCRIPT_BRIDGE_H_

#include <functional>
#include <string>

#include <QString>

#include "include/cef_base.h"

class QWebEnginePage;
class QWebEngineProfile;

namespace cefengine {

class CefBrowserImpl;
class CefFrameImpl;
class RendererHost;

// Longest wait for the renderer's answer to one native call.
constexpr int kNativeCallTimeoutMs = 10000;
// Longest wait for the renderer's extensions before pages may load anyway.
constexpr int kRendererReadyTimeoutMs = 10000;

// Starts the bridge on |host| (null when there is no renderer role) and
// |profile|. |on_ready| runs once on the UI thread after the page script is
// installed, so that no document loads without the extensions, or after
// kRendererReadyTimeoutMs. UI thread.
void StartScriptBridge(RendererHost* host,
                       QWebEngineProfile* profile,
                       std::function<void()> on_ready);

// Called by a page for every prompt(). Returns false when |message| is not
// a bridge call; otherwise answers it: |*answered| is what prompt() gets
// (false: null) and |*result| its text. Blocks the UI thread until the
// renderer answers (at most kNativeCallTimeoutMs), running nothing else
// meanwhile. UI thread.
bool HandleBridgePrompt(QWebEnginePage* page,
                        CefBrowserImpl* browser,
                        const QString& message,
                        const QString& value,
                        QString* result,
                        bool* answered);

// Runs |code| in the frame |frame_id| of |browser|: the main frame directly,
// a sub-frame document through the main frame. Any thread.
void RunScriptInFrame(CefRefPtr<CefBrowserImpl> browser,
                      const std::string& frame_id,
                      const std::string& code,
                      const std::string& script_url,
                      int start_line);

// The browser-side object of the sub-frame document |frame_id| that made a
// native call, or null. UI thread.
CefRefPtr<CefFrameImpl> FindBridgeFrame(int browser_id,
                                        const std::string& frame_id);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BRIDGE_SCRIPT_BRIDGE_H_
