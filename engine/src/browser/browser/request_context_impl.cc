#include "browser/browser/request_context_impl.h"

#include "browser/prefs/content_settings.h"
#include "browser/prefs/pref_store.h"
#include "browser/prefs/prefs_service.h"
#include "browser/process/context.h"
#include "renderer/request_context_proxy.h"

namespace cefengine {

CefRefPtr<CefRequestContext> GetBrowserGlobalContext() {
  static CefRequestContextImpl* context = [] {
    auto* created = new CefRequestContextImpl();
    // The process keeps this reference until exit.
    created->AddRef();
    return created;
  }();
  return context;
}

bool CefRequestContextImpl::HasPreference(const CefString& name) {
  std::shared_ptr<PrefStore> store = GetPrefStore();
  return store && store->Has(name.ToString());
}

CefRefPtr<CefValue> CefRequestContextImpl::GetPreference(
    const CefString& name) {
  std::shared_ptr<PrefStore> store = GetPrefStore();
  return store ? store->Get(name.ToString()) : nullptr;
}

CefRefPtr<CefDictionaryValue> CefRequestContextImpl::GetAllPreferences(
    bool include_defaults) {
  std::shared_ptr<PrefStore> store = GetPrefStore();
  return store ? store->GetAll(include_defaults) : CefDictionaryValue::Create();
}

bool CefRequestContextImpl::CanSetPreference(const CefString& name) {
  // Every preference of the engine is the user's to change.
  return HasPreference(name);
}

bool CefRequestContextImpl::SetPreference(const CefString& name,
                                          CefRefPtr<CefValue> value,
                                          CefString& error) {
  std::shared_ptr<PrefStore> store = GetPrefStore();
  std::string reason;
  if (!store) {
    reason = "Trying to modify an unregistered preference";
  } else if (store->Set(name.ToString(), value, &reason)) {
    return true;
  }
  error = reason;
  return false;
}

bool CefRequestContextImpl::IsSame(CefRefPtr<CefRequestContext> other) {
  return other.get() == this;
}

bool CefRequestContextImpl::IsSharingWith(CefRefPtr<CefRequestContext> other) {
  return IsSame(other);
}

bool CefRequestContextImpl::IsGlobal() {
  return true;
}

CefRefPtr<CefRequestContextHandler> CefRequestContextImpl::GetHandler() {
  return nullptr;
}

CefString CefRequestContextImpl::GetCachePath() {
  const CefSettings& settings = GetSettings();
  return settings.cache_path.length ? CefString(&settings.cache_path)
                                    : CefString(&settings.root_cache_path);
}

CefRefPtr<CefValue> CefRequestContextImpl::GetWebsiteSetting(
    const CefString& requesting_url,
    const CefString& top_level_url,
    cef_content_setting_types_t content_type) {
  // Only the plain allow/ask/block kind of setting is kept.
  return nullptr;
}

void CefRequestContextImpl::SetWebsiteSetting(
    const CefString& requesting_url,
    const CefString& top_level_url,
    cef_content_setting_types_t content_type,
    CefRefPtr<CefValue> value) {}

cef_content_setting_values_t CefRequestContextImpl::GetContentSetting(
    const CefString& requesting_url,
    const CefString& top_level_url,
    cef_content_setting_types_t content_type) {
  std::shared_ptr<ContentSettings> settings = GetContentSettings();
  return settings ? settings->Get(requesting_url.ToString(),
                                  top_level_url.ToString(), content_type)
                  : CEF_CONTENT_SETTING_VALUE_DEFAULT;
}

void CefRequestContextImpl::SetContentSetting(
    const CefString& requesting_url,
    const CefString& top_level_url,
    cef_content_setting_types_t content_type,
    cef_content_setting_values_t value) {
  if (content_type < 0 || content_type >= CEF_CONTENT_SETTING_TYPE_NUM_VALUES ||
      value < 0 || value >= CEF_CONTENT_SETTING_VALUE_NUM_VALUES) {
    return;
  }
  if (std::shared_ptr<ContentSettings> settings = GetContentSettings()) {
    settings->Set(requesting_url.ToString(), top_level_url.ToString(),
                  content_type, value);
  }
}

}  // namespace cefengine

CefRefPtr<CefRequestContext> CefRequestContext::GetGlobalContext() {
  if (cefengine::IsInitialized())
    return cefengine::GetBrowserGlobalContext();
  // In the renderer-role process the browser's context is asked over the
  // channel; elsewhere there is none.
  return cefengine::GetRendererGlobalContext();
}

CefRefPtr<CefPreferenceManager>
CefPreferenceManager::GetGlobalPreferenceManager() {
  return CefRequestContext::GetGlobalContext().get();
}
