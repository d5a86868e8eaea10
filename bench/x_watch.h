// Watches the X server for the moments a user sees: a top-level window
// mapped, and its area of the screen showing the application's colour.

#ifndef KORVEL_BENCH_X_WATCH_H_
#define KORVEL_BENCH_X_WATCH_H_

#include <X11/Xlib.h>

#include <cstdint>
#include <string>

namespace bench {

// CLOCK_MONOTONIC in milliseconds: the clock every bench time is read on.
double NowMs();

class XWatch {
 public:
  // Opens $DISPLAY and starts listening for top-level maps at once, so a
  // window mapped right after the constructor is seen.
  XWatch();
  ~XWatch();
  XWatch(const XWatch&) = delete;
  XWatch& operator=(const XWatch&) = delete;

  bool ok() const { return display_ != nullptr; }

  // What to look for among the windows mapped from now on: a window whose
  // WM_CLASS class is `wmClass`, or (empty class) a dock window.
  struct Target {
    std::string wmClass;
    Window window = 0;
    double mappedAtMs = 0;
  };
  // Forgets maps seen so far.
  void Reset();
  // Waits until `main` (and `dock`, when given) are viewable or until
  // `deadlineMs`; each one found gets its window and the time it was seen
  // mapped.
  void WaitForMaps(Target& main, Target* dock, double deadlineMs);

  // Polls three points of `window`'s area of the screen every 2 ms until
  // all show `rgb` (within a small tolerance); the time they did, or 0.
  double WaitForColour(Window window, uint32_t rgb, double deadlineMs);

  // Saves the whole screen as a binary PPM picture; false when it cannot.
  bool SaveScreen(const std::string& path);

 private:
  bool Matches(Window window, const Target& target);
  Window FindIn(Window top, const Target& target);

  Display* display_ = nullptr;
  Window root_ = 0;
};

}  // namespace bench

#endif  // KORVEL_BENCH_X_WATCH_H_
