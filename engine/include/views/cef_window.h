// A top-level window of the engine's views toolkit (an X11 top-level window).
// UI thread only.

#ifndef CEF_INCLUDE_VIEWS_CEF_WINDOW_H_
#define CEF_INCLUDE_VIEWS_CEF_WINDOW_H_
#pragma once

#include <vector>

#include "include/views/cef_panel.h"
#include "include/views/cef_window_delegate.h"

class CefBrowserView;
class CefView;

class CefWindow : public CefPanel {
 public:
  // Creates a hidden window; |delegate|'s OnWindowCreated runs before this
  // returns. The window keeps itself alive until it is closed.
  static CefRefPtr<CefWindow> CreateTopLevelWindow(
      CefRefPtr<CefWindowDelegate> delegate);

  virtual void Show() = 0;
  virtual void Hide() = 0;

  // Resizes to |size| and centres the window in the work area of its display.
  virtual void CenterWindow(const CefSize& size) = 0;

  // Closes the window if the delegate's CanClose allows it.
  virtual void Close() = 0;

  // True once the window has started closing.
  virtual bool IsClosed() = 0;

  // Makes the visible window the active one, or lets another take over.
  virtual void Activate() = 0;
  virtual void Deactivate() = 0;
  virtual bool IsActive() = 0;

  // Raises the window above its siblings.
  virtual void BringToTop() = 0;

  // Keeps the window above normal windows.
  virtual void SetAlwaysOnTop(bool on_top) = 0;
  virtual bool IsAlwaysOnTop() = 0;

  virtual void Maximize() = 0;
  virtual void Minimize() = 0;

  // Leaves the maximised or minimised state.
  virtual void Restore() = 0;

  virtual void SetFullscreen(bool fullscreen) = 0;
  virtual bool IsMaximized() = 0;
  virtual bool IsMinimized() = 0;
  virtual bool IsFullscreen() = 0;

  // The focused view of this window, or null.
  virtual CefRefPtr<CefView> GetFocusedView() = 0;

  // The title the desktop shows for the window.
  virtual void SetTitle(const CefString& title) = 0;
  virtual CefString GetTitle() = 0;

  // The client area in screen coordinates.
  virtual CefRect GetClientAreaBoundsInScreen() = 0;

  // Areas, in window coordinates, where pressing the mouse moves the window.
  // Later regions win over earlier ones; an empty list clears them.
  virtual void SetDraggableRegions(
      const std::vector<CefDraggableRegion>& regions) = 0;

  // The X window id.
  virtual CefWindowHandle GetWindowHandle() = 0;

  virtual cef_runtime_style_t GetRuntimeStyle() = 0;
};

#endif  // CEF_INCLUDE_VIEWS_CEF_WINDOW_H_
