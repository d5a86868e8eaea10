// The storage and settings context that browsers load pages in. The
// development engine has one context, the global one, backed by the engine's
// profile.

#ifndef CEF_INCLUDE_CEF_REQUEST_CONTEXT_H_
#define CEF_INCLUDE_CEF_REQUEST_CONTEXT_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_callback.h"
#include "include/cef_preference.h"
#include "include/cef_values.h"

class CefRequestContextHandler;

class CefRequestContext : public CefPreferenceManager {
 public:
  // The context every browser uses unless given another; null before the
  // engine is initialised.
  static CefRefPtr<CefRequestContext> GetGlobalContext();

  virtual bool IsSame(CefRefPtr<CefRequestContext> other) = 0;
  virtual bool IsSharingWith(CefRefPtr<CefRequestContext> other) = 0;
  virtual bool IsGlobal() = 0;
  virtual CefRefPtr<CefRequestContextHandler> GetHandler() = 0;
  // Where the context keeps its data; empty for an in-memory context.
  virtual CefString GetCachePath() = 0;

  virtual CefRefPtr<CefValue> GetWebsiteSetting(
      const CefString& requesting_url,
      const CefString& top_level_url,
      cef_content_setting_types_t content_type) = 0;
  virtual void SetWebsiteSetting(const CefString& requesting_url,
                                 const CefString& top_level_url,
                                 cef_content_setting_types_t content_type,
                                 CefRefPtr<CefValue> value) = 0;
  virtual cef_content_setting_values_t GetContentSetting(
      const CefString& requesting_url,
      const CefString& top_level_url,
      cef_content_setting_types_t content_type) = 0;
  virtual void SetContentSetting(const CefString& requesting_url,
                                 const CefString& top_level_url,
                                 cef_content_setting_types_t content_type,
                                 cef_content_setting_values_t value) = 0;
};

#endif  // CEF_INCLUDE_CEF_REQUEST_CONTEXT_H_
