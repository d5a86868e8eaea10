#include "tests/support/engine_harness/x_pointer.h"

#include <stdlib.h>

#include <sstream>

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

}  // namespace engine_test
