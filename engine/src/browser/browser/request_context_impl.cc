#include "browser/browser/request_context_impl.h"

#include "browser/process/context.h"

namespace cefengine {

namespace {

CefRefPtr<CefRequestContextImpl> GlobalContext() {
  static CefRequestContextImpl* context = [] {
    auto* created = new CefRequestContextImpl();
    // The process keeps this reference until exit.
    created->AddRef();
    return created;
  }();
  return context;
}

}  // namespace

bool CefRequestContextImpl::HasPreference(const CefString& name) {
  return false;
}

CefRefPtr<CefValue> CefRequestContextImpl::GetPreference(
    const CefString& name) {
  return nullptr;
}

CefRefPtr<CefDictionaryValue> CefRequestContextImpl::GetAllPreferences(
    bool include_defaults) {
  return CefDictionaryValue::Create();
}

bool CefRequestContextImpl::CanSetPreference(const CefString& name) {
  return false;
}

bool CefRequestContextImpl::SetPreference(const CefString& name,
                                          CefRefPtr<CefValue> value,
                                          CefString& error) {
  error = "Trying to modify an unregistered preference";
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
  return CEF_CONTENT_SETTING_VALUE_DEFAULT;
}

void CefRequestContextImpl::SetContentSetting(
    const CefString& requesting_url,
    const CefString& top_level_url,
    cef_content_setting_types_t content_type,
    cef_content_setting_values_t value) {}

}  // namespace cefengine

CefRefPtr<CefRequestContext> CefRequestContext::GetGlobalContext() {
  if (!cefengine::IsInitialized()) {
    return nullptr;
  }
  return cefengine::GlobalContext().get();
}

CefRefPtr<CefPreferenceManager>
CefPreferenceManager::GetGlobalPreferenceManager() {
  return CefRequestContext::GetGlobalContext().get();
}
