// Client-side hooks of a top-level window: creation and destruction, frame
// and sizing choices, and the close decision. Called on the browser process
// UI thread.

#ifndef CEF_INCLUDE_VIEWS_CEF_WINDOW_DELEGATE_H_
#define CEF_INCLUDE_VIEWS_CEF_WINDOW_DELEGATE_H_
#pragma once

#include "include/views/cef_panel_delegate.h"

class CefWindow;

class CefWindowDelegate : public CefPanelDelegate {
 public:
  // |window| exists; runs inside CefWindow::CreateTopLevelWindow.
  virtual void OnWindowCreated(CefRefPtr<CefWindow> window) {}

  // |window| accepted a close and is going away.
  virtual void OnWindowClosing(CefRefPtr<CefWindow> window) {}

  // |window| is gone; drop every reference to it.
  virtual void OnWindowDestroyed(CefRefPtr<CefWindow> window) {}

  // |window| became active (|active| true) or inactive.
  virtual void OnWindowActivationChanged(CefRefPtr<CefWindow> window,
                                         bool active) {}

  // |window| moved or was resized; |new_bounds| in DIP screen coordinates.
  virtual void OnWindowBoundsChanged(CefRefPtr<CefWindow> window,
                                     const CefRect& new_bounds) {}

  // |window| entered or left fullscreen; on Linux only with |is_completed|.
  virtual void OnWindowFullscreenTransition(CefRefPtr<CefWindow> window,
                                            bool is_completed) {}

  // Parent of |window|, or null for an independent top-level window.
  virtual CefRefPtr<CefWindow> GetParentWindow(CefRefPtr<CefWindow> window,
                                               bool* is_menu,
                                               bool* can_activate_menu) {
    return nullptr;
  }

  // Whether |window| is modal to its parent.
  virtual bool IsWindowModalDialog(CefRefPtr<CefWindow> window) {
    return false;
  }

  // Bounds to create |window| with; empty uses the preferred size at (0, 0).
  virtual CefRect GetInitialBounds(CefRefPtr<CefWindow> window) {
    return CefRect();
  }

  // State |window| starts in when first shown.
  virtual cef_show_state_t GetInitialShowState(CefRefPtr<CefWindow> window) {
    return CEF_SHOW_STATE_NORMAL;
  }

  // True for a window without title bar or border.
  virtual bool IsFrameless(CefRefPtr<CefWindow> window) { return false; }

  // Standard window buttons (macOS only).
  virtual bool WithStandardWindowButtons(CefRefPtr<CefWindow> window) {
    return !IsFrameless(window);
  }

  // Custom title bar height (macOS only).
  virtual bool GetTitlebarHeight(CefRefPtr<CefWindow> window,
                                 float* titlebar_height) {
    return false;
  }

  // Click-through of the first mouse press (macOS only).
  virtual cef_state_t AcceptsFirstMouse(CefRefPtr<CefWindow> window) {
    return STATE_DEFAULT;
  }

  // Whether the user may resize |window|.
  virtual bool CanResize(CefRefPtr<CefWindow> window) { return true; }

  // Whether |window| may be maximised.
  virtual bool CanMaximize(CefRefPtr<CefWindow> window) { return true; }

  // Whether |window| may be minimised.
  virtual bool CanMinimize(CefRefPtr<CefWindow> window) { return true; }

  // Asked before |window| closes, by the user or by CefWindow::Close; false
  // keeps it open.
  virtual bool CanClose(CefRefPtr<CefWindow> window) { return true; }

  // A keyboard accelerator of |window| fired; true when handled.
  virtual bool OnAccelerator(CefRefPtr<CefWindow> window, int command_id) {
    return false;
  }

  // A key event nobody else handled; true when handled.
  virtual bool OnKeyEvent(CefRefPtr<CefWindow> window,
                          const CefKeyEvent& event) {
    return false;
  }

  // The native or browser theme of |window| changed.
  virtual void OnThemeColorsChanged(CefRefPtr<CefWindow> window,
                                    bool chrome_theme) {}

  // Runtime style of this window.
  virtual cef_runtime_style_t GetWindowRuntimeStyle() {
    return CEF_RUNTIME_STYLE_DEFAULT;
  }
};

#endif  // CEF_INCLUDE_VIEWS_CEF_WINDOW_DELEGATE_H_
