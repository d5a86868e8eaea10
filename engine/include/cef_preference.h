// Named preferences of the engine (global or per request context).

#ifndef CEF_INCLUDE_CEF_PREFERENCE_H_
#define CEF_INCLUDE_CEF_PREFERENCE_H_
#pragma once

#include "include/cef_base.h"
#include "include/cef_values.h"

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
