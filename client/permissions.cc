// The permission facet of ShellClient: camera and microphone are never
// granted, every other prompt is accepted without showing anything.

#include "client/shell_client.h"
#include "include/wrapper/cef_helpers.h"

bool ShellClient::OnRequestMediaAccessPermission(
    CefRefPtr<CefBrowser> browser,
    CefRefPtr<CefFrame> frame,
    const CefString& requesting_origin,
    uint32_t requested_permissions,
    CefRefPtr<CefMediaAccessCallback> callback) {
  CEF_REQUIRE_UI_THREAD();
  callback->Continue(CEF_MEDIA_PERMISSION_NONE);
  return true;
}

bool ShellClient::OnShowPermissionPrompt(
    CefRefPtr<CefBrowser> browser,
    uint64_t prompt_id,
    const CefString& requesting_origin,
    uint32_t requested_permissions,
    CefRefPtr<CefPermissionPromptCallback> callback) {
  CEF_REQUIRE_UI_THREAD();
  callback->Continue(CEF_PERMISSION_RESULT_ACCEPT);
  return true;
}
