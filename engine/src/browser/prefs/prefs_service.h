// The preference store and content settings of the running engine, and the
// answers to the renderer-role process's requests for them.

#ifndef CEFENGINE_BROWSER_PREFS_PREFS_SERVICE_H_
#define CEFENGINE_BROWSER_PREFS_PREFS_SERVICE_H_

#include <memory>

#include "common/channel_message.h"
#include "include/internal/cef_types_wrappers.h"

namespace cefengine {

class ContentSettings;
class PrefStore;

// Creates the store for |settings| (file "engine_prefs.json" in cache_path,
// else root_cache_path, in memory when both are empty), registers the
// engine's preferences and the application's (OnRegisterCustomPreferences)
// and loads the stored values; likewise the content settings
// ("engine_content_settings.json"). Called by CefInitialize on the UI thread;
// requests that come before it wait for it.
void StartPreferenceService(const CefSettings& settings);

// The current store and settings; null before StartPreferenceService. Any
// thread; the result stays valid while held.
std::shared_ptr<PrefStore> GetPrefStore();
std::shared_ptr<ContentSettings> GetContentSettings();

// Answers a kPrefsRequest through |reply| (a kPrefsResponse). Any thread:
// the channel's reader thread answers at once, so a renderer that waits
// for the answer never depends on the UI thread being free.
void HandlePrefsRequest(const ChannelMessage& request, ChannelMessage* reply);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PREFS_PREFS_SERVICE_H_
