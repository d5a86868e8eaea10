#include "browser/prefs/prefs_service.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <utility>

#include "browser/browser/request_context_impl.h"
#include "browser/prefs/content_settings.h"
#include "browser/prefs/pref_store.h"
#include "browser/process/context.h"
#include "common/prefs_messages.h"
#include "include/cef_browser_process_handler.h"

namespace cefengine {

namespace {

std::shared_ptr<PrefStore> g_store;
std::shared_ptr<ContentSettings> g_content_settings;

// The renderer-role process starts before the service and may ask first;
// its requests wait (on the channel's reader thread) until the service is
// up. A bound keeps a service that never starts from hanging the renderer.
constexpr std::chrono::seconds kServiceStartWait(10);
std::mutex g_started_mutex;
std::condition_variable g_started_changed;
bool g_started = false;

// |name| in the cache directory of |settings|; empty (in memory) when
// there is none.
std::string StorePath(const CefSettings& settings, const char* name) {
  const CefString cache = settings.cache_path.length
                              ? CefString(&settings.cache_path)
                              : CefString(&settings.root_cache_path);
  return cache.empty() ? std::string() : cache.ToString() + "/" + name;
}

CefRefPtr<CefValue> BoolValue(bool value) {
  CefRefPtr<CefValue> result = CefValue::Create();
  result->SetBool(value);
  return result;
}

}  // namespace

void StartPreferenceService(const CefSettings& settings) {
  auto store =
      std::make_shared<PrefStore>(StorePath(settings, "engine_prefs.json"));
  RegisterEnginePreferences(store.get());
  if (CefRefPtr<CefBrowserProcessHandler> handler =
          GetBrowserProcessHandler()) {
    // The engine has one context, so both kinds land in the same store.
    PrefRegistrar registrar(store.get());
    handler->OnRegisterCustomPreferences(CEF_PREFERENCES_TYPE_GLOBAL,
                                         &registrar);
    handler->OnRegisterCustomPreferences(CEF_PREFERENCES_TYPE_REQUEST_CONTEXT,
                                         &registrar);
  }
  store->Load();
  std::atomic_store(&g_store, std::move(store));
  auto content_settings = std::make_shared<ContentSettings>(
      StorePath(settings, "engine_content_settings.json"));
  content_settings->Load();
  std::atomic_store(&g_content_settings, std::move(content_settings));
  std::lock_guard<std::mutex> lock(g_started_mutex);
  g_started = true;
  g_started_changed.notify_all();
}

std::shared_ptr<PrefStore> GetPrefStore() {
  return std::atomic_load(&g_store);
}

std::shared_ptr<ContentSettings> GetContentSettings() {
  return std::atomic_load(&g_content_settings);
}

void HandlePrefsRequest(const ChannelMessage& request, ChannelMessage* reply) {
  reply->type = kPrefsResponse;
  reply->request_id = request.request_id;
  reply->browser_id = request.browser_id;
  reply->frame_id = request.frame_id;
  reply->name = request.name;
  reply->args = CefListValue::Create();
  reply->args->SetNull(kPrefsResultIndex);
  reply->args->SetString(kPrefsErrorIndex, "");

  {
    std::unique_lock<std::mutex> lock(g_started_mutex);
    g_started_changed.wait_for(lock, kServiceStartWait,
                               [] { return g_started; });
  }
  CefRefPtr<CefRequestContext> context = GetBrowserGlobalContext();
  CefRefPtr<CefListValue> args = request.args;
  const std::string& op = request.name;
  if (!context || !args) {
    reply->args->SetString(kPrefsErrorIndex, "Request context not available");
    return;
  }
  CefRefPtr<CefValue> result;
  if (op == prefs_ops::kHasPreference) {
    result = BoolValue(context->HasPreference(args->GetString(0)));
  } else if (op == prefs_ops::kGetPreference) {
    result = context->GetPreference(args->GetString(0));
  } else if (op == prefs_ops::kGetAllPreferences) {
    result = CefValue::Create();
    result->SetDictionary(context->GetAllPreferences(args->GetBool(0)));
  } else if (op == prefs_ops::kCanSetPreference) {
    result = BoolValue(context->CanSetPreference(args->GetString(0)));
  } else if (op == prefs_ops::kSetPreference) {
    // A null value and no value at all look alike on the wire.
    CefRefPtr<CefValue> value = args->GetBool(2) ? args->GetValue(1) : nullptr;
    CefString error;
    result =
        BoolValue(context->SetPreference(args->GetString(0), value, error));
    reply->args->SetString(kPrefsErrorIndex, error);
  } else if (op == prefs_ops::kGetContentSetting) {
    result = CefValue::Create();
    result->SetInt(context->GetContentSetting(
        args->GetString(0), args->GetString(1),
        static_cast<cef_content_setting_types_t>(args->GetInt(2))));
  } else if (op == prefs_ops::kSetContentSetting) {
    context->SetContentSetting(
        args->GetString(0), args->GetString(1),
        static_cast<cef_content_setting_types_t>(args->GetInt(2)),
        static_cast<cef_content_setting_values_t>(args->GetInt(3)));
  } else if (op == prefs_ops::kGetCachePath) {
    result = CefValue::Create();
    result->SetString(context->GetCachePath());
  } else {
    reply->args->SetString(kPrefsErrorIndex, "Unknown request " + op);
    return;
  }
  if (result)
    reply->args->SetValue(kPrefsResultIndex, result);
}

}  // namespace cefengine
