// Named preferences of the engine (global or per request context).

#ifndef CEF_INCLUDE_CEF_PREFERENCE_H_
#define CEF_INCLUDE_CEF_PREFERENCE_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_values.h"

// Which preferences OnRegisterCustomPreferences is registering.
typedef enum {
  // Application-wide preferences, registered once at start-up.
  CEF_PREFERENCES_TYPE_GLOBAL,
  // Preferences of each request context, registered as it is created.
  CEF_PREFERENCES_TYPE_REQUEST_CONTEXT,
  CEF_PREFERENCES_TYPE_NUM_VALUES,
} cef_preferences_type_t;

// Lets the application add preferences of its own; valid only during
// CefBrowserProcessHandler::OnRegisterCustomPreferences.
class CefPreferenceRegistrar : public CefBaseScoped {
 public:
  // Adds |name| with a copy of |default_value|, whose type the preference
  // keeps for good. False when |name| is taken or the type cannot be stored
  // (invalid, null or binary). Prefix names with the application's own
  // name and a period to keep clear of the engine's.
  virtual bool AddPreference(const CefString& name,
                             CefRefPtr<CefValue> default_value) = 0;
};

// UI thread of the browser process.
class CefPreferenceManager : public virtual CefBaseRefCounted {
 public:
  // The manager of application-wide preferences.
  static CefRefPtr<CefPreferenceManager> GetGlobalPreferenceManager();

  virtual bool HasPreference(const CefString& name) = 0;
  // A copy of the value, or null when |name| is unknown.
  virtual CefRefPtr<CefValue> GetPreference(const CefString& name) = 0;
  virtual CefRefPtr<CefDictionaryValue> GetAllPreferences(
      bool include_defaults) = 0;
  virtual bool CanSetPreference(const CefString& name) = 0;
  // Sets (or with a null |value| resets) |name|; on failure returns false and
  // describes why in |error|.
  virtual bool SetPreference(const CefString& name,
                             CefRefPtr<CefValue> value,
                             CefString& error) = 0;
};

#endif  // CEF_INCLUDE_CEF_PREFERENCE_H_
