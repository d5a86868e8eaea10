#include "shell/engine_switches.h"

#include <algorithm>
#include <sstream>

namespace {

void AppendUnique(std::vector<std::string>& list, const std::string& item) {
  if (!item.empty() &&
      std::find(list.begin(), list.end(), item) == list.end()) {
    list.push_back(item);
  }
}

}  // namespace

const std::vector<std::string>& FeaturesToDisable() {
  static const std::vector<std::string> features = {
      "SpareRendererForSitePerProcess",
      "AutofillServerCommunication",
      "FillOnAccountSelect",
      "PasswordGeneration",
      "PasswordImport",
      "PasswordManagerOnboarding",
      "PasswordManualFallbackAvailable",
      "PasswordsImportM2",
  };
  return features;
}

const std::vector<std::string>& FeaturesToEnable() {
  static const std::vector<std::string> features = {
      "NetworkServiceInProcess",
      "StorageServiceInProcess",
      "AudioServiceInProcess",
      "TracingServiceInProcess",
  };
  return features;
}

void ApplyEngineSwitches(CefRefPtr<CefCommandLine> commandLine) {
  MergeFeatureSwitch(commandLine, "disable-features", FeaturesToDisable());
  MergeFeatureSwitch(commandLine, "enable-features", FeaturesToEnable());
  for (const char* name : {
           "enable-experimental-web-platform-features",
           "use-mock-keychain",
           "disable-web-security",
           "disable-chrome-runtime",
           "disable-extensions",
           "disable-save-password-bubble",
           "disable-sync",
           "disable-background-networking",
           "disable-client-side-phishing-detection",
           "disable-component-update",
           "disable-default-apps",
           "disable-domain-reliability",
           "metrics-recording-only",
           "no-default-browser-check",
           "no-first-run",
           "no-pings",
       }) {
    AppendSwitchIfMissing(commandLine, name);
  }
  // No "remote-debugging-port": with any value, 0 included, the engine
  // opens a DevTools endpoint that any local process could use to drive the
  // application, whose pages run without web security. Developers who want
  // one give the switch themselves.
  AppendSwitchIfMissing(commandLine, "js-flags", "--expose_gc");
  AppendSwitchIfMissing(commandLine, "class", kWindowClass);
}

void MergeFeatureSwitch(CefRefPtr<CefCommandLine> commandLine,
                        const std::string& name,
                        const std::vector<std::string>& features) {
  const std::string current = commandLine->GetSwitchValue(name).ToString();
  std::vector<std::string> result;
  std::istringstream pieces(current);
  for (std::string piece; std::getline(pieces, piece, ',');) {
    AppendUnique(result, piece);
  }
  for (const std::string& feature : features) {
    AppendUnique(result, feature);
  }
  std::string joined;
  for (const std::string& item : result) {
    joined += (joined.empty() ? "" : ",") + item;
  }
  if (!joined.empty() && joined != current) {
    commandLine->AppendSwitchWithValue(name, joined);
  }
}

void AppendSwitchIfMissing(CefRefPtr<CefCommandLine> commandLine,
                           const std::string& name) {
  if (!commandLine->HasSwitch(name)) {
    commandLine->AppendSwitch(name);
  }
}

void AppendSwitchIfMissing(CefRefPtr<CefCommandLine> commandLine,
                           const std::string& name,
                           const std::string& value) {
  if (!commandLine->HasSwitch(name)) {
    commandLine->AppendSwitchWithValue(name, value);
  }
}
