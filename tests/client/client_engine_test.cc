// ShellClient in the development engine: real pages on loopback servers, one
// allowed by the list and one not, with a stand-in desktop opener on PATH
// that records what it is handed.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/engine_browser/browser_harness.h"
#include "tests/support/engine_harness/stand_in_opener.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

class ClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GT(app_server_.port(), 0);
    ASSERT_GT(outside_.port(), 0);
    ASSERT_TRUE(app_.started());
    // Only the application server's port is listed, under another loopback
    // name and in capitals.
    const json made = app_.Command(
        {{"cmd", "client"},
         {"allow", " LOCALHOST:" + std::to_string(app_server_.port()) +
                       ", ,example.invalid"}});
    ASSERT_EQ(made.value("instance", false), true);
  }

  std::vector<std::string> Opened() const { return opener_.Opened(); }

  bool WaitForOpened(size_t count) {
    return WaitUntil([&] { return Opened().size() >= count; });
  }

  // Opens a window on |url|; its browser and X window.
  std::pair<int, unsigned long> Open(const std::string& url) {
    const json reply = app_.Command({{"cmd", "open"}, {"url", url}});
    return {reply.value("browser", 0), reply.value("xid", 0UL)};
  }

  ::testing::AssertionResult WaitForTitle(unsigned long xid,
                                          const std::string& title) {
    if (WaitUntil([&] { return HasTitle(xid, title); })) {
      return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "window title " << Property(xid, "_NET_WM_NAME");
  }

  std::string UrlOf(int browser) {
    return app_.State(browser).value("url", "");
  }

  void Js(int browser, const std::string& code) {
    app_.Command({{"cmd", "js"}, {"browser", browser}, {"code", code}});
  }

  // Before the app, which inherits the PATH.
  StandInOpener opener_;
  PageServer app_server_;
  PageServer outside_;
  BrowserApp app_;
};

std::string TitledPage(const std::string& title, const std::string& body = "") {
  return "<html><head><title>" + title + "</title></head><body>" + body +
         "</body></html>";
}

// Allowed pages load and name the window; refused ones go to the desktop
// opener and leave the page where it was; the engine's own pages go nowhere.
TEST_F(ClientTest, MainFrameNavigationFollowsTheAllowList) {
  app_server_.Page("/start", TitledPage("start"));
  app_server_.Page("/second", TitledPage("second"));
  const auto [browser, xid] = Open(app_server_.Url("/start"));
  ASSERT_NE(browser, 0);
  ASSERT_TRUE(WaitForTitle(xid, "start"));
  app_.Command({{"cmd", "load"},
                {"browser", browser},
                {"url", app_server_.Url("/second")}});
  ASSERT_TRUE(WaitForTitle(xid, "second"));

  const std::string refused = outside_.Url("/elsewhere?q=a b");
  app_.Command({{"cmd", "load"}, {"browser", browser}, {"url", refused}});
  ASSERT_TRUE(WaitForOpened(1));
  EXPECT_EQ(Opened()[0], outside_.Url("/elsewhere?q=a%20b"));
  app_.Command(
      {{"cmd", "load"}, {"browser", browser}, {"url", "chrome://version"}});
  // A file is refused and never opened on the desktop either: the next
  // refused web address is the next thing the opener sees.
  app_.Command(
      {{"cmd", "load"}, {"browser", browser}, {"url", "file:///etc/hostname"}});
  app_.Command(
      {{"cmd", "load"}, {"browser", browser}, {"url", outside_.Url("/next")}});
  ASSERT_TRUE(WaitForOpened(2));
  EXPECT_EQ(Opened(),
            (std::vector<std::string>{outside_.Url("/elsewhere?q=a%20b"),
                                      outside_.Url("/next")}));
  // Refused popups go there too and never load.
  Js(browser, "window.open('" + outside_.Url("/pop") + "')");
  ASSERT_TRUE(WaitForOpened(3));
  EXPECT_EQ(Opened()[2], outside_.Url("/pop"));
  // The page stayed, and nothing reached the refused server.
  EXPECT_EQ(UrlOf(browser), app_server_.Url("/second"));
  EXPECT_EQ(outside_.Hits("/elsewhere") + outside_.Hits("/pop"), 0);
  EXPECT_TRUE(app_.Events("browser_destroyed").empty());
}

// A page's resources and subframes from a refused origin never load, and a
// subframe is not sent to the desktop opener either.
TEST_F(ClientTest, RefusedResourcesAndSubframesAreHeldBack) {
  app_server_.Page("/ok.js", "document.title = 'mixed';", 200,
                   "text/javascript");
  app_server_.Page(
      "/mixed",
      TitledPage("loading", "<img src='" + outside_.Url("/img.png") +
                                "'><iframe src='" + outside_.Url("/frame") +
                                "'></iframe><script src='/ok.js'>"
                                "</script>"));
  const auto [browser, xid] = Open(app_server_.Url("/mixed"));
  ASSERT_NE(browser, 0);
  ASSERT_TRUE(WaitForTitle(xid, "mixed"));
  app_.Drain(milliseconds(500));
  EXPECT_EQ(app_server_.Hits("/ok.js"), 1);
  EXPECT_EQ(outside_.Hits("/img.png"), 0);
  EXPECT_EQ(outside_.Hits("/frame"), 0);
  EXPECT_TRUE(Opened().empty());
  EXPECT_EQ(UrlOf(browser), app_server_.Url("/mixed"));
}

// A browser whose very first page is refused has nothing to show: the page
// goes to the desktop opener and the browser closes.
TEST_F(ClientTest, RefusedFirstPageClosesItsBrowser) {
  const auto [browser, xid] = Open(outside_.Url("/first"));
  ASSERT_NE(browser, 0);
  ASSERT_TRUE(WaitForOpened(1));
  EXPECT_EQ(Opened()[0], outside_.Url("/first"));
  EXPECT_FALSE(app_.WaitForEvent("browser_destroyed",
                                 [&](const json& e) {
                                   return e.value("browser", 0) == browser;
                                 })
                   .is_null());
  EXPECT_EQ(outside_.Hits("/first"), 0);
}

// Permission prompts are accepted without a question; camera and
// microphone are never granted.
TEST_F(ClientTest, PromptsAreAcceptedAndMediaRefused) {
  app_server_.Page("/ask",
                   TitledPage("asking",
                              "<script>"
                              "Notification.requestPermission().then(p => {"
                              "  document.title = 'notifications ' + p; });"
                              "</script>"));
  const auto [browser, xid] = Open(app_server_.Url("/ask"));
  EXPECT_TRUE(WaitForTitle(xid, "notifications granted"));
  Js(browser,
     "navigator.mediaDevices.getUserMedia({audio: true}).then("
     "() => document.title = 'media granted',"
     "e => document.title = 'media ' + e.name)");
  EXPECT_TRUE(WaitForTitle(xid, "media NotAllowedError"));
}

// Closing a popup leaves the application running; backend supervision
// closes every browser left, from a thread of its own, and the application
// ends.
TEST_F(ClientTest, PopupsCloseAloneAndBackendExitClosesEveryBrowser) {
  app_server_.Page("/start", TitledPage("start"));
  app_server_.Page("/popup", TitledPage("popup"));
  const auto [browser, xid] = Open(app_server_.Url("/start"));
  ASSERT_TRUE(WaitForTitle(xid, "start"));
  Js(browser, "window.open('/popup', '', 'width=640,height=480')");
  const int popup = app_.WaitForEvent("popup_view_created").value("popup", 0);
  ASSERT_NE(popup, 0);
  EXPECT_TRUE(Opened().empty());
  EXPECT_EQ(app_.Command({{"cmd", "closing"}})["browsers"], 2);

  app_.Command({{"cmd", "close"}, {"browser", popup}});
  ASSERT_FALSE(app_.WaitForEvent("browser_destroyed",
                                 [&](const json& e) {
                                   return e.value("browser", 0) == popup;
                                 })
                   .is_null());
  const json closing = app_.Command({{"cmd", "closing"}});
  EXPECT_EQ(closing["browsers"], 1);
  EXPECT_EQ(closing["closing"], false);

  const auto [second, second_xid] = Open(app_server_.Url("/start"));
  ASSERT_TRUE(WaitForTitle(second_xid, "start"));
  app_.Command({{"cmd", "close_all"}});
  const json ended = app_.WaitForEvent("ended");
  ASSERT_FALSE(ended.is_null());
  EXPECT_EQ(ended["code"], 0);
  EXPECT_EQ(app_.Events("browser_destroyed").size(), 3u);
}

}  // namespace
}  // namespace engine_test
