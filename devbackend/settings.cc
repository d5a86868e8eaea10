#include "devbackend/settings.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "devbackend/signals.h"

namespace {

using nlohmann::json;

enum class Kind { kInt, kBool, kString, kNullableString };

struct Field {
  const char* key;
  Kind kind;
  long long min;
  long long max;
  // Stores an already type-checked value; false when the value is refused.
  bool (*apply)(Settings&, const json&);
};

constexpr long long kMaxMs = 24LL * 3600 * 1000;

bool ParseReopenMode(const std::string& text, ReopenMode& mode) {
  static const std::pair<const char*, ReopenMode> kModes[] = {
      {"alone", ReopenMode::kAlone},   {"after", ReopenMode::kAfter},
      {"before", ReopenMode::kBefore}, {"middle", ReopenMode::kMiddle},
      {"split", ReopenMode::kSplit},
  };
  for (const auto& [name, value] : kModes) {
    if (text == name) {
      mode = value;
      return true;
    }
  }
  return false;
}

int Int(const json& value) {
  return static_cast<int>(value.get<long long>());
}

template <auto Member>
bool StoreInt(Settings& s, const json& v) {
  s.*Member = Int(v);
  return true;
}

template <auto Member>
bool StoreBool(Settings& s, const json& v) {
  s.*Member = v.get<bool>();
  return true;
}

template <auto Member>
bool StoreString(Settings& s, const json& v) {
  s.*Member = v.get<std::string>();
  return true;
}

template <auto Member>
bool StoreOptionalString(Settings& s, const json& v) {
  if (v.is_null())
    (s.*Member).reset();
  else
    s.*Member = v.get<std::string>();
  return true;
}

template <auto Member>
bool StoreActionInt(Settings& s, const json& v) {
  s.actions.*Member = Int(v);
  return true;
}

template <auto Member>
bool StoreActionString(Settings& s, const json& v) {
  s.actions.*Member = v.get<std::string>();
  return true;
}

bool StoreHandshakeMessage(Settings& s, const json& v) {
  s.handshakeBody = json{{"message", v.get<std::string>()}}.dump();
  return true;
}

bool StoreCrashSignal(Settings& s, const json& v) {
  s.actions.crashSignal = v.get<std::string>();
  return SignalFromName(s.actions.crashSignal) != 0;
}

bool StoreReopenMode(Settings& s, const json& v) {
  return ParseReopenMode(v.get<std::string>(), s.actions.reopenMode);
}

bool StoreReopenStream(Settings& s, const json& v) {
  const std::string stream = v.get<std::string>();
  s.actions.reopenToStderr = stream == "stderr";
  return stream == "stdout" || stream == "stderr";
}

// Keys in the order of the table in settings.h.
const Field kFields[] = {
    {"port", Kind::kInt, 1, 65535, StoreInt<&Settings::port>},
    {"listenDelayMs", Kind::kInt, 0, kMaxMs,
     StoreInt<&Settings::listenDelayMs>},
    {"quiet", Kind::kBool, 0, 0, StoreBool<&Settings::quiet>},
    {"requestLog", Kind::kString, 0, 0, StoreString<&Settings::requestLog>},
    {"version", Kind::kInt, INT_MIN, INT_MAX, StoreInt<&Settings::version>},
    {"versionName", Kind::kString, 0, 0, StoreString<&Settings::versionName>},
    {"entryPath", Kind::kString, 0, 0, StoreString<&Settings::entryPath>},
    {"readyAfterMs", Kind::kInt, INT_MIN, kMaxMs,
     StoreInt<&Settings::readyAfterMs>},
    {"readyStatus", Kind::kInt, 100, 999, StoreInt<&Settings::readyStatus>},
    {"notReadyStatus", Kind::kInt, 100, 999,
     StoreInt<&Settings::notReadyStatus>},
    {"notReadyFlag", Kind::kBool, 0, 0, StoreBool<&Settings::notReadyFlag>},
    {"readyBody", Kind::kNullableString, 0, 0,
     StoreOptionalString<&Settings::readyBody>},
    {"appStatus", Kind::kInt, 100, 999, StoreInt<&Settings::appStatus>},
    {"appPage", Kind::kString, 0, 0, StoreString<&Settings::appPage>},
    {"handshakeStatus", Kind::kInt, 100, 999,
     StoreInt<&Settings::handshakeStatus>},
    {"handshakeBody", Kind::kNullableString, 0, 0,
     StoreOptionalString<&Settings::handshakeBody>},
    {"handshakeMessage", Kind::kString, 0, 0, StoreHandshakeMessage},
    {"handshakeExit", Kind::kBool, 0, 0, StoreBool<&Settings::handshakeExit>},
    {"handshakeExitDelayMs", Kind::kInt, 0, kMaxMs,
     StoreInt<&Settings::handshakeExitDelayMs>},
    {"handshakeExitStatus", Kind::kInt, 0, 255,
     StoreInt<&Settings::handshakeExitStatus>},
    {"holdPortMs", Kind::kInt, 0, kMaxMs, StoreInt<&Settings::holdPortMs>},
    {"startLog", Kind::kString, 0, 0, StoreString<&Settings::startLog>},
    {"exitAfterMs", Kind::kInt, 0, kMaxMs,
     StoreActionInt<&PendingActions::exitAfterMs>},
    {"exitStatus", Kind::kInt, 0, 255,
     StoreActionInt<&PendingActions::exitStatus>},
    {"crashAfterMs", Kind::kInt, 0, kMaxMs,
     StoreActionInt<&PendingActions::crashAfterMs>},
    {"crashSignal", Kind::kString, 0, 0, StoreCrashSignal},
    {"reopenAfterMs", Kind::kInt, 0, kMaxMs,
     StoreActionInt<&PendingActions::reopenAfterMs>},
    {"reopenMode", Kind::kString, 0, 0, StoreReopenMode},
    {"reopenStream", Kind::kString, 0, 0, StoreReopenStream},
    {"reopenText", Kind::kString, 0, 0,
     StoreActionString<&PendingActions::reopenText>},
    {"stdoutText", Kind::kString, 0, 0,
     StoreActionString<&PendingActions::stdoutText>},
    {"stderrText", Kind::kString, 0, 0,
     StoreActionString<&PendingActions::stderrText>},
};

const Field* FindField(const std::string& key) {
  for (const Field& field : kFields) {
    if (key == field.key)
      return &field;
  }
  return nullptr;
}

bool HasKind(const Field& field, const json& value) {
  switch (field.kind) {
    case Kind::kInt:
      return value.is_number_integer();
    case Kind::kBool:
      return value.is_boolean();
    case Kind::kString:
      return value.is_string();
    case Kind::kNullableString:
      return value.is_string() || value.is_null();
  }
  return false;
}

// The parser stores every non-negative integer as unsigned, and one above
// the signed range must not wrap into it.
bool InRange(const json& value, long long min, long long max) {
  if (value.is_number_unsigned()) {
    const unsigned long long number = value.get<unsigned long long>();
    return number <= static_cast<unsigned long long>(max) &&
           (min <= 0 || number >= static_cast<unsigned long long>(min));
  }
  const long long number = value.get<long long>();
  return number >= min && number <= max;
}

// "listenDelayMs" -> "KORVEL_BACKEND_LISTEN_DELAY_MS".
std::string EnvironmentName(const char* key) {
  std::string name = "KORVEL_BACKEND_";
  for (const char* p = key; *p; ++p) {
    if (std::isupper(static_cast<unsigned char>(*p)))
      name += '_';
    name += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
  }
  return name;
}

bool EnvironmentValue(const Field& field, const char* text, json& value) {
  switch (field.kind) {
    case Kind::kInt: {
      errno = 0;
      char* end = nullptr;
      long long number = std::strtoll(text, &end, 10);
      if (errno != 0 || end == text || *end != '\0')
        return false;
      value = number;
      return true;
    }
    case Kind::kBool: {
      const std::string word = text;
      if (word == "1" || word == "true" || word == "yes") {
        value = true;
        return true;
      }
      if (word == "0" || word == "false" || word == "no") {
        value = false;
        return true;
      }
      return false;
    }
    case Kind::kString:
    case Kind::kNullableString:
      value = std::string(text);
      return true;
  }
  return false;
}

}  // namespace

bool ApplySettingsJson(const json& object,
                       Settings& settings,
                       std::string& error) {
  if (!object.is_object()) {
    error = "settings must be a JSON object";
    return false;
  }
  Settings updated = settings;
  for (const auto& [key, value] : object.items()) {
    const Field* field = FindField(key);
    if (!field) {
      error = "unknown setting \"" + key + "\"";
      return false;
    }
    bool valid = HasKind(*field, value);
    if (valid && field->kind == Kind::kInt)
      valid = InRange(value, field->min, field->max);
    if (!valid || !field->apply(updated, value)) {
      error = "invalid value for setting \"" + key + "\"";
      return false;
    }
  }
  settings = std::move(updated);
  return true;
}

bool ReadSettingsFromEnvironment(Settings& settings, std::string& error) {
  json object = json::object();
  for (const Field& field : kFields) {
    const std::string name = EnvironmentName(field.key);
    const char* text = std::getenv(name.c_str());
    if (!text)
      continue;
    json value;
    if (!EnvironmentValue(field, text, value)) {
      error = "invalid value in " + name;
      return false;
    }
    object[field.key] = value;
  }
  if (!ApplySettingsJson(object, settings, error))
    return false;

  const char* file = std::getenv("KORVEL_BACKEND_SETTINGS_FILE");
  if (!file || !*file)
    return true;
  std::ifstream in(file);
  if (!in) {
    error = std::string("cannot read settings file ") + file;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  json fromFile = json::parse(text.str(), nullptr, /*allow_exceptions=*/false);
  if (fromFile.is_discarded()) {
    error = std::string("settings file is not JSON: ") + file;
    return false;
  }
  return ApplySettingsJson(fromFile, settings, error);
}

json SettingsToJson(const Settings& settings) {
  auto nullable = [](const std::optional<std::string>& text) {
    return text ? json(*text) : json(nullptr);
  };
  return json{
      {"port", settings.port},
      {"listenDelayMs", settings.listenDelayMs},
      {"quiet", settings.quiet},
      {"requestLog", settings.requestLog},
      {"version", settings.version},
      {"versionName", settings.versionName},
      {"entryPath", settings.entryPath},
      {"readyStatus", settings.readyStatus},
      {"notReadyStatus", settings.notReadyStatus},
      {"notReadyFlag", settings.notReadyFlag},
      {"readyBody", nullable(settings.readyBody)},
      {"appStatus", settings.appStatus},
      {"appPage", settings.appPage},
      {"handshakeStatus", settings.handshakeStatus},
      {"handshakeBody", nullable(settings.handshakeBody)},
      {"handshakeExit", settings.handshakeExit},
      {"handshakeExitDelayMs", settings.handshakeExitDelayMs},
      {"handshakeExitStatus", settings.handshakeExitStatus},
      {"holdPortMs", settings.holdPortMs},
      {"startLog", settings.startLog},
  };
}
