// The global request context of the browser process: preferences from the
// engine's preference store, content settings remembered per origin and
// applied where Qt WebEngine has a switch for them. Any thread.

#ifndef CEFENGINE_BROWSER_BROWSER_REQUEST_CONTEXT_IMPL_H_
#define CEFENGINE_BROWSER_BROWSER_REQUEST_CONTEXT_IMPL_H_

#include "include/cef_request_context.h"

namespace cefengine {

class CefRequestContextImpl : public CefRequestContext {
 public:
  CefRequestContextImpl() = default;
  CefRequestContextImpl(const CefRequestContextImpl&) = delete;
  CefRequestContextImpl& operator=(const CefRequestContextImpl&) = delete;

  // CefPreferenceManager methods:
  bool HasPreference(const CefString& name) override;
  CefRefPtr<CefValue> GetPreference(const CefString& name) override;
  CefRefPtr<CefDictionaryValue> GetAllPreferences(
      bool include_defaults) override;
  bool CanSetPreference(const CefString& name) override;
  bool SetPreference(const CefString& name,
                     CefRefPtr<CefValue> value,
                     CefString& error) override;

  // CefRequestContext methods:
  bool IsSame(CefRefPtr<CefRequestContext> other) override;
  bool IsSharingWith(CefRefPtr<CefRequestContext> other) override;
  bool IsGlobal() override;
  CefRefPtr<CefRequestContextHandler> GetHandler() override;
  CefString GetCachePath() override;
  CefRefPtr<CefValue> GetWebsiteSetting(
      const CefString& requesting_url,
      const CefString& top_level_url,
      cef_content_setting_types_t content_type) override;
  void SetWebsiteSetting(const CefString& requesting_url,
                         const CefString& top_level_url,
                         cef_content_setting_types_t content_type,
                         CefRefPtr<CefValue> value) override;
  cef_content_setting_values_t GetContentSetting(
      const CefString& requesting_url,
      const CefString& top_level_url,
      cef_content_setting_types_t content_type) override;
  void SetContentSetting(const CefString& requesting_url,
                         const CefString& top_level_url,
                         cef_content_setting_types_t content_type,
                         cef_content_setting_values_t value) override;

 private:
  IMPLEMENT_REFCOUNTING(CefRequestContextImpl);
};

// The browser process's global context, whether or not the engine has
// finished initialising (the renderer-role process may ask early).
CefRefPtr<CefRequestContext> GetBrowserGlobalContext();

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_REQUEST_CONTEXT_IMPL_H_
