// What the X server and the window manager say about a window, read through
// the standard X utilities (xwininfo, xprop, xdotool) so that the tests see
// exactly what a user's tools would.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_X_WINDOW_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_X_WINDOW_H_

#include <string>
#include <vector>

namespace engine_test {

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
using Geometry = Rect;

// |xid| as "0x..." the way xprop prints window ids.
std::string Hex(unsigned long xid);

// xwininfo's "Map State" of |xid| ("IsViewable", "IsUnMapped", ...), or ""
// when the window does not exist.
std::string MapState(unsigned long xid);

// Absolute position and size of the client window (xwininfo); -1 fields
// when the window does not exist.
Geometry GetGeometry(unsigned long xid);

// Position and size of |xid| as xdotool reports them; zeros when the window
// does not exist.
Rect WindowRect(unsigned long xid);

// One property as xprop prints it, without the trailing newline.
std::string Property(unsigned long xid, const std::string& name);

// Whether |xid|'s title (_NET_WM_NAME) is |title|.
bool HasTitle(unsigned long xid, const std::string& title);

// The windows whose X class is |name|, in creation order.
std::vector<unsigned long> WindowsOfClass(const std::string& name);

// Whether _NET_WM_STATE holds |atom|.
bool HasState(unsigned long xid, const std::string& atom);

// Asks the window manager to close |xid| the way its close button does.
// False when there is no X display to ask.
bool RequestClose(unsigned long xid);

// Colour of one pixel of the image |png| as "#RRGGBB" ("#" alone when it
// cannot be read).
std::string PixelAt(const std::string& png, int x, int y);

// The id of the window titled exactly |title| (xdotool's search), "" when
// none appears within 10 s.
std::string FindWindowByTitle(const std::string& title);

// Gives |window| (an id from FindWindowByTitle) the keyboard focus, then
// runs the shell command |keys| (xdotool key or type commands) there.
void TypeInto(const std::string& window, const std::string& keys);

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_X_WINDOW_H_
