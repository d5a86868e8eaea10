// The renderer side of the engine with real pages: native functions of a
// script extension called synchronously from a main frame and a
// cross-origin sub-frame, process messages both ways in order, and script
// run from the renderer and the browser in either frame.

#include <string>

#include <gtest/gtest.h>

#include "tests/engine_renderer/app_runner.h"

namespace engine_test {
namespace {

using std::chrono::milliseconds;

// Runs in every frame. The first statement checks that the extension is
// there before any of the page's own script.
constexpr char kLibScript[] = R"JS(
var extensionFirst = typeof testext === 'object' &&
                     typeof testext.make === 'function';
function runChecks(where) {
  const out = {where: where, early: extensionFirst};
  out.int = testext.make('int');
  out.str = testext.make('string');
  out.bool = testext.make('bool');
  out.isUndefined = testext.make('nothing') === undefined;
  out.types = testext.types(1, 1.5, 'x', true, undefined, null, -1,
                            3000000000, -0, NaN, {}, [], function () {});
  try {
    testext.fail('boom \u00e9');
    out.error = 'none';
  } catch (e) {
    out.error = (e instanceof Error) + ':' + e.message;
  }
  const big = 'a'.repeat(300000) + '\0\r\n\u2028\ud83d\ude00"\\';
  out.bigEcho = testext.echo(big) === big;
  out.frame = JSON.parse(testext.frame());
  testext.report(out);

  for (let i = 0; i < 200; ++i) testext.send('num', i);
  window.pingsDone = function (count, frameId) {
    testext.report({where: where + '-pings', count: count, frame: frameId});
  };
  testext.send('startPings', 200);
  window.fromBrowser = function (n) {
    testext.report({where: where + '-browser', n: n});
  };
  testext.send('browserExec', 5);
}
)JS";

// The sub-frame comes from another host name of the same server: another
// origin.
constexpr char kMainPage[] = R"HTML(<!doctype html>
<html><head><script src="/lib.js"></script></head>
<body><iframe id="sub"></iframe>
<script>
document.getElementById('sub').src =
    'http://localhost:' + location.port + '/sub';
runChecks('main');
</script></body></html>)HTML";

constexpr char kSubPage[] = R"HTML(<!doctype html>
<html><head><script src="/lib.js"></script></head>
<body><script>runChecks('sub');</script></body></html>)HTML";

TEST(RendererBridgeTest, NativeCallsMessagesAndScriptsInMainAndSubFrame) {
  PageServer server(
      {{"/lib.js", kLibScript}, {"/main", kMainPage}, {"/sub", kSubPage}});
  const std::string main_url = server.Url("/main");
  AppRun app(RENDERER_TEST_APP, main_url);
  const bool complete = app.ReadUntil(
      [&](const std::vector<json>&) {
        for (const char* where : {"main", "sub", "main-pings", "sub-pings",
                                  "main-browser", "sub-browser"}) {
          if (app.Reports(where).empty())
            return false;
        }
        return true;
      },
      milliseconds(60000));
  ASSERT_TRUE(complete) << app.Logs();

  std::string main_frame_id;
  for (const char* where : {"main", "sub"}) {
    SCOPED_TRACE(where);
    const json report = app.Reports(where).at(0);
    const json& data = report["data"];
    const bool is_main = std::string(where) == "main";
    EXPECT_TRUE(data["early"].get<bool>());
    EXPECT_EQ(-42, data["int"]);
    EXPECT_EQ("h\xc3\xa9\xe2\x80\xa8\"x</script>", data["str"]);
    EXPECT_EQ(true, data["bool"]);
    EXPECT_TRUE(data["isUndefined"].get<bool>());
    EXPECT_EQ(
        "int:1:iud|double:1.5:d|string:x|bool:true|undefined|null|int:-1:iud|"
        "int:-1294967296:iud|double:-0:d|double:nan:d|object|array|function",
        data["types"]);
    EXPECT_EQ("true:boom \xc3\xa9", data["error"]);
    EXPECT_TRUE(data["bigEcho"].get<bool>());

    // The native function's context is the calling frame, and the browser
    // process sees the report come from that same frame, at its address
    // (the shell grants content settings by it).
    const json& frame = data["frame"];
    EXPECT_EQ(is_main, frame["main"]);
    EXPECT_EQ(report["frame"], frame["id"]);
    EXPECT_EQ(is_main, report["main"]);
    EXPECT_TRUE(frame["valid"].get<bool>());
    EXPECT_NE(std::string::npos, report["url"].get<std::string>().find(
                                     is_main ? "127.0.0.1" : "localhost"))
        << report["url"];
    if (is_main)
      main_frame_id = frame["id"];
    else
      EXPECT_NE(main_frame_id, frame["id"]);

    // 200 messages from the frame arrive complete and in order.
    std::vector<int> numbers;
    for (const json& line : app.lines()) {
      if (line.value("name", "") == "num" && line["frame"] == report["frame"])
        numbers.push_back(line["n"]);
    }
    ASSERT_EQ(200u, numbers.size());
    for (int i = 0; i < 200; ++i)
      ASSERT_EQ(i, numbers[i]);

    // 200 messages back to the frame's renderer side arrive in order, and
    // the renderer's script reaches the frame.
    const json pings = app.Reports(std::string(where) + "-pings").at(0)["data"];
    EXPECT_EQ(200, pings["count"]);
    EXPECT_EQ(report["frame"], pings["frame"]);
    // Script from the browser process reaches the frame too.
    EXPECT_EQ(5,
              app.Reports(std::string(where) + "-browser").at(0)["data"]["n"]);
  }
}

}  // namespace
}  // namespace engine_test
