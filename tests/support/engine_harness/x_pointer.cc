#include "tests/support/engine_harness/x_pointer.h"

#include <stdlib.h>

#include <sstream>
#include <string>

#include "tests/support/engine_harness/shell.h"
#include "tests/support/engine_harness/wait_until.h"

namespace engine_test {

bool DragPointer(const Rect& from, const Rect& to) {
  const int x0 = from.x + from.width / 2;
  const int y0 = from.y + from.height / 2;
  const int x1 = to.x + to.width / 2;
  const int y1 = to.y + to.height / 2;
  std::ostringstream command;
  command << "xdotool mousemove " << x0 << ' ' << y0
          << " sleep 0.2 mousedown 1 sleep 0.3";
  // Small steps first: the source starts its drag on the press, then the
  // pointer travels; each stop gives the XDND exchange time to settle.
  const int steps = 8;
  for (int i = 1; i <= steps; ++i) {
    command << " mousemove " << x0 + (x1 - x0) * i / steps << ' '
            << y0 + (y1 - y0) * i / steps << " sleep 0.15";
  }
  command << " mousemove " << x1 + 5 << ' ' << y1 + 5 << " sleep 0.5 mouseup 1";
  return system(command.str().c_str()) == 0;
}

bool DragWindowBy(unsigned long xid, int x, int y, int dx, int dy, Rect* end) {
  constexpr int kNudge = 4;
  const Geometry start = GetGeometry(xid);
  auto move_to = [](int to_x, int to_y) {
    Shell("xdotool mousemove " + std::to_string(to_x) + " " +
          std::to_string(to_y));
  };
  Shell("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
        " mousedown 1");
  int polls = 0;
  const bool follows = WaitUntil([&] {
    if (++polls > 6) {
      move_to(x + polls % 2 * kNudge, y + polls % 2 * kNudge);
    }
    return GetGeometry(xid).x != start.x;
  });
  move_to(x + dx, y + dy);
  const bool arrived = follows && WaitUntil([&] {
                         const Geometry g = GetGeometry(xid);
                         return std::abs(g.x - start.x - dx) <= kNudge &&
                                std::abs(g.y - start.y - dy) <= kNudge;
                       });
  Shell("xdotool mouseup 1");
  *end = GetGeometry(xid);
  return arrived;
}

}  // namespace engine_test
