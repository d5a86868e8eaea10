// Windows and browser views of the development engine, checked on a real X
// server with openbox: what the window manager reports after each operation
// of views_test_app, and what the user sees. (The shell's hidden, centred
// main window and its class, window states on and off and closes with and
// without a leave prompt: BridgeTest and EndingTest; activation:
// EndingTest.SecondStartsLeaveNothing; draggable regions:
// PageServicesTest.DraggableRegionsMoveTheWindowUntilReplaced.)

#include <string>

#include <gtest/gtest.h>

#include "tests/engine_browser/browser_harness.h"
#include "tests/support/engine_harness/x_window.h"

namespace engine_test {
namespace {

::testing::AssertionResult WaitForGeometry(unsigned long xid,
                                           int x,
                                           int y,
                                           int width,
                                           int height) {
  Geometry g;
  if (WaitUntil([&] {
        g = GetGeometry(xid);
        return g.x == x && g.y == y && g.width == width && g.height == height;
      })) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "geometry " << g.x << "," << g.y << " " << g.width << "x"
         << g.height << ", wanted " << x << "," << y << " " << width << "x"
         << height;
}

class EngineViewsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(app_.started()); }
  // The app must leave cleanly, closing its window if it still has one.
  void TearDown() override { EXPECT_TRUE(app_.Quit()); }

  // Shows the window from the "create" |options| (bounds, minw, minh, url);
  // its X window id once the window manager shows it.
  unsigned long Create(json options) {
    options["cmd"] = "create";
    app_.Command(options);
    const unsigned long xid =
        app_.WaitForEvent("window_created").value("xid", 0UL);
    EXPECT_TRUE(WaitUntil([&] { return MapState(xid) == "IsViewable"; }));
    return xid;
  }
  json Do(const std::string& command, json args = json::object()) {
    args["cmd"] = command;
    return app_.Command(args);
  }
  bool Mapped(unsigned long xid, bool mapped) {
    return WaitUntil([&] {
      return MapState(xid) == (mapped ? "IsViewable" : "IsUnMapped");
    });
  }

  BrowserApp app_;
};

// A minimum size that neither the user nor the program can undercut.
TEST_F(EngineViewsTest, MinimumSizeHoldsAgainstUserAndProgram) {
  const unsigned long xid =
      Create({{"minw", 600}, {"minh", 400}, {"bounds", {100, 100, 700, 500}}});
  ASSERT_TRUE(WaitForGeometry(xid, 100, 100, 700, 500));
  // The user (here xdotool) cannot shrink the window below its minimum...
  Shell("xdotool windowsize " + std::to_string(xid) + " 200 100");
  EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 600, 400));
  // ...and neither can the program.
  Do("bounds", {{"bounds", {100, 100, 300, 200}}});
  EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 600, 400));
  EXPECT_EQ(Do("state")["bounds"], json({100, 100, 600, 400}));
}

// Leaving fullscreen restores the bounds from before; a window kept on top
// stays there when hidden (withdrawn) and shown again.
TEST_F(EngineViewsTest, FullscreenRestoresBoundsAndOnTopSurvivesHiding) {
  const unsigned long xid = Create({{"bounds", {100, 100, 640, 480}}});
  Do("fullscreen", {{"on", true}});
  EXPECT_TRUE(
      WaitUntil([&] { return HasState(xid, "_NET_WM_STATE_FULLSCREEN"); }));
  EXPECT_TRUE(WaitForGeometry(xid, 0, 0, 1920, 1080));
  Do("fullscreen", {{"on", false}});
  EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 640, 480));

  Do("ontop", {{"on", true}});
  EXPECT_TRUE(WaitUntil([&] { return HasState(xid, "_NET_WM_STATE_ABOVE"); }));
  Do("hide");
  EXPECT_TRUE(Mapped(xid, false));
  Do("show");
  EXPECT_TRUE(Mapped(xid, true));
  EXPECT_TRUE(WaitUntil([&] { return HasState(xid, "_NET_WM_STATE_ABOVE"); }));
  EXPECT_TRUE(Do("state")["on_top"]);
}

// Commands given back to back, before the window manager has acted on the
// one before, or as soon as the window reads as changed: each must land,
// and the window ends where they lead (a restore from minimised brings back
// the maximised window, the next restore its bounds). A minimised window
// still counts as visible.
TEST_F(EngineViewsTest, StateChangesInQuickSuccession) {
  const unsigned long xid = Create({{"bounds", {100, 100, 640, 480}}});
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Do("maximize");
    Do("minimize");
    EXPECT_TRUE(WaitUntil([&] {
      return HasState(xid, "_NET_WM_STATE_HIDDEN") &&
             HasState(xid, "_NET_WM_STATE_MAXIMIZED_VERT");
    }));
    EXPECT_TRUE(Do("state")["visible"]);
    Do("restore");
    EXPECT_TRUE(WaitUntil([&] {
      return !HasState(xid, "_NET_WM_STATE_HIDDEN") &&
             MapState(xid) == "IsViewable";
    }));
    EXPECT_TRUE(WaitUntil([&] { return Do("state")["maximized"] == true; }));
    Do("restore");
    EXPECT_TRUE(WaitForGeometry(xid, 100, 100, 640, 480));
    // Brought back as soon as the window reads as minimised.
    Do("minimize");
    EXPECT_TRUE(WaitUntil([&] { return Do("state")["minimized"] == true; }));
    Do("restore");
    EXPECT_TRUE(WaitUntil([&] {
      const json state = Do("state");
      return state["minimized"] == false && state["maximized"] == false &&
             MapState(xid) == "IsViewable" &&
             !HasState(xid, "_NET_WM_STATE_HIDDEN");
    }));
  }
}

// The page fills the frameless window edge to edge on screen; when the page
// closes itself, its browser takes the window along.
TEST_F(EngineViewsTest, PageFillsTheFramelessWindowAndClosesIt) {
  constexpr char kPageColor[] = "#2A6F3C";
  TempDir shots;
  const unsigned long xid =
      Create({{"url",
               "data:text/html,<body style='margin:0;height:100vh;"
               "background:%232a6f3c'>"},
              {"bounds", {300, 200, 640, 400}}});
  // As in the production engine, the view has the browser before
  // OnAfterCreated.
  EXPECT_TRUE(app_.WaitForEvent("after_created")["has_view"]);
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

  Do("js", {{"code", "window.close()"}});
  EXPECT_FALSE(app_.WaitForEvent("before_close").is_null());
  EXPECT_FALSE(app_.WaitForEvent("window_destroyed").is_null());
  EXPECT_TRUE(WaitUntil([&] { return MapState(xid).empty(); }));
}

}  // namespace
}  // namespace engine_test
