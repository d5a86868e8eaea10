// Pointer gestures of a user, played with xdotool.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_X_POINTER_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_X_POINTER_H_

#include "tests/support/engine_harness/x_window.h"

namespace engine_test {

// Presses the left button in the middle of |from|, moves the pointer in
// steps to the middle of |to| and releases it there, like a user's drag.
// False when xdotool failed.
bool DragPointer(const Rect& from, const Rect& to);

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_X_POINTER_H_
