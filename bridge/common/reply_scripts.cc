#include "bridge/common/reply_scripts.h"

#include <cmath>
#include <cstdio>

#include "bridge/common/bridge_messages.h"
#include "include/cef_parser.h"

std::string ScriptNumber(double value) {
  if (std::isnan(value)) {
    return "NaN";
  }
  if (std::isinf(value)) {
    return value > 0 ? "Infinity" : "-Infinity";
  }
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

std::string JsonText(CefRefPtr<CefValue> value) {
  if (!value) {
    return "null";
  }
  return CefWriteJSON(value, JSON_WRITER_DEFAULT).ToString();
}

std::string ScriptString(const std::string& text) {
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetString(text);
  return JsonText(value);
}

std::string QueryReplyScript(const std::string& slot,
                             const std::string& value) {
  const std::string resolve = "korvel." + slot;
  return "if(" + resolve + "){" + resolve + "(" + value + ");" + resolve +
         "=null}";
}

std::string QuerySlot(const std::string& queryName) {
  if (queryName == bridge::kGetZoom) {
    return "zoomResolve";
  }
  for (const char* name :
       {bridge::kIsClosed, bridge::kIsVisible, bridge::kIsMinimized,
        bridge::kIsMaximized, bridge::kIsFullscreen, bridge::kIsAlwaysOnTop}) {
    if (queryName == name) {
      return queryName + "Resolve";
    }
  }
  return std::string();
}

std::string RestartReplyScript(bool ok, const std::string& error) {
  std::string script =
      "if(korvel.restartBackendResolve||korvel.restartBackendReject){";
  if (ok) {
    script +=
        "if(korvel.restartBackendResolve){korvel.restartBackendResolve();}";
  } else {
    script +=
        "if(korvel.restartBackendReject){korvel.restartBackendReject(new "
        "Error(" +
        ScriptString(error) + "));}";
  }
  return script + "korvel.restartBackendResolve=null;" +
         "korvel.restartBackendReject=null;}";
}

std::string DragFilesScript(const std::string& pathsJson) {
  // Written again by the JSON writer, so that only data reaches the page
  // whatever the text held.
  CefRefPtr<CefValue> paths = CefParseJSON(pathsJson, JSON_PARSER_RFC);
  std::string list = "[]";
  if (paths && paths->GetType() == VTYPE_LIST) {
    list = JsonText(paths);
  }
  return "korvel.dragFiles = " + list + ";";
}

std::string DownloadUpdatedScript(CefRefPtr<CefDictionaryValue> item) {
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetDictionary(item ? item : CefDictionaryValue::Create());
  return "korvel.onDownloadUpdated(" + JsonText(value) + ")";
}

std::string BeforeUnloadScript(bool isReload) {
  return std::string("korvel.onBeforeUnload(") + (isReload ? "true" : "false") +
         ")";
}

std::string NativeMenuScript(const std::string& action) {
  CefRefPtr<CefDictionaryValue> detail = CefDictionaryValue::Create();
  detail->SetString("action", action);
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetDictionary(detail);
  return "window.dispatchEvent(new CustomEvent('korvel:native-menu', { "
         "detail: " +
         JsonText(value) + " }));";
}

std::string SelectFileScript(const std::vector<std::string>& paths) {
  CefRefPtr<CefListValue> list = CefListValue::Create();
  for (size_t i = 0; i < paths.size(); ++i) {
    list->SetString(i, paths[i]);
  }
  CefRefPtr<CefValue> value = CefValue::Create();
  value->SetList(list);
  return "korvel.selectFileCallback(" + JsonText(value) + ")";
}
