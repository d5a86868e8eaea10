#include "bridge/renderer/local_answers.h"

#include <unistd.h>

#include <vector>

#include "include/cef_parser.h"

std::string LaunchArgsJson(CefRefPtr<CefCommandLine> commandLine) {
  CefRefPtr<CefDictionaryValue> record = CefDictionaryValue::Create();
  CefRefPtr<CefListValue> argv = CefListValue::Create();
  CefRefPtr<CefDictionaryValue> switches = CefDictionaryValue::Create();
  if (commandLine) {
    record->SetString("commandLine", commandLine->GetCommandLineString());
    std::vector<CefString> arguments;
    commandLine->GetArguments(arguments);
    for (size_t i = 0; i < arguments.size(); ++i) {
      argv->SetString(i, arguments[i]);
    }
    CefCommandLine::SwitchMap map;
    commandLine->GetSwitches(map);
    for (const auto& entry : map) {
      switches->SetString(entry.first, entry.second);
    }
  } else {
    record->SetString("commandLine", "");
  }
  record->SetList("argv", argv);
  record->SetDictionary("switches", switches);
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetDictionary(record);
  return CefWriteJSON(value, JSON_WRITER_DEFAULT).ToString();
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, 255) != 0) {
    return std::string();
  }
  return std::string(name);
}
