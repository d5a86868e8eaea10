// X11 properties of top-level windows that Qt either does not offer or would
// only change by recreating the native window (which would give the window a
// new id behind the back of anyone who stored it).

#ifndef CEFENGINE_BROWSER_VIEWS_WINDOW_X11_H_
#define CEFENGINE_BROWSER_VIEWS_WINDOW_X11_H_

#include <string>

#include "include/internal/cef_types_linux.h"

namespace cefengine {

// Sets WM_CLASS to |name| and |klass|. Does nothing without an X display or
// when either part is empty.
void SetWindowClassHint(cef_window_handle_t window,
                        const std::string& name,
                        const std::string& klass);

// Adds or removes _NET_WM_STATE_ABOVE. A window the window manager does not
// manage yet (hidden, or just mapped) carries the state in its property,
// which the manager reads when it takes the window; a managed window gets the
// EWMH request the manager acts on.
void SetKeepAbove(cef_window_handle_t window, bool above);

// Whether _NET_WM_STATE of |window| holds the atom named |state|.
bool HasNetWmState(cef_window_handle_t window, const char* state);

// Whether the window manager holds |window| iconic (WM_STATE).
bool IsIconic(cef_window_handle_t window);

// Asks the window manager to iconify a mapped |window| (ICCCM
// WM_CHANGE_STATE). The manager keeps the other states, so a maximised window
// comes back maximised.
void Iconify(cef_window_handle_t window);

// Brings an iconic |window| back by mapping it, as ICCCM has it.
void Deiconify(cef_window_handle_t window);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_VIEWS_WINDOW_X11_H_
