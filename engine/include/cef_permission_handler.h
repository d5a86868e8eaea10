// Permission requests of pages (camera, microphone, notifications, ...).

#ifndef CEF_INCLUDE_CEF_PERMISSION_HANDLER_H_
#define CEF_INCLUDE_CEF_PERMISSION_HANDLER_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_browser.h"

// Answers a media access request. Any thread; only the first call counts.
class CefMediaAccessCallback : public virtual CefBaseRefCounted {
 public:
  // Grants the cef_media_access_permission_types_t bits in
  // |allowed_permissions|; a capture request is granted only when they cover
  // everything that was requested.
  virtual void Continue(uint32_t allowed_permissions) = 0;
  virtual void Cancel() = 0;
};

// Answers a permission prompt. Any thread; only the first call counts.
class CefPermissionPromptCallback : public virtual CefBaseRefCounted {
 public:
  virtual void Continue(cef_permission_request_result_t result) = 0;
};

// UI thread of the browser process.
class CefPermissionHandler : public virtual CefBaseRefCounted {
 public:
  // A page asks for camera, microphone or screen capture. Return true and
  // answer through |callback| (now or later); false denies.
  virtual bool OnRequestMediaAccessPermission(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      const CefString& requesting_origin,
      uint32_t requested_permissions,
      CefRefPtr<CefMediaAccessCallback> callback) {
    return false;
  }

  // A page asks for another permission (cef_permission_request_types_t
  // bits). Return true and answer through |callback|; false ignores the
  // request.
  virtual bool OnShowPermissionPrompt(
      CefRefPtr<CefBrowser> browser,
      uint64_t prompt_id,
      const CefString& requesting_origin,
      uint32_t requested_permissions,
      CefRefPtr<CefPermissionPromptCallback> callback) {
    return false;
  }

  // A prompt handled through OnShowPermissionPrompt has ended with |result|.
  virtual void OnDismissPermissionPrompt(
      CefRefPtr<CefBrowser> browser,
      uint64_t prompt_id,
      cef_permission_request_result_t result) {}
};

#endif  // CEF_INCLUDE_CEF_PERMISSION_HANDLER_H_
