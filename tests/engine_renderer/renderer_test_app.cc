// A small engine application for the renderer-side tests and the bridge
// benchmark. Its renderer role registers the script extension "testext";
// the page drives everything through it and the browser side reports each
// process message it receives as one JSON line on standard output.
//
// Usage: renderer_test_app --cache-root=DIR --url=URL

#include <cmath>
#include <cstdio>
#include <map>
#include <string>

#include <nlohmann/json.hpp>

#include "include/cef_app.h"
#include "include/cef_browser.h"
#include "include/cef_client.h"
#include "include/cef_command_line.h"
#include "include/cef_render_process_handler.h"
#include "include/cef_task.h"
#include "include/cef_v8.h"
#include "tests/support/engine_app/emit.h"
#include "tests/support/engine_app/run_engine.h"

namespace {

using json = nlohmann::json;

// The page's view of the extension. Each member calls one native function.
constexpr char kExtensionSource[] = R"JS(
var testext;
if (!testext) testext = {};
(function () {
  testext.make = function (kind) { native function make(kind); return make(kind); };
  testext.types = function () { native function types(); return types.apply(this, arguments); };
  testext.echo = function (v) { native function echo(v); return echo(v); };
  testext.fail = function (text) { native function fail(); return fail(text); };
  testext.frame = function () { native function frame(); return frame(); };
  testext.send = function (name, n) { native function send(name, n); return send(name, n); };
  testext.report = function (data) { native function report(); return report(JSON.stringify(data)); };
})();
)JS";

using engine_test_app::Emit;

// "kind:value:flags" for one argument, flags = IsInt, IsUInt, IsDouble.
std::string Describe(CefRefPtr<CefV8Value> value) {
  std::string flags;
  flags += value->IsInt() ? "i" : "";
  flags += value->IsUInt() ? "u" : "";
  flags += value->IsDouble() ? "d" : "";
  if (value->IsUndefined())
    return "undefined";
  if (value->IsNull())
    return "null";
  if (value->IsBool())
    return std::string("bool:") + (value->GetBoolValue() ? "true" : "false");
  if (value->IsInt())
    return "int:" + std::to_string(value->GetIntValue()) + ":" + flags;
  if (value->IsUInt())
    return "uint:" + std::to_string(value->GetUIntValue()) + ":" + flags;
  if (value->IsDouble()) {
    const double number = value->GetDoubleValue();
    char text[40];
    if (std::isnan(number))
      snprintf(text, sizeof(text), "nan");
    else if (number == 0 && std::signbit(number))
      snprintf(text, sizeof(text), "-0");
    else
      snprintf(text, sizeof(text), "%g", number);
    return std::string("double:") + text + ":" + flags;
  }
  if (value->IsString())
    return "string:" + value->GetStringValue().ToString();
  if (value->IsFunction())
    return "function";
  if (value->IsArray())
    return "array";
  if (value->IsObject())
    return "object";
  return "?";
}

class TestHandler : public CefV8Handler {
 public:
  bool Execute(const CefString& name,
               CefRefPtr<CefV8Value> object,
               const CefV8ValueList& arguments,
               CefRefPtr<CefV8Value>& retval,
               CefString& exception) override {
    CefRefPtr<CefV8Context> context = CefV8Context::GetCurrentContext();
    if (!context)
      return false;
    const std::string fn = name.ToString();
    if (fn == "make") {
      const std::string kind = arguments.empty()
                                   ? std::string()
                                   : arguments[0]->GetStringValue().ToString();
      if (kind == "int")
        retval = CefV8Value::CreateInt(-42);
      else if (kind == "string")
        retval = CefV8Value::CreateString("h\xc3\xa9\xe2\x80\xa8\"x</script>");
      else if (kind == "bool")
        retval = CefV8Value::CreateBool(true);
      return true;
    }
    if (fn == "types") {
      std::string out;
      for (const auto& argument : arguments)
        out += (out.empty() ? "" : "|") + Describe(argument);
      retval = CefV8Value::CreateString(out);
      return true;
    }
    if (fn == "echo") {
      retval = arguments.empty() ? nullptr : arguments[0];
      return true;
    }
    if (fn == "fail") {
      exception = arguments.empty() ? "" : arguments[0]->GetStringValue();
      return true;
    }
    if (fn == "frame") {
      CefRefPtr<CefFrame> frame = context->GetFrame();
      json info = {{"id", frame->GetIdentifier().ToString()},
                   {"main", frame->IsMain()},
                   {"valid", frame->IsValid() && context->IsValid()}};
      retval = CefV8Value::CreateString(info.dump());
      return true;
    }
    if (fn == "send" || fn == "report") {
      CefRefPtr<CefProcessMessage> message = CefProcessMessage::Create(
          fn == "send" ? arguments[0]->GetStringValue() : CefString("report"));
      CefRefPtr<CefListValue> args = message->GetArgumentList();
      if (fn == "send")
        args->SetInt(0, arguments.size() > 1 ? arguments[1]->GetIntValue() : 0);
      else
        args->SetString(0, arguments[0]->GetStringValue());
      context->GetFrame()->SendProcessMessage(PID_BROWSER, message);
      return true;
    }
    return false;
  }

 private:
  IMPLEMENT_REFCOUNTING(TestHandler);
};

// Browser side of the page's requests.
class TestClient : public CefClient {
 public:
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override {
    if (!CefCurrentlyOn(TID_UI))
      return false;
    const std::string name = message->GetName().ToString();
    CefRefPtr<CefListValue> args = message->GetArgumentList();
    json event = {{"event", "message"},
                  {"name", name},
                  {"browser", browser->GetIdentifier()},
                  {"frame", frame->GetIdentifier().ToString()},
                  {"main", frame->IsMain()},
                  {"url", frame->GetURL().ToString()}};
    if (name == "report") {
      event["data"] =
          json::parse(args->GetString(0).ToString(), nullptr, false);
    } else {
      event["n"] = args->GetInt(0);
    }
    if (name != "query")
      Emit(event);
    if (name == "query") {
      // The benchmark's round trip: answer at once through the same frame.
      CefRefPtr<CefProcessMessage> reply = CefProcessMessage::Create("reply");
      reply->GetArgumentList()->SetInt(0, args->GetInt(0));
      frame->SendProcessMessage(PID_RENDERER, reply);
    } else if (name == "startPings") {
      for (int i = 0; i < args->GetInt(0); ++i) {
        CefRefPtr<CefProcessMessage> ping = CefProcessMessage::Create("ping");
        ping->GetArgumentList()->SetInt(0, i);
        ping->GetArgumentList()->SetInt(1, args->GetInt(0));
        frame->SendProcessMessage(PID_RENDERER, ping);
      }
    } else if (name == "browserExec") {
      frame->ExecuteJavaScript(
          "window.fromBrowser(" + std::to_string(args->GetInt(0)) + ");", "",
          0);
    }
    return true;
  }

 private:
  IMPLEMENT_REFCOUNTING(TestClient);
};

class TestApp : public CefApp,
                public CefBrowserProcessHandler,
                public CefRenderProcessHandler {
 public:
  explicit TestApp(std::string url) : url_(std::move(url)) {}

  // CefApp methods:
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override {
    return this;
  }
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override {
    return this;
  }

  // CefBrowserProcessHandler methods:
  void OnContextInitialized() override {
    CefWindowInfo info;
    info.bounds = CefRect(0, 0, 640, 480);
    CefBrowserSettings settings;
    CefBrowserHost::CreateBrowserSync(info, new TestClient(), url_, settings,
                                      nullptr, nullptr);
  }

  // CefRenderProcessHandler methods:
  void OnWebKitInitialized() override {
    CefRegisterExtension("v8/testext", kExtensionSource, new TestHandler());
  }

  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override {
    const std::string name = message->GetName().ToString();
    CefRefPtr<CefListValue> args = message->GetArgumentList();
    if (name == "reply") {
      frame->ExecuteJavaScript(
          "window.onReply(" + std::to_string(args->GetInt(0)) + ");", "", 0);
      return true;
    }
    if (name == "ping") {
      // Counts pings per frame; the last one tells the page how many came
      // in order.
      const std::string id = frame->GetIdentifier().ToString();
      const int n = args->GetInt(0);
      int& expected = next_ping_[id];
      if (n == expected)
        ++expected;
      if (n + 1 == args->GetInt(1)) {
        frame->ExecuteJavaScript(
            "window.pingsDone(" + std::to_string(expected) + ", " +
                json(frame->GetIdentifier().ToString()).dump() + ");",
            "", 0);
        expected = 0;
      }
      return true;
    }
    return false;
  }

 private:
  const std::string url_;
  // Renderer main thread.
  std::map<std::string, int> next_ping_;

  IMPLEMENT_REFCOUNTING(TestApp);
};

}  // namespace

int main(int argc, char* argv[]) {
  CefRefPtr<CefCommandLine> line = CefCommandLine::CreateCommandLine();
  line->InitFromArgv(argc, argv);
  return engine_test_app::AppMain(
      argc, argv, new TestApp(line->GetSwitchValue("url")), {"url"});
}
