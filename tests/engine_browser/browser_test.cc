// Browsers of the development engine driven through browser_test_app, with
// pages from a loopback server.

#include <gtest/gtest.h>

#include "tests/engine_browser/browser_harness.h"

namespace browser_test {
namespace {

// Engine values the tests compare with (cef_types.h).
constexpr int kErrAborted = -3;
[[maybe_unused]] constexpr int kErrBlockedByClient = -20;
constexpr int kErrConnectionRefused = -102;
constexpr int kErrNameNotResolved = -105;
[[maybe_unused]] constexpr int kRtMainFrame = 0;
[[maybe_unused]] constexpr int kRtSubFrame = 1;
[[maybe_unused]] constexpr int kRtImage = 4;
[[maybe_unused]] constexpr int kRtXhr = 13;

[[maybe_unused]] auto UrlIs(const std::string& url) {
  return [url](const json& event) { return event.value("url", "") == url; };
}

[[maybe_unused]] auto BrowserIs(int id) {
  return [id](const json& event) { return event.value("browser", 0) == id; };
}

[[maybe_unused]] auto ConsoleSays(const std::string& text) {
  return
      [text](const json& event) { return event.value("message", "") == text; };
}

TEST(EngineBrowserLoad, StatusCodesErrorCodesAndTitles) {
  PageServer server;
  server.Page("/ok", "<title>OK page</title>hello");
  server.Page("/missing", "<title>gone</title>not here", 404);
  server.SlowPage("/slow", milliseconds(4000));
  BrowserApp app;
  ASSERT_TRUE(app.started());

  const int id = app.Create(server.Url("/ok"));
  ASSERT_GT(id, 0);
  json end = app.WaitForEvent("load_end");
  ASSERT_FALSE(end.is_null());
  EXPECT_EQ(end["status"], 200);
  EXPECT_TRUE(end["frame"]["main"]);
  EXPECT_FALSE(
      app.WaitForEvent("title",
                       [](const json& e) { return e["title"] == "OK page"; })
          .is_null());
  json state = app.State(id);
  EXPECT_TRUE(state["has_document"]);
  EXPECT_FALSE(state["loading"]);
  EXPECT_EQ(state["frame"]["url"], server.Url("/ok"));

  // An HTTP error status is a finished load, not a load error.
  app.Mark();
  app.Command({{"cmd", "load"}, {"url", server.Url("/missing")}});
  end = app.WaitForEvent("load_end");
  ASSERT_FALSE(end.is_null());
  EXPECT_EQ(end["status"], 404);
  EXPECT_TRUE(app.Events("load_error").empty());

  app.Mark();
  const std::string refused =
      "http://127.0.0.1:" + std::to_string(ClosedPort()) + "/";
  app.Command({{"cmd", "load"}, {"url", refused}});
  json error = app.WaitForEvent("load_error");
  ASSERT_FALSE(error.is_null());
  EXPECT_EQ(error["code"], kErrConnectionRefused);
  EXPECT_EQ(error["text"], "ERR_CONNECTION_REFUSED");
  EXPECT_EQ(error["url"], refused);
  EXPECT_TRUE(error["frame"]["main"]);

  app.Mark();
  app.Command({{"cmd", "load"}, {"url", "http://no-such-host.invalid/"}});
  error = app.WaitForEvent("load_error");
  ASSERT_FALSE(error.is_null());
  EXPECT_EQ(error["code"], kErrNameNotResolved);

  // Stopping a load that waits for its response aborts it.
  app.Mark();
  app.Command({{"cmd", "load"}, {"url", server.Url("/slow")}});
  ASSERT_FALSE(app.WaitForEvent("load_start").is_null());
  ASSERT_TRUE(WaitUntil([&] { return server.Hits("/slow") == 1; }));
  app.Command({{"cmd", "stop"}});
  error = app.WaitForEvent("load_error");
  ASSERT_FALSE(error.is_null());
  EXPECT_EQ(error["code"], kErrAborted);
  EXPECT_EQ(error["url"], server.Url("/slow"));
  EXPECT_FALSE(
      app.WaitForEvent("loading_state",
                       [](const json& e) { return e["loading"] == false; })
          .is_null());
  EXPECT_TRUE(app.Quit());
}

}  // namespace
}  // namespace browser_test
