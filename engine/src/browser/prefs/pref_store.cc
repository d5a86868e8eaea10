#include "browser/prefs/pref_store.h"

#include <utility>
#include <vector>

#include "browser/prefs/atomic_file.h"
#include "include/base/cef_logging.h"
#include "include/cef_parser.h"

namespace cefengine {

namespace {

// The type names of the production engine's error texts.
const char* TypeName(CefValueType type) {
  switch (type) {
    case VTYPE_NULL:
      return "NULL";
    case VTYPE_BOOL:
      return "BOOLEAN";
    case VTYPE_INT:
      return "INTEGER";
    case VTYPE_DOUBLE:
      return "DOUBLE";
    case VTYPE_STRING:
      return "STRING";
    case VTYPE_BINARY:
      return "BINARY";
    case VTYPE_DICTIONARY:
      return "DICTIONARY";
    case VTYPE_LIST:
      return "LIST";
    default:
      return "UNKNOWN";
  }
}

bool IsStorableType(CefValueType type) {
  return type == VTYPE_BOOL || type == VTYPE_INT || type == VTYPE_DOUBLE ||
         type == VTYPE_STRING || type == VTYPE_DICTIONARY || type == VTYPE_LIST;
}

// Puts |value| into |root| under the path |name| split at its periods. A
// name that runs into a plain value of a shorter name is left out.
void SetNested(CefRefPtr<CefDictionaryValue> root,
               const std::string& name,
               CefRefPtr<CefValue> value) {
  CefRefPtr<CefDictionaryValue> node = root;
  size_t start = 0;
  for (size_t dot = name.find('.'); dot != std::string::npos;
       dot = name.find('.', start)) {
    const std::string part = name.substr(start, dot - start);
    if (!node->HasKey(part)) {
      node->SetDictionary(part, CefDictionaryValue::Create());
    } else if (node->GetType(part) != VTYPE_DICTIONARY) {
      return;
    }
    node = node->GetDictionary(part);
    start = dot + 1;
  }
  node->SetValue(name.substr(start), value->Copy());
}

}  // namespace

PrefStore::PrefStore(std::string path) : path_(std::move(path)) {}

bool PrefStore::Register(const std::string& name,
                         CefRefPtr<CefValue> default_value) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (defaults_.count(name)) {
    LOG(ERROR) << "Preference registered twice: " << name;
    return false;
  }
  if (!default_value || !default_value->IsValid() ||
      !IsStorableType(default_value->GetType())) {
    return false;
  }
  defaults_[name] = default_value->Copy();
  // A value read before the name was known becomes visible now.
  auto orphan = orphans_.find(name);
  if (orphan != orphans_.end()) {
    if (orphan->second->GetType() == default_value->GetType())
      user_values_[name] = orphan->second;
    orphans_.erase(orphan);
  }
  return true;
}

void PrefStore::Load() {
  if (path_.empty())
    return;
  std::string data;
  if (!ReadWholeFile(path_, &data))
    return;
  CefRefPtr<CefValue> parsed =
      CefParseJSON(data.data(), data.size(), JSON_PARSER_RFC);
  if (!parsed || parsed->GetType() != VTYPE_DICTIONARY) {
    LOG(WARNING) << "Ignoring unreadable preferences file " << path_;
    return;
  }
  CefRefPtr<CefDictionaryValue> values = parsed->GetDictionary();
  CefDictionaryValue::KeyList keys;
  values->GetKeys(keys);
  std::lock_guard<std::mutex> lock(mutex_);
  for (const CefString& key : keys) {
    const std::string name = key.ToString();
    CefRefPtr<CefValue> value = values->GetValue(key)->Copy();
    auto known = defaults_.find(name);
    if (known == defaults_.end()) {
      orphans_[name] = value;
    } else if (known->second->GetType() == value->GetType()) {
      user_values_[name] = value;
    }
  }
}

bool PrefStore::Has(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return defaults_.count(name) != 0;
}

CefRefPtr<CefValue> PrefStore::Get(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto user = user_values_.find(name);
  if (user != user_values_.end())
    return user->second->Copy();
  auto known = defaults_.find(name);
  return known == defaults_.end() ? nullptr : known->second->Copy();
}

CefRefPtr<CefDictionaryValue> PrefStore::GetAll(bool include_defaults) const {
  CefRefPtr<CefDictionaryValue> result = CefDictionaryValue::Create();
  std::lock_guard<std::mutex> lock(mutex_);
  for (const auto& entry : defaults_) {
    auto user = user_values_.find(entry.first);
    if (user != user_values_.end())
      SetNested(result, entry.first, user->second);
    else if (include_defaults)
      SetNested(result, entry.first, entry.second);
  }
  return result;
}

bool PrefStore::Set(const std::string& name,
                    CefRefPtr<CefValue> value,
                    std::string* error) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto known = defaults_.find(name);
  if (known == defaults_.end()) {
    *error = "Trying to modify an unregistered preference";
    return false;
  }
  if (!value) {
    if (user_values_.erase(name))
      SaveLocked();
    return true;
  }
  if (!value->IsValid()) {
    *error = "A valid value is required";
    return false;
  }
  const CefValueType expected = known->second->GetType();
  if (value->GetType() != expected) {
    *error = std::string("Trying to set a preference of type ") +
             TypeName(expected) + " to value of type " +
             TypeName(value->GetType());
    return false;
  }
  user_values_[name] = value->Copy();
  SaveLocked();
  return true;
}

void PrefStore::SaveLocked() {
  if (path_.empty())
    return;
  CefRefPtr<CefDictionaryValue> values = CefDictionaryValue::Create();
  for (const auto& entry : orphans_)
    values->SetValue(entry.first, entry.second->Copy());
  for (const auto& entry : user_values_)
    values->SetValue(entry.first, entry.second->Copy());
  CefRefPtr<CefValue> root = CefValue::Create();
  root->SetDictionary(values);
  const std::string text =
      CefWriteJSON(root, JSON_WRITER_PRETTY_PRINT).ToString();

  if (!WriteFileAtomically(path_, text))
    LOG(ERROR) << "Could not write preferences to " << path_;
}

bool PrefRegistrar::AddPreference(const CefString& name,
                                  CefRefPtr<CefValue> default_value) {
  return store_->Register(name.ToString(), default_value);
}

void RegisterEnginePreferences(PrefStore* store) {
  // Browser preferences applications commonly turn off, under the names
  // Chromium 138 registers them with and with its defaults.
  static const struct {
    const char* name;
    bool value;
  } kBooleans[] = {
      {"credentials_enable_service", true},
      {"credentials_enable_autosignin", true},
      {"profile.password_manager_leak_detection", true},
      {"autofill.profile_enabled", true},
      {"autofill.credit_card_enabled", true},
      {"bookmark_bar.show_on_all_tabs", false},
      {"alternate_error_pages.enabled", true},
  };
  for (const auto& entry : kBooleans) {
    CefRefPtr<CefValue> value = CefValue::Create();
    value->SetBool(entry.value);
    store->Register(entry.name, value);
  }
}

}  // namespace cefengine
