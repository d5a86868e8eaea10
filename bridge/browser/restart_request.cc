#include "bridge/browser/restart_request.h"

#include <utility>

#include "backend/hot_restart.h"
#include "bridge/common/bridge_messages.h"
#include "client/detached_thread.h"
#include "client/ui_task.h"
#include "include/cef_process_message.h"
#include "include/cef_task.h"

void StartRestartRequest(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefFrame> frame,
                         std::string reloadUrl,
                         int32_t expectedVersion,
                         std::string expectedVersionName) {
  const bool started = RunDetached(
      [browser, frame, reloadUrl = std::move(reloadUrl), expectedVersion,
       expectedVersionName = std::move(expectedVersionName)] {
        std::string message;
        const bool ok = RestartBackend(reloadUrl, expectedVersion,
                                       expectedVersionName, message);
        SendRestartResponse(browser, frame, ok, message);
      });
  if (!started) {
    SendRestartResponse(browser, frame, false, kRestartNotStarted);
  }
}

void SendRestartResponse(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefFrame> frame,
                         bool ok,
                         const std::string& message) {
  if (!CefCurrentlyOn(TID_UI)) {
    PostUiTask([browser, frame, ok, message] {
      SendRestartResponse(browser, frame, ok, message);
    });
    return;
  }
  if (!browser) {
    return;
  }
  CefRefPtr<CefFrame> target =
      frame && frame->IsValid() ? frame : browser->GetMainFrame();
  if (!target) {
    return;
  }
  CefRefPtr<CefProcessMessage> reply =
      CefProcessMessage::Create(bridge::kRestartBackendResponse);
  reply->GetArgumentList()->SetBool(0, ok);
  reply->GetArgumentList()->SetString(1, message);
  target->SendProcessMessage(PID_RENDERER, reply);
}
