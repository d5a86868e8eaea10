// Test application for the engine's request context: prints one JSON object
// per line on stdout for the test to check. Scenarios (--scenario=):
//   persist   prints the preferences a previous run left, then sets
//             engine and custom ones and quits;
//   renderer  the renderer-role process uses the global context; the browser
//             quits once it sees the renderer's last change;
//   content   opens --url, lets the page ask for notifications and paste,
//             with --grant after allowing both by content settings, then
//             again on --second-url (another origin) when given.

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_command_line.h"
#include "include/cef_request_context.h"
#include "include/cef_task.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"
#include "tests/support/engine_app/tasks.h"
#include "tests/support/engine_app/values.h"

namespace {

using json = nlohmann::json;

std::string g_scenario;
std::string g_url;
std::string g_second_url;
bool g_grant = false;

using engine_test_app::Bool;
using engine_test_app::Emit;
using engine_test_app::Int;
using engine_test_app::String;

json ToJson(CefRefPtr<CefValue> value) {
  if (!value)
    return "absent";
  switch (value->GetType()) {
    case VTYPE_BOOL:
      return value->GetBool();
    case VTYPE_INT:
      return value->GetInt();
    case VTYPE_STRING:
      return value->GetString().ToString();
    default:
      return "type " + std::to_string(value->GetType());
  }
}

// Tries to set |name| and reports the outcome.
json TrySet(CefRefPtr<CefRequestContext> context,
            const std::string& name,
            CefRefPtr<CefValue> value) {
  CefString error;
  const bool ok = context->SetPreference(name, value, error);
  return {{"event", "set"},
          {"name", name},
          {"ok", ok},
          {"error", error.ToString()}};
}

void Post(std::function<void()> run, int64_t delay_ms = 0) {
  engine_test_app::PostUiTask(std::move(run), delay_ms);
}

// The renderer-role side: the global context through the channel.
void RunRendererChecks() {
  CefRefPtr<CefRequestContext> context = CefRequestContext::GetGlobalContext();
  if (!context) {
    Emit({{"event", "renderer"}, {"present", false}});
    return;
  }
  Emit(TrySet(context, "prefs_test.text", String("from renderer")));
  Emit(TrySet(context, "no.such.preference", String("x")));
  Emit(TrySet(context, "prefs_test.text", Int(5)));
  Emit({{"event", "renderer"},
        {"present", true},
        {"text", ToJson(context->GetPreference("prefs_test.text"))}});

  // How long one synchronous round trip to the browser takes.
  std::vector<double> times;
  for (int i = 0; i < 200; ++i) {
    const auto start = std::chrono::steady_clock::now();
    context->GetPreference("prefs_test.text");
    times.push_back(std::chrono::duration<double, std::milli>(
                        std::chrono::steady_clock::now() - start)
                        .count());
  }
  std::sort(times.begin(), times.end());
  Emit({{"event", "renderer_timing"},
        {"median_ms", times[times.size() / 2]},
        {"p99_ms", times[times.size() * 99 / 100]}});
  Emit(TrySet(context, "prefs_test.done", Bool(true)));
}

class RendererHandler : public CefRenderProcessHandler {
 public:
  void OnWebKitInitialized() override {
    if (g_scenario == "renderer")
      RunRendererChecks();
  }

 private:
  IMPLEMENT_REFCOUNTING(RendererHandler);
};

// Script that asks for notifications, tries a paste and plays a short
// silent sound without a user gesture, and puts the outcome in the title.
const char kCheckScript[] =
    // 8 ms of silence as an 8 kHz, 8-bit WAV file.
    "var silence = 'data:audio/wav;base64,UklGRmQAAABXQVZFZm10IBAAAAABAAEAQB8A"
    "AEAfAAABAAgAZGF0YUAAAACAgICAgICAgICAgICAgICAgICAgICAgICAgICAgICAgICAgICAgI"
    "CAgICAgICAgICAgICAgICAgICAgICAgICA';"
    "Notification.requestPermission().then(function(notify) {"
    "  var box = document.createElement('textarea');"
    "  document.body.appendChild(box); box.focus();"
    "  var paste = document.execCommand('paste');"
    "  var report = function(autoplay) {"
    "    document.title = 'result:' + JSON.stringify("
    "        {notify: notify, paste: paste, autoplay: autoplay}); };"
    "  new Audio(silence).play().then(function() { report('played'); },"
    "      function(error) { report(error.name); });"
    "});";

class Client : public CefClient,
               public CefLoadHandler,
               public CefDisplayHandler {
 public:
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }

  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int httpStatusCode) override {
    if (!frame->IsMain() || checked_ > results_)
      return;
    ++checked_;
    if (g_grant && checked_ == 1) {
      // As an application does it: for the page's URL once it is shown.
      CefRefPtr<CefRequestContext> context =
          CefRequestContext::GetGlobalContext();
      const std::string url = frame->GetURL();
      context->SetContentSetting(url, url,
                                 CEF_CONTENT_SETTING_TYPE_NOTIFICATIONS,
                                 CEF_CONTENT_SETTING_VALUE_ALLOW);
      context->SetContentSetting(url, url,
                                 CEF_CONTENT_SETTING_TYPE_CLIPBOARD_READ_WRITE,
                                 CEF_CONTENT_SETTING_VALUE_ALLOW);
      context->SetContentSetting(url, url, CEF_CONTENT_SETTING_TYPE_AUTOPLAY,
                                 CEF_CONTENT_SETTING_VALUE_ALLOW);
    }
    // Behind the engine's own task that applies the settings to the page.
    Post([frame] { frame->ExecuteJavaScript(kCheckScript, "", 0); });
  }

  void OnTitleChange(CefRefPtr<CefBrowser> browser,
                     const CefString& title) override {
    const std::string text = title;
    if (text.rfind("result:", 0) != 0)
      return;
    Emit({{"event", "result"},
          {"url", browser->GetMainFrame()->GetURL().ToString()},
          {"result", json::parse(text.substr(7))}});
    ++results_;
    if (results_ == 1 && !g_second_url.empty())
      browser->GetMainFrame()->LoadURL(g_second_url);
    else
      CefQuitMessageLoop();
  }

 private:
  // Loads checked and results seen.
  int checked_ = 0;
  int results_ = 0;
  IMPLEMENT_REFCOUNTING(Client);
};

class App : public CefApp, public CefBrowserProcessHandler {
 public:
  // CefApp methods:
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override {
    return this;
  }
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override {
    return renderer_;
  }

  // CefBrowserProcessHandler methods:
  void OnRegisterCustomPreferences(
      cef_preferences_type_t type,
      CefRawPtr<CefPreferenceRegistrar> registrar) override {
    if (type != CEF_PREFERENCES_TYPE_GLOBAL)
      return;
    registrar->AddPreference("prefs_test.text", String(""));
    registrar->AddPreference("prefs_test.count", Int(1));
    registrar->AddPreference("prefs_test.done", Bool(false));
  }

  void OnBeforeChildProcessLaunch(
      CefRefPtr<CefCommandLine> command_line) override {
    command_line->AppendSwitchWithValue("scenario", g_scenario);
  }

  void OnContextInitialized() override {
    CefRefPtr<CefRequestContext> context =
        CefRequestContext::GetGlobalContext();
    if (g_scenario == "persist") {
      json values = json::object();
      for (const char* name : {"credentials_enable_service", "prefs_test.text",
                               "prefs_test.count"}) {
        values[name] = ToJson(context->GetPreference(name));
      }
      Emit({{"event", "values"}, {"values", values}});
      Emit(TrySet(context, "credentials_enable_service", Bool(false)));
      Emit(TrySet(context, "prefs_test.text", String("written")));
      Emit(TrySet(context, "prefs_test.count", Int(42)));
      Emit({{"event", "cache_path"},
            {"path", context->GetCachePath().ToString()}});
      CefQuitMessageLoop();
    } else if (g_scenario == "renderer") {
      WaitForRenderer(0);
    } else if (g_scenario == "content") {
      CefWindowInfo info;
      info.bounds = CefRect(0, 0, 400, 300);
      CefBrowserHost::CreateBrowser(info, new Client(), g_url,
                                    CefBrowserSettings(), nullptr, nullptr);
    }
  }

 private:
  void WaitForRenderer(int attempt) {
    CefRefPtr<CefValue> done =
        CefRequestContext::GetGlobalContext()->GetPreference("prefs_test.done");
    if ((done && done->GetBool()) || attempt > 300) {
      Emit(
          {{"event", "browser_sees"},
           {"text", ToJson(CefRequestContext::GetGlobalContext()->GetPreference(
                        "prefs_test.text"))}});
      CefQuitMessageLoop();
      return;
    }
    Post([this, attempt] { WaitForRenderer(attempt + 1); }, 50);
  }

  CefRefPtr<RendererHandler> renderer_ = new RendererHandler();
  IMPLEMENT_REFCOUNTING(App);
};

}  // namespace

int main(int argc, char* argv[]) {
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(argc, argv);
  g_scenario = line->GetSwitchValue("scenario").ToString();
  g_url = line->GetSwitchValue("url").ToString();
  g_second_url = line->GetSwitchValue("second-url").ToString();
  g_grant = line->HasSwitch("grant");
  return engine_test_app::AppMain(argc, argv, new App(), {"scenario"});
}
