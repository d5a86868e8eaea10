// The X helpers against a plain Xlib window of this process on a real X
// server with a window manager: what they read must be what the window is,
// in both directions, or a test of a window's state could pass on a wrong
// one.

#include "tests/support/engine_harness/x_window.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/temp_dir.h"
#include "tests/support/engine_harness/wait_until.h"

// Last: Xlib defines macros (None, Bool, Status) that clash with gtest.
#include <X11/Xlib.h>

namespace engine_test {
namespace {

// One red top-level window of 300x200, closed with the display.
class TestWindow {
 public:
  TestWindow() {
    display_ = XOpenDisplay(nullptr);
    if (!display_) {
      return;
    }
    xid_ = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 120, 140,
                               300, 200, 0, 0, 0xff0000);
    XFlush(display_);
  }
  ~TestWindow() {
    if (display_) {
      XCloseDisplay(display_);
    }
  }

  bool ok() const { return display_ && xid_; }
  unsigned long xid() const { return xid_; }
  // Maps the window and waits until the window manager has shown it. A
  // window manager still starting up may drop the request, so it is
  // repeated now and then.
  bool MapAndWait() {
    int polls = 0;
    return WaitUntil(
        [&] {
          if (polls++ % 20 == 0) {
            XMapWindow(display_, xid_);
            XFlush(display_);
          }
          return MapState(xid_) == "IsViewable";
        },
        milliseconds(15000));
  }
  // Asks the window manager to add |atom| to the window's _NET_WM_STATE.
  void AddState(const char* atom) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = xid_;
    event.xclient.message_type = XInternAtom(display_, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1;  // Add.
    event.xclient.data.l[1] = XInternAtom(display_, atom, False);
    XSendEvent(display_, DefaultRootWindow(display_), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display_);
  }

 private:
  Display* display_ = nullptr;
  Window xid_ = 0;
};

TEST(XWindowTest, StateGeometryAndPixelsOfARealWindow) {
  TestWindow window;
  ASSERT_TRUE(window.ok()) << "no X display";
  const unsigned long xid = window.xid();
  EXPECT_EQ(MapState(xid), "IsUnMapped");
  ASSERT_TRUE(window.MapAndWait()) << MapState(xid);

  // Where the window manager put it, after decorating it, is its business
  // (and xdotool counts the frame in); the size is the window's.
  ASSERT_TRUE(WaitUntil([&] {
    const Geometry g = GetGeometry(xid);
    return g.width == 300 && g.height == 200;
  })) << GetGeometry(xid).width
      << "x" << GetGeometry(xid).height;
  // The position is checked by the pixels read there below.
  const Geometry g = GetGeometry(xid);
  const Rect rect = WindowRect(xid);
  EXPECT_EQ(rect.width, 300);
  EXPECT_EQ(rect.height, 200);

  window.AddState("_NET_WM_STATE_ABOVE");
  EXPECT_TRUE(WaitUntil([&] { return HasState(xid, "_NET_WM_STATE_ABOVE"); }))
      << Property(xid, "_NET_WM_STATE");
  EXPECT_FALSE(HasState(xid, "_NET_WM_STATE_FULLSCREEN"));

  TempDir shots("engine-harness-x");
  const std::string png = shots.path() + "/root.png";
  EXPECT_TRUE(WaitUntil(
      [&] {
        Shell("import -window root '" + png + "'");
        return PixelAt(png, g.x + 150, g.y + 100) == "#FF0000";
      },
      milliseconds(5000)))
      << PixelAt(png, g.x + 150, g.y + 100);
  // The window's first and last pixels are its colour (a read shifted
  // either way misses one); the one after its last is not.
  EXPECT_EQ(PixelAt(png, g.x, g.y), "#FF0000");
  EXPECT_EQ(PixelAt(png, g.x + 299, g.y + 199), "#FF0000");
  EXPECT_NE(PixelAt(png, g.x + 300, g.y + 200), "#FF0000");
}

}  // namespace
}  // namespace engine_test
