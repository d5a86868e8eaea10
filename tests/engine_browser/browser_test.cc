// Browsers of the development engine driven through browser_test_app, with
// pages from a loopback server.

#include <cmath>

#include <gtest/gtest.h>

#include "tests/engine_browser/browser_harness.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

// Engine values the tests compare with (cef_types.h).
constexpr int kErrAborted = -3;
constexpr int kErrBlockedByClient = -20;
constexpr int kErrConnectionRefused = -102;
constexpr int kRtMainFrame = 0;
constexpr int kRtSubFrame = 1;
constexpr int kRtImage = 4;
constexpr int kRtXhr = 13;

auto UrlIs(const std::string& url) {
  return [url](const json& event) { return event.value("url", "") == url; };
}

auto BrowserIs(int id) {
  return [id](const json& event) { return event.value("browser", 0) == id; };
}

auto ConsoleSays(const std::string& text) {
  return
      [text](const json& event) { return event.value("message", "") == text; };
}

// A page whose one link, |attributes| and all, fills the window, so that a
// click anywhere lands on it.
std::string LinkPage(const std::string& href, const std::string& attributes) {
  return "<title>links</title><a href=\"" + href + "\"" + attributes +
         " style=\"position:fixed;left:0;top:0;width:100%;height:100%\">"
         "link</a>";
}

// Runs |code| in the main frame of |browser|.
void RunScript(BrowserApp& app, int browser, const std::string& code) {
  app.Command({{"cmd", "js"}, {"browser", browser}, {"code", code}});
}

// Whether the value of the page's element "field" becomes |value| within
// three seconds.
bool FieldBecomes(BrowserApp& app, int browser, const std::string& value) {
  const std::string expected = "field:" + value;
  app.Mark();
  for (int i = 0; i < 30; ++i) {
    RunScript(
        app, browser,
        "console.log('field:' + document.getElementById('field').value);");
    if (!app.WaitForEvent("console", ConsoleSays(expected), milliseconds(100))
             .is_null()) {
      return true;
    }
  }
  return false;
}

// Clicks into the page with |button| (1 left, 2 middle) and waits until the
// page has the press. A left click also gives the page the user activation
// that Chromium asks for before a leave-page question. Later searches start
// at the click.
void ClickInto(BrowserApp& app, int browser, int button = 1) {
  const long window = app.State(browser).value("window", 0L);
  ASSERT_NE(window, 0);
  // Until the window manager has mapped the window, xdotool's position for it
  // is not where the window will be, and the click lands beside it.
  ASSERT_TRUE(WaitUntil([&] { return MapState(window) == "IsViewable"; },
                        milliseconds(15000)));
  app.Mark();
  RunScript(app, browser,
            "if (!window.pressProbe) { window.pressProbe = true;"
            " addEventListener('mousedown',"
            " (e) => console.log('pressed:' + e.button), true); }"
            "console.log('probe');");
  ASSERT_FALSE(app.WaitForEvent("console", ConsoleSays("probe")).is_null());
  app.Mark();
  Shell("xdotool mousemove --window " + std::to_string(window) +
        " 60 60 click " + std::to_string(button));
  // On a busy machine the press reaches the page long after xdotool has
  // returned: a fixed pause before the next step may end first.
  ASSERT_FALSE(
      app.WaitForEvent("console",
                       ConsoleSays("pressed:" + std::to_string(button - 1)))
          .is_null())
      << "the page never got the press";
}

TEST(EngineBrowserLoad, StatusCodesErrorCodesAndTitles) {
  PageServer server;
  server.Page("/ok", "<title>OK page</title>hello");
  server.Page("/missing", "<title>gone</title>not here", 404);
  server.SlowPage("/slow", milliseconds(2500));
  BrowserApp app;
  ASSERT_TRUE(app.started());

  const int id = app.Create(server.Url("/ok"));
  ASSERT_GT(id, 0);
  json end = app.WaitForEvent("load_end");
  ASSERT_FALSE(end.is_null());
  EXPECT_EQ(end["status"], 200);
  EXPECT_TRUE(end["frame"]["main"]);
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

  // A page loaded from inside OnLoadError replaces the failed one.
  app.Mark();
  app.Policy({{"error_page", "true"}});
  app.Command({{"cmd", "load"}, {"url", refused}});
  ASSERT_FALSE(app.WaitForEvent("load_error").is_null());
  EXPECT_FALSE(
      app.WaitForEvent("title",
                       [](const json& e) { return e["title"] == "error page"; })
          .is_null());
  end = app.WaitForEvent("load_end");
  ASSERT_FALSE(end.is_null());
  EXPECT_EQ(end["status"], 200);
  app.Policy({{"error_page", "false"}});

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

TEST(EngineBrowserNavigation, DecisionsAllowOrBlockMainAndSubFrames) {
  PageServer server;
  server.Page("/nav",
              "<title>nav</title><iframe src=\"/frame-ok\"></iframe>"
              "<iframe src=\"/frame-blocked\"></iframe>"
              "<a id=\"link\" href=\"/target\">go</a>");
  server.Page("/frame-ok", "<title>frame</title>inside");
  server.Page("/frame-blocked", "must not load");
  server.Page("/blocked-page", "must not load");
  server.Page("/target", "<title>target</title>arrived");
  server.Redirect("/redirect", "/target");
  BrowserApp app;
  ASSERT_TRUE(app.started());
  app.Policy({{"block_navigation", "blocked"}});

  const int id = app.Create(server.Url("/nav"));
  json main = app.WaitForEvent("before_browse", UrlIs(server.Url("/nav")));
  ASSERT_FALSE(main.is_null());
  EXPECT_EQ(main["resource_type"], kRtMainFrame);
  EXPECT_TRUE(main["frame"]["main"]);
  EXPECT_TRUE(main["read_only"]);
  EXPECT_FALSE(main["is_redirect"]);

  json sub = app.WaitForEvent("before_browse", UrlIs(server.Url("/frame-ok")));
  ASSERT_FALSE(sub.is_null());
  EXPECT_EQ(sub["resource_type"], kRtSubFrame);
  EXPECT_FALSE(sub["frame"]["main"]);
  EXPECT_TRUE(sub["frame"]["has_parent"]);
  EXPECT_NE(sub["frame"]["id"], main["frame"]["id"]);

  json refused = app.WaitForEvent("load_error", [&](const json& e) {
    return e["url"] == server.Url("/frame-blocked");
  });
  ASSERT_FALSE(refused.is_null());
  EXPECT_EQ(refused["code"], kErrAborted);
  EXPECT_FALSE(refused["frame"]["main"]);
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  EXPECT_TRUE(WaitUntil([&] { return server.Hits("/frame-ok") == 1; }));
  EXPECT_EQ(server.Hits("/frame-blocked"), 0);

  // A refused main-frame navigation leaves the page where it was.
  app.Mark();
  app.Command({{"cmd", "load"}, {"url", server.Url("/blocked-page")}});
  refused = app.WaitForEvent("load_error");
  ASSERT_FALSE(refused.is_null());
  EXPECT_EQ(refused["code"], kErrAborted);
  EXPECT_TRUE(refused["frame"]["main"]);
  EXPECT_EQ(refused["url"], server.Url("/blocked-page"));
  app.Drain(milliseconds(500));
  EXPECT_EQ(server.Hits("/blocked-page"), 0);
  EXPECT_TRUE(app.Events("load_start").empty());
  EXPECT_EQ(app.State(id)["frame"]["url"], server.Url("/nav"));

  // Links are user navigations; redirects are reported as such.
  app.Mark();
  RunScript(app, id, "document.getElementById('link').click();");
  json link = app.WaitForEvent("before_browse", UrlIs(server.Url("/target")));
  ASSERT_FALSE(link.is_null());
  EXPECT_TRUE(link["user_gesture"]);
  EXPECT_EQ(link["transition"].get<int>() & 0xff, 0);  // TT_LINK
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  EXPECT_TRUE(app.State(id)["can_go_back"]);
  // Back to the link's target. (Not to /nav: Chromium skips entries whose
  // page navigated away by script without a user's action.)
  app.Mark();
  app.Command({{"cmd", "load"}, {"url", server.Url("/nav")}});
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  app.Mark();
  app.Command({{"cmd", "back"}, {"browser", id}});
  json back = app.WaitForEvent("before_browse");
  ASSERT_FALSE(back.is_null());
  EXPECT_EQ(back["url"], server.Url("/target"));
  EXPECT_NE(back["transition"].get<int>() & 0x01000000, 0);  // FORWARD_BACK
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  EXPECT_EQ(app.State(id)["frame"]["url"], server.Url("/target"));

  app.Mark();
  app.Command({{"cmd", "load"}, {"url", server.Url("/redirect")}});
  json redirect = app.WaitForEvent("before_browse", [](const json& e) {
    return e.value("is_redirect", false);
  });
  ASSERT_FALSE(redirect.is_null());
  EXPECT_EQ(redirect["url"], server.Url("/target"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  // A browser with history stays when a navigation is refused; one whose
  // first navigation is refused can close itself from OnBeforeBrowse.
  app.Mark();
  app.Policy({{"close_on_refuse", "true"}});
  app.Command({{"cmd", "load"}, {"url", server.Url("/blocked-page")}});
  ASSERT_FALSE(app.WaitForEvent("load_error").is_null());
  app.Drain(milliseconds(500));
  EXPECT_TRUE(app.Events("do_close").empty());
  const int second = app.Create(server.Url("/blocked-page"));
  ASSERT_FALSE(app.WaitForEvent("do_close", BrowserIs(second)).is_null());
  json closed = app.WaitForEvent("before_close", BrowserIs(second));
  ASSERT_FALSE(closed.is_null());
  EXPECT_EQ(closed["remaining"], 1);
  EXPECT_EQ(server.Hits("/blocked-page"), 0);
  EXPECT_TRUE(app.State(id)["valid"]);
  EXPECT_TRUE(app.Quit());
}

TEST(EngineBrowserResources, CancelledRequestsNeverLeaveTheEngine) {
  PageServer server;
  // Images that load fire onload.
  for (const char* path : {"/img-ok.svg", "/img-blocked.svg", "/async-ok.svg",
                           "/async-no.svg", "/rewritten.svg"}) {
    server.Page(path, "<svg xmlns=\"http://www.w3.org/2000/svg\"/>", 200,
                "image/svg+xml");
  }
  server.Page("/xhr-ok", "fine", 200, "text/plain");
  server.Page("/xhr-blocked", "secret", 200, "text/plain");
  server.Page("/main-blocked", "must not load");
  auto image = [](const std::string& name) {
    return "<img src=\"/" + name + "\" onload=\"report('" + name +
           "','load')\" onerror=\"report('" + name + "','error')\">";
  };
  server.Page("/res",
              "<title>res</title><script>function report(n, r) {"
              " console.log(n + ':' + r); }</script>" +
                  image("img-ok.svg") + image("img-blocked.svg") +
                  image("async-ok.svg") + image("async-no.svg") +
                  image("rewrite-me.svg") +
                  "<script>for (const name of ['xhr-ok', 'xhr-blocked']) {"
                  " const x = new XMLHttpRequest(); x.open('GET', '/' + name);"
                  " x.onload = () => report(name, 'load:' + x.responseText);"
                  " x.onerror = () => report(name, 'error'); x.send(); }"
                  "</script>");
  BrowserApp app;
  ASSERT_TRUE(app.started());
  app.Policy({{"block_resource", "blocked"},
              {"async_allow", "async-ok"},
              {"async_cancel", "async-no"},
              {"rewrite_resource", "rewrite-me"},
              {"rewrite_to", server.Url("/rewritten.svg")}});
  app.Create(server.Url("/res"));

  for (const char* line :
       {"img-ok.svg:load", "img-blocked.svg:error", "async-ok.svg:load",
        "async-no.svg:error", "rewrite-me.svg:load", "xhr-ok:load:fine",
        "xhr-blocked:error"}) {
    EXPECT_FALSE(app.WaitForEvent("console", ConsoleSays(line)).is_null())
        << line;
  }
  EXPECT_EQ(server.Hits("/img-blocked.svg"), 0);
  EXPECT_EQ(server.Hits("/xhr-blocked"), 0);
  EXPECT_EQ(server.Hits("/async-no.svg"), 0);
  EXPECT_EQ(server.Hits("/rewrite-me.svg"), 0);
  EXPECT_EQ(server.Hits("/async-ok.svg"), 1);
  EXPECT_EQ(server.Hits("/rewritten.svg"), 1);

  json image_request =
      app.WaitForEvent("resource", UrlIs(server.Url("/img-blocked.svg")));
  ASSERT_FALSE(image_request.is_null());
  EXPECT_EQ(image_request["resource_type"], kRtImage);
  EXPECT_TRUE(image_request["io_thread"]);
  EXPECT_GT(image_request["id"].get<uint64_t>(), 0u);
  json xhr = app.WaitForEvent("resource", UrlIs(server.Url("/xhr-blocked")));
  ASSERT_FALSE(xhr.is_null());
  EXPECT_EQ(xhr["resource_type"], kRtXhr);

  // A page the resource handler refuses fails as blocked by the client.
  app.Mark();
  app.Command({{"cmd", "load"}, {"url", server.Url("/main-blocked")}});
  json error = app.WaitForEvent("load_error");
  ASSERT_FALSE(error.is_null());
  EXPECT_EQ(error["code"], kErrBlockedByClient);
  EXPECT_EQ(server.Hits("/main-blocked"), 0);
  EXPECT_TRUE(app.Quit());
}

// A middle click on a link asks to open it in a background tab: refused,
// nothing opens and nothing loads; allowed, the link opens in the browser
// itself. Chromium tells a popup from a tab open by how the request arose,
// not by its disposition: the same click on a link with a target of its own
// (like window.open) is a popup of the background-tab kind, not
// OnOpenURLFromTab, and a refused popup is never created.
TEST(EngineBrowserPopups, MiddleClicksOpenTabsOrPopupsWhenAllowed) {
  PageServer server;
  server.Page("/opener", LinkPage("/tab-target", ""));
  server.Page("/tab-target", "<title>tab</title>arrived");
  server.Page("/target-opener", LinkPage("/linked", " target=\"_blank\""));
  server.Page("/linked", "must not load");
  BrowserApp app;
  ASSERT_TRUE(app.started());
  app.Policy({{"open_url_from_tab", "deny"}, {"popup", "deny"}});
  const int opener = app.Create(server.Url("/opener"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  ClickInto(app, opener, 2);
  json tab = app.WaitForEvent("open_url_from_tab");
  ASSERT_FALSE(tab.is_null());
  EXPECT_EQ(tab["url"], server.Url("/tab-target"));
  EXPECT_EQ(tab["disposition"], 4);  // CEF_WOD_NEW_BACKGROUND_TAB
  EXPECT_TRUE(tab["user_gesture"]);
  app.Drain(milliseconds(1000));
  EXPECT_EQ(server.Hits("/tab-target"), 0);
  EXPECT_TRUE(app.Events("load_start").empty());
  EXPECT_TRUE(app.Events("after_created").empty());

  app.Policy({{"open_url_from_tab", "allow"}});
  ClickInto(app, opener, 2);
  ASSERT_FALSE(app.WaitForEvent("open_url_from_tab").is_null());
  json tab_load = app.WaitForEvent("load_end", BrowserIs(opener));
  ASSERT_FALSE(tab_load.is_null());
  EXPECT_EQ(tab_load["frame"]["url"], server.Url("/tab-target"));

  app.Command({{"cmd", "load"}, {"url", server.Url("/target-opener")}});
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  ClickInto(app, opener, 2);
  json popup = app.WaitForEvent("before_popup");
  ASSERT_FALSE(popup.is_null());
  EXPECT_EQ(popup["url"], server.Url("/linked"));
  EXPECT_EQ(popup["disposition"], 4);  // CEF_WOD_NEW_BACKGROUND_TAB
  EXPECT_TRUE(popup["user_gesture"]);
  app.Drain(milliseconds(1000));
  EXPECT_TRUE(app.Events("open_url_from_tab").empty());
  EXPECT_TRUE(app.Events("after_created").empty());
  EXPECT_EQ(server.Hits("/linked"), 0);
  EXPECT_TRUE(app.Quit());
}

TEST(EngineBrowserPopups, WindowOpenGivesRectangleAndDisposition) {
  PageServer server;
  server.Page("/opener", "<title>opener</title>");
  server.Page("/popup-target", "<title>popup</title>popped");
  server.Page("/popup-plain", "<title>plain</title>popped");
  BrowserApp app;
  ASSERT_TRUE(app.started());
  const int opener = app.Create(server.Url("/opener"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  app.Mark();
  RunScript(app, opener,
            "window.open('/popup-target', 'pop',"
            " 'left=50,top=60,width=300,height=200');");
  json popup = app.WaitForEvent("before_popup");
  ASSERT_FALSE(popup.is_null());
  EXPECT_EQ(popup["url"], server.Url("/popup-target"));
  EXPECT_EQ(popup["disposition"], 5);  // CEF_WOD_NEW_POPUP
  EXPECT_FALSE(popup["user_gesture"]);
  EXPECT_EQ(popup["features"], json({{"x", 50},
                                     {"y", 60},
                                     {"width", 300},
                                     {"height", 200},
                                     {"widthSet", true},
                                     {"isPopup", true}}));
  json created = app.WaitForEvent(
      "after_created", [&](const json& e) { return e["browser"] != opener; });
  ASSERT_FALSE(created.is_null());
  const int popup_id = created["browser"];
  EXPECT_TRUE(created["popup"]);
  EXPECT_EQ(created["opener"], opener);
  json loaded = app.WaitForEvent("load_end", BrowserIs(popup_id));
  ASSERT_FALSE(loaded.is_null());
  EXPECT_EQ(loaded["frame"]["url"], server.Url("/popup-target"));
  // The popup's own loads pass its handlers too (Qt replaces the internals
  // of an adopted page).
  json popup_resource =
      app.WaitForEvent("resource", UrlIs(server.Url("/popup-target")));
  ASSERT_FALSE(popup_resource.is_null());
  EXPECT_EQ(popup_resource["browser"], popup_id);
  json popup_browse =
      app.WaitForEvent("before_browse", UrlIs(server.Url("/popup-target")));
  ASSERT_FALSE(popup_browse.is_null());
  EXPECT_EQ(popup_browse["browser"], popup_id);
  // The window the popup got has the requested size.
  const long window = app.State(popup_id).value("window", 0L);
  ASSERT_NE(window, 0);
  const std::string info = Shell("xwininfo -id " + std::to_string(window));
  EXPECT_NE(info.find("Width: 300"), std::string::npos) << info;
  EXPECT_NE(info.find("Height: 200"), std::string::npos) << info;

  // window.open without features asks for a tab.
  app.Mark();
  RunScript(app, opener, "window.open('/popup-plain');");
  popup = app.WaitForEvent("before_popup");
  ASSERT_FALSE(popup.is_null());
  EXPECT_EQ(popup["disposition"], 3);  // CEF_WOD_NEW_FOREGROUND_TAB
  EXPECT_FALSE(popup["features"]["isPopup"]);
  EXPECT_FALSE(app.WaitForEvent("after_created").is_null());
  EXPECT_TRUE(app.Quit());
}

TEST(EngineBrowserClose, LeaveHandlingDecidesAndCloseSequenceRuns) {
  PageServer server;
  const std::string unload_page =
      "<title>unload</title><script>window.onbeforeunload = (e) => {"
      " e.preventDefault(); e.returnValue = 'stay'; return 'stay'; };"
      "</script><div style=\"height:400px\">click here</div>";
  server.Page("/unload", unload_page);
  server.Page("/plain", "<title>plain</title>nothing to keep");
  BrowserApp app;
  ASSERT_TRUE(app.started());
  const int id = app.Create(server.Url("/unload"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  ClickInto(app, id);

  // The handler keeps the callback to itself: the page stays open, and the
  // next attempt asks again.
  app.Mark();
  json reply = app.Command({{"cmd", "try_close"}, {"browser", id}});
  EXPECT_FALSE(reply["result"]);
  json question = app.WaitForEvent("before_unload");
  ASSERT_FALSE(question.is_null());
  EXPECT_FALSE(question["is_reload"]);
  EXPECT_FALSE(question["message"].get<std::string>().empty());
  app.Drain(milliseconds(800));
  EXPECT_TRUE(app.Events("do_close").empty());
  EXPECT_TRUE(app.State(id)["valid"]);
  EXPECT_FALSE(app.Command({{"cmd", "try_close"}, {"browser", id}})["ready"]);
  app.Drain(milliseconds(800));
  EXPECT_EQ(app.Events("before_unload").size(), 2u);

  // A reload asks too, and says so.
  app.Mark();
  app.Policy({{"unload", "stay"}});
  app.Command({{"cmd", "reload"}, {"browser", id}});
  question = app.WaitForEvent("before_unload");
  ASSERT_FALSE(question.is_null());
  EXPECT_TRUE(question["is_reload"]);
  app.Drain(milliseconds(800));
  EXPECT_TRUE(app.Events("load_start").empty());

  // Continued with "leave": DoClose, then OnBeforeClose.
  app.Mark();
  app.Policy({{"unload", "leave"}});
  app.Command({{"cmd", "try_close"}, {"browser", id}});
  ASSERT_FALSE(app.WaitForEvent("before_unload").is_null());
  ASSERT_FALSE(app.WaitForEvent("do_close", BrowserIs(id)).is_null());
  json closed = app.WaitForEvent("before_close", BrowserIs(id));
  ASSERT_FALSE(closed.is_null());
  EXPECT_EQ(closed["remaining"], 0);

  // window.close() from the page runs the same sequence.
  app.Mark();
  const int second = app.Create(server.Url("/plain"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  RunScript(app, second, "window.close();");
  ASSERT_FALSE(app.WaitForEvent("do_close", BrowserIs(second)).is_null());
  ASSERT_FALSE(app.WaitForEvent("before_close", BrowserIs(second)).is_null());

  // A forced close skips the page's question.
  app.Mark();
  app.Policy({{"unload", "drop"}});
  const int third = app.Create(server.Url("/unload"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  ClickInto(app, third);
  app.Command({{"cmd", "close"}, {"browser", third}, {"force", true}});
  ASSERT_FALSE(app.WaitForEvent("before_close", BrowserIs(third)).is_null());
  EXPECT_TRUE(app.Events("before_unload").empty());

  // A client that handles DoClose itself finishes the close later.
  app.Mark();
  app.Policy({{"do_close", "true"}});
  const int fourth = app.Create(server.Url("/plain"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  app.Command({{"cmd", "close"}, {"browser", fourth}});
  ASSERT_FALSE(app.WaitForEvent("do_close", BrowserIs(fourth)).is_null());
  app.Drain(milliseconds(500));
  EXPECT_TRUE(app.Events("before_close").empty());
  EXPECT_TRUE(
      app.Command({{"cmd", "try_close"}, {"browser", fourth}})["ready"]);
  app.Command({{"cmd", "close"}, {"browser", fourth}});
  ASSERT_FALSE(app.WaitForEvent("before_close", BrowserIs(fourth)).is_null());
  EXPECT_TRUE(app.Quit());
}

TEST(EngineBrowserZoom, LevelsRoundTripAndReachThePage) {
  PageServer server;
  server.Page("/zoom", "<title>zoom</title>text");
  BrowserApp app;
  ASSERT_TRUE(app.started());
  const int id = app.Create(server.Url("/zoom"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  EXPECT_DOUBLE_EQ(app.State(id)["zoom"].get<double>(), 0.0);

  app.Command({{"cmd", "set_zoom"}, {"browser", id}, {"level", 1.5}});
  EXPECT_NEAR(app.State(id)["zoom"].get<double>(), 1.5, 1e-6);
  // The page sees the scale: 1.2 ^ 1.5.
  RunScript(app, id,
            "console.log('dpr:' + window.devicePixelRatio.toFixed(2));");
  EXPECT_FALSE(app.WaitForEvent("console", ConsoleSays("dpr:1.31")).is_null());

  // Beyond Qt's factor range the level is clamped, not dropped.
  app.Command({{"cmd", "set_zoom"}, {"browser", id}, {"level", 20.0}});
  EXPECT_NEAR(app.State(id)["zoom"].get<double>(),
              std::log(5.0) / std::log(1.2), 1e-3);

  // From another thread the change is posted to the UI thread.
  app.Command(
      {{"cmd", "set_zoom_off_thread"}, {"browser", id}, {"level", -1.0}});
  EXPECT_TRUE(WaitUntil([&] {
    return std::abs(app.State(id)["zoom"].get<double>() + 1.0) < 1e-6;
  }));
  EXPECT_TRUE(app.Quit());
}

TEST(EngineBrowserPermissions, PromptAndMediaCallbacksDecide) {
  PageServer server;
  const std::string page =
      "<title>perm</title><script>"
      "function notify() { Notification.requestPermission().then("
      " (r) => console.log('notify:' + r)); }"
      "function media() { navigator.mediaDevices.getUserMedia({audio: true})"
      ".then(() => console.log('media:ok'),"
      " (e) => console.log('media:' + e.name)); }</script>";
  server.Page("/perm", page);
  BrowserApp app;
  ASSERT_TRUE(app.started());
  // localhost is a secure context, as these requests need.
  const int id = app.Create(server.UrlOnHost("localhost", "/perm"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  app.Policy({{"prompt", "accept"}});
  RunScript(app, id, "notify();");
  json prompt = app.WaitForEvent("permission_prompt");
  ASSERT_FALSE(prompt.is_null());
  EXPECT_EQ(prompt["requested"], 1 << 15);  // NOTIFICATIONS
  EXPECT_EQ(prompt["origin"], server.UrlOnHost("localhost", "/"));
  EXPECT_FALSE(
      app.WaitForEvent("console", ConsoleSays("notify:granted")).is_null());
  json dismissed = app.WaitForEvent("permission_dismissed");
  ASSERT_FALSE(dismissed.is_null());
  EXPECT_EQ(dismissed["prompt_id"], prompt["prompt_id"]);
  EXPECT_EQ(dismissed["result"], 0);  // ACCEPT

  app.Policy({{"media", "deny"}});
  RunScript(app, id, "media();");
  json media = app.WaitForEvent("media_request");
  ASSERT_FALSE(media.is_null());
  EXPECT_EQ(media["requested"], 1);  // DEVICE_AUDIO_CAPTURE
  EXPECT_FALSE(app.WaitForEvent("console", ConsoleSays("media:NotAllowedError"))
                   .is_null());
  app.Mark();
  app.Policy({{"media", "grant"}});
  RunScript(app, id, "media();");
  ASSERT_FALSE(app.WaitForEvent("media_request").is_null());
  EXPECT_FALSE(app.WaitForEvent("console", ConsoleSays("media:ok")).is_null());

  // Another origin, refused.
  app.Mark();
  app.Policy({{"prompt", "deny"}});
  app.Command({{"cmd", "load"}, {"url", server.Url("/perm")}});
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());
  RunScript(app, id, "notify();");
  ASSERT_FALSE(app.WaitForEvent("permission_prompt").is_null());
  EXPECT_FALSE(
      app.WaitForEvent("console", ConsoleSays("notify:denied")).is_null());
  EXPECT_TRUE(app.Quit());
}

TEST(EngineBrowserScript, ScriptsDialogsAndEditCommandsReachThePage) {
  PageServer server;
  // The field fills the page, so that a click anywhere lands in it.
  server.Page("/script",
              "<title>script</title><input id=\"field\" value=\"abc\" "
              "style=\"position:fixed;left:0;top:0;width:100%;height:100%\" "
              "onfocus=\"console.log('focus')\">");
  BrowserApp app;
  ASSERT_TRUE(app.started());
  const int id = app.Create(server.Url("/script"));
  ASSERT_FALSE(app.WaitForEvent("load_end").is_null());

  RunScript(app, id, "document.title = 'from script';");
  EXPECT_FALSE(
      app.WaitForEvent(
             "title", [](const json& e) { return e["title"] == "from script"; })
          .is_null());

  app.Policy({{"dialog", "accept"}, {"prompt_text", "typed"}});
  RunScript(app, id, "console.log('prompt:' + prompt('name?', 'def'));");
  json dialog = app.WaitForEvent("js_dialog");
  ASSERT_FALSE(dialog.is_null());
  EXPECT_EQ(dialog["type"], 2);  // JSDIALOGTYPE_PROMPT
  EXPECT_EQ(dialog["message"], "name?");
  EXPECT_EQ(dialog["default_prompt"], "def");
  EXPECT_FALSE(
      app.WaitForEvent("console", ConsoleSays("prompt:typed")).is_null());
  EXPECT_FALSE(app.WaitForEvent("dialog_closed").is_null());

  app.Policy({{"dialog", "reject"}});
  RunScript(app, id, "console.log('confirm1:' + confirm('sure?'));");
  EXPECT_FALSE(
      app.WaitForEvent("console", ConsoleSays("confirm1:false")).is_null());
  // Answered later from another thread: the page waits for it.
  app.Policy({{"dialog", "later"}});
  RunScript(app, id, "console.log('confirm2:' + confirm('sure?'));");
  EXPECT_FALSE(
      app.WaitForEvent("console", ConsoleSays("confirm2:true")).is_null());
  // Never answered: the released callback cancels.
  app.Policy({{"dialog", "drop"}});
  RunScript(app, id, "console.log('confirm3:' + confirm('sure?'));");
  EXPECT_FALSE(
      app.WaitForEvent("console", ConsoleSays("confirm3:false")).is_null());

  // Edit commands act where the user's focus is: a click puts it into the
  // field (script focus alone does not while the window manager has not
  // focused the window yet). They reach the page apart from script, so each
  // step waits for its effect before the next.
  ClickInto(app, id);
  ASSERT_FALSE(app.WaitForEvent("console", ConsoleSays("focus")).is_null());
  app.Command({{"cmd", "edit"}, {"browser", id}, {"op", "selectall"}});
  app.Command({{"cmd", "edit"}, {"browser", id}, {"op", "cut"}});
  EXPECT_TRUE(FieldBecomes(app, id, ""));
  app.Command({{"cmd", "edit"}, {"browser", id}, {"op", "undo"}});
  EXPECT_TRUE(FieldBecomes(app, id, "abc"));
  // What was cut comes back in place of a new selection.
  app.Command({{"cmd", "edit"}, {"browser", id}, {"op", "selectall"}});
  app.Command({{"cmd", "edit"}, {"browser", id}, {"op", "paste"}});
  app.Command({{"cmd", "edit"}, {"browser", id}, {"op", "paste"}});
  EXPECT_TRUE(FieldBecomes(app, id, "abcabc"));
  // Delete runs as script, in order with the script that selects.
  RunScript(app, id, "document.getElementById('field').select();");
  app.Command({{"cmd", "edit"}, {"browser", id}, {"op", "delete"}});
  EXPECT_TRUE(FieldBecomes(app, id, ""));
  EXPECT_TRUE(app.Quit());
}

}  // namespace
}  // namespace engine_test
