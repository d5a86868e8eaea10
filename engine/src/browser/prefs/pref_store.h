// The engine's named preferences: a registry of names with their types and
// defaults, the values the user changed, and their file. Each change is
// written to the file at once (temporary file and rename), so a crash never
// leaves a half-written file behind.

#ifndef CEFENGINE_BROWSER_PREFS_PREF_STORE_H_
#define CEFENGINE_BROWSER_PREFS_PREF_STORE_H_

#include <map>
#include <mutex>
#include <string>

#include "include/cef_preference.h"
#include "include/cef_values.h"

namespace cefengine {

class PrefStore {
 public:
  // Keeps its values in |path|; an empty path keeps them in memory only.
  explicit PrefStore(std::string path);
  PrefStore(const PrefStore&) = delete;
  PrefStore& operator=(const PrefStore&) = delete;

  // Adds |name| with |default_value|'s type. False when |name| is already
  // registered or the type cannot be a preference (invalid, null, binary).
  bool Register(const std::string& name, CefRefPtr<CefValue> default_value);

  // Reads the file. Values of unregistered names are kept (a later start may
  // register them again) but stay invisible; values whose type no longer
  // matches are dropped. A missing or unreadable file leaves the defaults.
  void Load();

  bool Has(const std::string& name) const;
  // A copy of the current value, or null for an unknown name.
  CefRefPtr<CefValue> Get(const std::string& name) const;
  // Every registered preference as a nested dictionary split at the periods
  // of the names; without defaults only the changed ones.
  CefRefPtr<CefDictionaryValue> GetAll(bool include_defaults) const;
  // Changes |name| to a copy of |value|, or back to its default when |value|
  // is null. On refusal returns false with the reason in |error|. A value
  // that cannot be written to the file is still in effect for this run.
  bool Set(const std::string& name,
           CefRefPtr<CefValue> value,
           std::string* error);

  const std::string& path() const { return path_; }

 private:
  void SaveLocked();

  const std::string path_;
  mutable std::mutex mutex_;
  std::map<std::string, CefRefPtr<CefValue>> defaults_;
  std::map<std::string, CefRefPtr<CefValue>> user_values_;
  // Values read from the file for names nobody registered (yet).
  std::map<std::string, CefRefPtr<CefValue>> orphans_;
};

// Adds preferences to |store| for OnRegisterCustomPreferences; valid while
// the callback runs.
class PrefRegistrar : public CefPreferenceRegistrar {
 public:
  explicit PrefRegistrar(PrefStore* store) : store_(store) {}
  bool AddPreference(const CefString& name,
                     CefRefPtr<CefValue> default_value) override;

 private:
  PrefStore* store_;
};

// Registers the preferences the engine itself knows, with their defaults.
void RegisterEnginePreferences(PrefStore* store);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PREFS_PREF_STORE_H_
