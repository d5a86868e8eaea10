// Windows and browser views of the development engine, checked on a real X
// server with openbox: what the window manager reports (map state,
// _NET_WM_STATE, WM_CLASS, frame extents, geometry) after each operation of
// views_test_app, and what the user's mouse does to a frameless window.

#include <stdio.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/engine_views/views_harness.h"
#include "tests/support/engine_harness/x_pointer.h"

namespace engine_test {
namespace {

// A data: URL of |html|, escaped so that no parser trips over it.
std::string DataUrl(const std::string& html) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string url = "data:text/html;charset=utf-8,";
  for (unsigned char c : html) {
    if (isalnum(c) || c == '-' || c == '_' || c == '.') {
      url += static_cast<char>(c);
    } else {
      url += '%';
      url += kHex[c >> 4];
      url += kHex[c & 15];
    }
  }
  return url;
}

constexpr char kPageColor[] = "#2A6F3C";

// A page filling the window with one colour that reports each mouse press
// in its title.
std::string ClickPage() {
  return DataUrl(
      "<html><body style='margin:0;height:100vh;background:#2a6f3c' "
      "onmousedown=\"document.title='down '+event.clientX+','+event.clientY\">"
      "</body></html>");
}

bool GeometryIs(unsigned long xid, int x, int y, int width, int height) {
  const Geometry g = GetGeometry(xid);
  return g.x == x && g.y == y && g.width == width && g.height == height;
}

::testing::AssertionResult WaitForGeometry(unsigned long xid,
                                           int x,
                                           int y,
                                           int width,
                                           int height) {
  if (WaitUntil([&] { return GeometryIs(xid, x, y, width, height); })) {
    return ::testing::AssertionSuccess();
  }
  const Geometry g = GetGeometry(xid);
  return ::testing::AssertionFailure()
         << "geometry " << g.x << "," << g.y << " " << g.width << "x"
         << g.height << ", wanted " << x << "," << y << " " << width << "x"
         << height;
}

class EngineViewsTest : public ::testing::Test {
 protected:
  // The app must leave cleanly, closing every window it still has.
  void TearDown() override { EXPECT_TRUE(app_.Quit()); }

  // Creates window |id| from the "create" |options|; its X window id.
  unsigned long Create(int id, const std::string& options) {
    app_.Command("create " + std::to_string(id) + " " + options);
    return app_.WaitForEvent("window_created", id).value("xid", 0UL);
  }
  bool TitleBecomes(const std::string& title) {
    return !app_.WaitFor(
                    [&](const json& event) {
                      return IsEvent(event, "title") &&
                             event.value("title", "") == title;
                    },
                    milliseconds(5000))
                .is_null();
  }

  ViewsApp app_;
};

// Hidden at creation, shown on request; the X window keeps its id while
// the page loads and is drawn, and a class the application sets itself
// survives hiding and showing.
TEST_F(EngineViewsTest, WindowMapsHiddenKeepsItsIdAndTheApplicationsClass) {
  const unsigned long xid =
      Create(1, "url=" + ClickPage() + " x=100 y=100 w=640 h=480");
  ASSERT_NE(xid, 0UL);
  // As in the production engine, the view has the browser before
  // OnAfterCreated.
  EXPECT_TRUE(app_.WaitForEvent("after_created")["has_view"]);
  ASSERT_FALSE(app_.WaitForEvent("load_end").is_null());

  EXPECT_EQ(MapState(xid), "IsUnMapped");
  json state = app_.State(1);
  EXPECT_FALSE(state["visible"]);
  EXPECT_FALSE(state["drawn"]);
  EXPECT_GT(state["browser"].get<int>(), 0);
  EXPECT_TRUE(state["view_in_window"]);
  EXPECT_TRUE(state["view_for_browser"]);

  app_.Command("show 1");
  EXPECT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));
  state = app_.State(1);
  EXPECT_TRUE(state["visible"]);
  EXPECT_TRUE(state["drawn"]);
  EXPECT_EQ(state["xid"].get<unsigned long>(), xid);

  app_.Command("setclass 1 KorVel");
  EXPECT_EQ(Property(xid, "WM_CLASS"), "WM_CLASS(STRING) = \"KorVel\"");
  app_.Command("hide 1");
  EXPECT_TRUE(WaitUntil([&] { return MapState(xid) == "IsUnMapped"; }));
  EXPECT_FALSE(app_.State(1)["visible"]);
  app_.Command("show 1");
  EXPECT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));
  EXPECT_EQ(Property(xid, "WM_CLASS"), "WM_CLASS(STRING) = \"KorVel\"");
}

// Centring in the work area, also larger than it and while hidden (how a
// main window starts), and a minimum size that neither the program nor the
// user can undercut.
TEST_F(EngineViewsTest, CentreAndMinimumSize) {
  const unsigned long xid =
      Create(1, "show=1 minw=600 minh=400 x=50 y=60 w=700 h=500");
  ASSERT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));
  EXPECT_TRUE(WaitForGeometry(xid, 50, 60, 700, 500));
  EXPECT_EQ(app_.State(1)["bounds"], json({50, 60, 700, 500}));
  EXPECT_NE(Property(xid, "WM_NORMAL_HINTS")
                .find("program specified minimum size: 600 by 400"),
            std::string::npos)
      << Property(xid, "WM_NORMAL_HINTS");

  // 1920x1080 screen without panels: the work area is the whole screen.
  app_.Command("center 1 3000 2000");
  EXPECT_TRUE(WaitForGeometry(xid, 0, 0, 1920, 1080));

  app_.Command("bounds 1 100 100 700 500");
  EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 700, 500));
  // The user (here xdotool) cannot shrink the window below its minimum...
  Shell("xdotool windowsize " + std::to_string(xid) + " 200 100");
  EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 600, 400));
  // ...and neither can the program.
  app_.Command("bounds 1 100 100 300 200");
  EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 600, 400));
  EXPECT_EQ(app_.State(1)["bounds"], json({100, 100, 600, 400}));

  const unsigned long hidden = Create(2, "x=0 y=0 w=300 h=200");
  app_.Command("center 2 1200 685");
  EXPECT_EQ(app_.State(2)["bounds"], json({360, 197, 1200, 685}));
  app_.Command("show 2");
  EXPECT_TRUE(WaitUntil([&] { return MapState(hidden) == "IsViewable"; }));
  EXPECT_TRUE(WaitForGeometry(hidden, 360, 197, 1200, 685));
}

// A minimised window is iconic yet still counts as visible; leaving
// fullscreen restores the bounds from before; a window kept on top stays
// there when hidden (withdrawn) and shown again.
TEST_F(EngineViewsTest, MinimiseFullscreenAlwaysOnTop) {
  const unsigned long xid = Create(1, "show=1 x=100 y=100 w=640 h=480");
  ASSERT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));

  app_.Command("minimize 1");
  EXPECT_TRUE(WaitUntil([&] {
    return HasState(xid, "_NET_WM_STATE_HIDDEN") &&
           Property(xid, "WM_STATE").find("Iconic") != std::string::npos;
  }));
  json state = app_.State(1);
  EXPECT_TRUE(state["minimized"]);
  EXPECT_TRUE(state["visible"]);
  app_.Command("restore 1");
  EXPECT_TRUE(WaitUntil([&] {
    return !HasState(xid, "_NET_WM_STATE_HIDDEN") &&
           MapState(xid) == "IsViewable";
  }));

  app_.Command("fullscreen 1 1");
  EXPECT_TRUE(
      WaitUntil([&] { return HasState(xid, "_NET_WM_STATE_FULLSCREEN"); }));
  EXPECT_TRUE(WaitForGeometry(xid, 0, 0, 1920, 1080));
  EXPECT_TRUE(app_.State(1)["fullscreen"]);
  app_.Command("fullscreen 1 0");
  EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 640, 480));
  EXPECT_FALSE(app_.State(1)["fullscreen"]);

  app_.Command("ontop 1 1");
  EXPECT_TRUE(WaitUntil([&] { return HasState(xid, "_NET_WM_STATE_ABOVE"); }));
  app_.Command("hide 1");
  EXPECT_TRUE(WaitUntil([&] { return MapState(xid) == "IsUnMapped"; }));
  app_.Command("show 1");
  EXPECT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));
  EXPECT_TRUE(WaitUntil([&] { return HasState(xid, "_NET_WM_STATE_ABOVE"); }));
  EXPECT_TRUE(app_.State(1)["on_top"]);
  // Still the same X window after all of it.
  EXPECT_EQ(app_.State(1)["xid"].get<unsigned long>(), xid);
}

// Commands given back to back, before the window manager has acted on the
// one before, or as soon as the window reads as changed: each must land,
// and the window ends where they lead (a restore from minimised brings back
// the maximised window, the next restore its bounds).
TEST_F(EngineViewsTest, StateChangesInQuickSuccession) {
  const unsigned long xid = Create(1, "show=1 x=100 y=100 w=640 h=480");
  ASSERT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));

  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    app_.Command("maximize 1");
    app_.Command("minimize 1");
    EXPECT_TRUE(WaitUntil([&] {
      return HasState(xid, "_NET_WM_STATE_HIDDEN") &&
             HasState(xid, "_NET_WM_STATE_MAXIMIZED_VERT");
    }));
    app_.Command("restore 1");
    EXPECT_TRUE(WaitUntil([&] {
      return !HasState(xid, "_NET_WM_STATE_HIDDEN") &&
             MapState(xid) == "IsViewable";
    }));
    EXPECT_TRUE(WaitUntil([&] { return app_.State(1)["maximized"] == true; }));
    app_.Command("restore 1");
    EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 640, 480));
    // Brought back as soon as the window reads as minimised.
    app_.Command("minimize 1");
    EXPECT_TRUE(WaitUntil([&] { return app_.State(1)["minimized"] == true; }));
    app_.Command("restore 1");
    EXPECT_TRUE(WaitUntil([&] {
      json state = app_.State(1);
      return state["minimized"] == false && state["maximized"] == false &&
             MapState(xid) == "IsViewable" &&
             !HasState(xid, "_NET_WM_STATE_HIDDEN");
    }));
  }
}

// The window manager's close button and CefWindow::Close both ask
// CanClose; a refusal keeps the window, a consent closes it. A window with a
// page closes through its browser's close sequence, also when the page
// closes itself.
TEST_F(EngineViewsTest, CloseOnlyWhenTheDelegateAgrees) {
  const unsigned long xid =
      Create(1, "show=1 canclose=0 x=100 y=100 w=400 h=300");
  ASSERT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));

  ASSERT_TRUE(RequestClose(xid)) << "no X display";
  json answer = app_.WaitForEvent("can_close", 1);
  ASSERT_FALSE(answer.is_null());
  EXPECT_FALSE(answer["answer"]);
  app_.Command("close 1");
  EXPECT_EQ(app_.Events("can_close").size(), 2u);
  EXPECT_EQ(MapState(xid), "IsViewable");
  EXPECT_FALSE(app_.State(1)["closed"]);
  EXPECT_TRUE(app_.Events("window_closing").empty());

  app_.Command("canclose 1 1");
  ASSERT_TRUE(RequestClose(xid)) << "no X display";
  EXPECT_FALSE(app_.WaitForEvent("window_destroyed", 1).is_null());
  EXPECT_EQ(app_.Events("window_closing").size(), 1u);
  EXPECT_EQ(app_.Events("can_close").back()["answer"], true);
  EXPECT_TRUE(WaitUntil([&] { return MapState(xid).empty(); }));

  // The close button of openbox's frame on a framed window.
  const unsigned long framed =
      Create(3, "frameless=0 show=1 canclose=0 x=600 y=300 w=500 h=300");
  ASSERT_TRUE(WaitUntil([&] { return MapState(framed) == "IsViewable"; }));
  int left = 0, right = 0, top = 0, bottom = 0;
  ASSERT_TRUE(WaitUntil([&] {
    return sscanf(Property(framed, "_NET_FRAME_EXTENTS").c_str(),
                  "_NET_FRAME_EXTENTS(CARDINAL) = %d, %d, %d, %d", &left,
                  &right, &top, &bottom) == 4 &&
           top > 0;
  }));
  const std::string close_button = "xdotool mousemove " +
                                   std::to_string(600 + 500 + right - 8) + " " +
                                   std::to_string(300 - top / 2) + " click 1";
  Shell(close_button);
  answer = app_.WaitForEvent("can_close", 3);
  ASSERT_FALSE(answer.is_null());
  EXPECT_FALSE(answer["answer"]);
  EXPECT_EQ(MapState(framed), "IsViewable");
  app_.Command("canclose 3 1");
  Shell(close_button);
  EXPECT_FALSE(app_.WaitForEvent("window_destroyed", 3).is_null());
  EXPECT_TRUE(WaitUntil([&] { return MapState(framed).empty(); }));

  // With a page: the first CanClose starts the browser's close and refuses;
  // the browser then closes the window, the view lets go of the browser
  // before its OnBeforeClose, and the window goes last.
  const unsigned long page_xid =
      Create(2, "url=" + ClickPage() + " show=1 w=400 h=300");
  const json loaded = app_.WaitForEvent("load_end");
  ASSERT_FALSE(loaded.is_null());
  const int browser = loaded["browser"];
  ASSERT_TRUE(RequestClose(page_xid)) << "no X display";
  ASSERT_FALSE(app_.WaitForEvent("window_destroyed", 2).is_null());
  EXPECT_TRUE(WaitUntil([&] { return MapState(page_xid).empty(); }));
  const auto destroyed = app_.Events("view_browser_destroyed");
  const auto closed = app_.Events("before_close");
  ASSERT_EQ(destroyed.size(), 1u);
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(destroyed[0]["browser"], browser);
  EXPECT_EQ(closed[0]["browser"], browser);
  auto first = [&](const std::string& name) {
    return app_.IndexOf([&](const json& e) { return IsEvent(e, name); });
  };
  EXPECT_LT(first("view_browser_destroyed"), first("before_close"));
  EXPECT_LT(first("before_close"), app_.IndexOf([](const json& e) {
    return IsEvent(e, "window_destroyed") && e["window"] == 2;
  }));

  // The page closes itself: its browser takes the window along.
  const unsigned long self_xid =
      Create(4, "url=" + ClickPage() + " show=1 w=400 h=300");
  ASSERT_FALSE(app_.WaitFor([&](const json& e) {
                     return IsEvent(e, "load_end") && e["browser"] != browser;
                   })
                   .is_null());
  app_.Command("js 4 window.close()");
  EXPECT_FALSE(app_.WaitForEvent("window_destroyed", 4).is_null());
  EXPECT_EQ(app_.Events("before_close").size(), 2u);
  EXPECT_TRUE(WaitUntil([&] { return MapState(self_xid).empty(); }));
}

// A press inside a draggable region moves the frameless window and never
// reaches the page; presses outside the regions (or in a no-drag hole) go to
// the page and move nothing.
TEST_F(EngineViewsTest, DraggableRegionMovesFramelessWindow) {
  const unsigned long xid =
      Create(1, "url=" + ClickPage() + " show=1 x=200 y=150 w=600 h=400");
  ASSERT_FALSE(app_.WaitForEvent("load_end").is_null());
  ASSERT_TRUE(WaitForGeometry(xid, 200, 150, 600, 400));
  app_.Command("drag 1 0,0,600,40,1;500,0,100,40,0");

  Geometry moved;
  ASSERT_TRUE(DragWindowBy(xid, 400, 170, 100, 100, &moved))
      << "ended at " << moved.x << "," << moved.y;
  EXPECT_TRUE(WaitUntil([&] {
    return app_.State(1)["bounds"] == json({moved.x, moved.y, 600, 400});
  })) << app_.State(1)["bounds"];
  // Clicks at page point (px, py) of the moved window.
  auto click_page = [&](int px, int py) {
    Shell("xdotool mousemove " + std::to_string(moved.x + px) + " " +
          std::to_string(moved.y + py) + " click 1");
  };

  // The no-drag hole at the right end of the bar belongs to the page.
  click_page(550, 20);
  EXPECT_TRUE(TitleBecomes("down 550,20"));
  EXPECT_TRUE(GeometryIs(xid, moved.x, moved.y, 600, 400));
  // The drag press itself never reached the page.
  for (const json& title : app_.Events("title")) {
    EXPECT_NE(title["title"], "down 200,20");
  }

  // Without regions the bar is page again.
  app_.Command("drag 1 none");
  click_page(200, 20);
  EXPECT_TRUE(TitleBecomes("down 200,20"));
  EXPECT_TRUE(GeometryIs(xid, moved.x, moved.y, 600, 400));
}

// The page fills the frameless window edge to edge on screen.
TEST_F(EngineViewsTest, FramelessWindowShowsItsPage) {
  TempDir shots;
  const unsigned long xid =
      Create(1, "url=" + ClickPage() + " show=1 x=300 y=200 w=640 h=400");
  ASSERT_FALSE(app_.WaitForEvent("load_end").is_null());
  ASSERT_TRUE(WaitForGeometry(xid, 300, 200, 640, 400));

  const std::string png = shots.path() + "/screen.png";
  EXPECT_TRUE(WaitUntil(
      [&] {
        Shell("import -window root '" + png + "'");
        return PixelAt(png, 620, 400) == kPageColor;
      },
      milliseconds(10000)))
      << PixelAt(png, 620, 400);
  // Edge to edge: the first and last pixels of the window are the page's,
  // the pixels just outside are not.
  EXPECT_EQ(PixelAt(png, 300, 200), kPageColor);
  EXPECT_EQ(PixelAt(png, 939, 599), kPageColor);
  EXPECT_NE(PixelAt(png, 299, 199), kPageColor);
  EXPECT_NE(PixelAt(png, 940, 600), kPageColor);
}

// Activation, stacking and keyboard focus of the page.
TEST_F(EngineViewsTest, ActivateBringToTopAndFocus) {
  const unsigned long first =
      Create(1, "url=" + ClickPage() + " show=1 x=0 y=0 w=400 h=300");
  ASSERT_FALSE(app_.WaitForEvent("load_end").is_null());
  const unsigned long second = Create(2, "show=1 x=200 y=100 w=400 h=300");
  ASSERT_TRUE(WaitUntil([&] { return MapState(second) == "IsViewable"; }));

  auto active_window = [] { return Shell("xprop -root _NET_ACTIVE_WINDOW"); };
  ASSERT_TRUE(WaitUntil([&] { return app_.State(2)["active"] == true; }));
  app_.Command("activate 1");
  EXPECT_TRUE(WaitUntil([&] {
    return active_window().find(Hex(first)) != std::string::npos;
  })) << active_window();
  EXPECT_TRUE(WaitUntil([&] { return app_.State(1)["active"] == true; }));
  EXPECT_FALSE(app_.State(2)["active"]);

  app_.Command("focus 1");
  EXPECT_TRUE(WaitUntil([&] { return app_.State(1)["view_focused"] == true; }));

  app_.Command("bringtotop 2");
  EXPECT_TRUE(WaitUntil([&] {
    const std::string stacking = Shell("xprop -root _NET_CLIENT_LIST_STACKING");
    return stacking.rfind(Hex(second)) > stacking.rfind(Hex(first));
  })) << Shell("xprop -root _NET_CLIENT_LIST_STACKING");
}

}  // namespace
}  // namespace engine_test
