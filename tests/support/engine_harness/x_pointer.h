// Pointer gestures of a user, played with xdotool.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_X_POINTER_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_X_POINTER_H_

#include "tests/support/engine_harness/x_window.h"

namespace engine_test {

// Presses the left button in the middle of |from|, moves the pointer in
// steps to the middle of |to| and releases it there, like a user's drag.
// False when xdotool failed.
bool DragPointer(const Rect& from, const Rect& to);

// Presses the left button at screen point (x, y) and holds it until the
// window manager has taken the move and |xid| follows the pointer, as a
// user does; then carries the window by (dx, dy), lets go and gives where
// it ended in |end|. A busy engine may hand the move over late: the pointer
// is nudged meanwhile, and the window manager then counts from where the
// pointer was, so the window may end a few pixels short. False when the
// window never followed or did not arrive.
bool DragWindowBy(unsigned long xid, int x, int y, int dx, int dy, Rect* end);

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_X_POINTER_H_
