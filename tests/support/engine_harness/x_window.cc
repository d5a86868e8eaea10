#include "tests/support/engine_harness/x_window.h"

#include <stdlib.h>

#include <cstdio>
#include <sstream>

#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/wait_until.h"

// Last: Xlib defines macros (None, Bool, Status) that clash with C++ code.
#include <X11/Xlib.h>

namespace engine_test {

namespace {

std::string TrimEnd(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

}  // namespace

std::string Hex(unsigned long xid) {
  char text[32];
  snprintf(text, sizeof(text), "0x%lx", xid);
  return text;
}

std::string MapState(unsigned long xid) {
  const std::string info = Shell("xwininfo -id " + Hex(xid));
  const std::string key = "Map State: ";
  const size_t at = info.find(key);
  if (at == std::string::npos) {
    return "";
  }
  const size_t end = info.find('\n', at);
  return info.substr(at + key.size(), end - at - key.size());
}

Geometry GetGeometry(unsigned long xid) {
  const std::string info = Shell("xwininfo -id " + Hex(xid));
  auto field = [&](const std::string& key) {
    const size_t at = info.find(key);
    return at == std::string::npos ? -1 : atoi(info.c_str() + at + key.size());
  };
  Geometry geometry;
  geometry.x = field("Absolute upper-left X:");
  geometry.y = field("Absolute upper-left Y:");
  geometry.width = field("Width:");
  geometry.height = field("Height:");
  return geometry;
}

Rect WindowRect(unsigned long xid) {
  Rect rect;
  std::istringstream in(
      Shell("xdotool getwindowgeometry --shell " + std::to_string(xid)));
  std::string line;
  while (std::getline(in, line)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) {
      continue;
    }
    const std::string key = line.substr(0, equals);
    const int value = atoi(line.c_str() + equals + 1);
    if (key == "X") {
      rect.x = value;
    } else if (key == "Y") {
      rect.y = value;
    } else if (key == "WIDTH") {
      rect.width = value;
    } else if (key == "HEIGHT") {
      rect.height = value;
    }
  }
  return rect;
}

std::string Property(unsigned long xid, const std::string& name) {
  return TrimEnd(Shell("xprop -id " + Hex(xid) + " " + name));
}

bool HasTitle(unsigned long xid, const std::string& title) {
  return Property(xid, "_NET_WM_NAME") ==
         "_NET_WM_NAME(UTF8_STRING) = \"" + title + "\"";
}

std::vector<unsigned long> WindowsOfClass(const std::string& name) {
  std::istringstream ids(Shell("xdotool search --class '^" + name + "$'"));
  std::vector<unsigned long> windows;
  for (unsigned long id; ids >> id;) {
    windows.push_back(id);
  }
  return windows;
}

bool HasState(unsigned long xid, const std::string& atom) {
  // xprop prints "_NET_WM_STATE(ATOM) = A, B".
  const std::string text = Property(xid, "_NET_WM_STATE");
  const size_t equals = text.find('=');
  std::istringstream in(equals == std::string::npos ? ""
                                                    : text.substr(equals + 1));
  for (std::string state; std::getline(in, state, ',');) {
    state.erase(0, state.find_first_not_of(' '));
    if (state == atom) {
      return true;
    }
  }
  return false;
}

bool RequestClose(unsigned long xid) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    return false;
  }
  XEvent event = {};
  event.xclient.type = ClientMessage;
  event.xclient.window = xid;
  event.xclient.message_type = XInternAtom(display, "_NET_CLOSE_WINDOW", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = CurrentTime;
  event.xclient.data.l[1] = 2;  // Source: a pager, i.e. the user.
  XSendEvent(display, DefaultRootWindow(display), False,
             SubstructureRedirectMask | SubstructureNotifyMask, &event);
  XCloseDisplay(display);
  return true;
}

std::string PixelAt(const std::string& png, int x, int y) {
  const std::string text =
      TrimEnd(Shell("convert '" + png + "' -format '%[hex:p{" +
                    std::to_string(x) + "," + std::to_string(y) + "}]' info:"));
  return "#" + text.substr(0, 6);
}

std::string FindWindowByTitle(const std::string& title) {
  std::string id;
  WaitUntil(
      [&] {
        id =
            TrimEnd(Shell("xdotool search --name '^" + title + "$' | head -1"));
        return !id.empty();
      },
      milliseconds(10000));
  return id;
}

void TypeInto(const std::string& window, const std::string& keys) {
  Shell("xdotool windowactivate --sync " + window + " 2>/dev/null; true");
  // A moment for the focus to settle in the program before keys arrive.
  Shell("xdotool windowfocus --sync " + window + "; sleep 0.3; " + keys);
}

}  // namespace engine_test
