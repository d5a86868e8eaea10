// A rectangle in a window's view hierarchy. Implemented by the engine; every
// method must be called on the browser process UI thread. Sizes and positions
// are in DIP, relative to the parent view, or to the screen for a window.

#ifndef CEF_INCLUDE_VIEWS_CEF_VIEW_H_
#define CEF_INCLUDE_VIEWS_CEF_VIEW_H_
#pragma once

#include "include/views/cef_view_delegate.h"

class CefBrowserView;
class CefPanel;
class CefWindow;

class CefView : public CefBaseRefCounted {
 public:
  // This view as a browser view, or null.
  virtual CefRefPtr<CefBrowserView> AsBrowserView() = 0;

  // This view as a panel (windows are panels), or null.
  virtual CefRefPtr<CefPanel> AsPanel() = 0;

  // The view's type name, for tests and diagnostics.
  virtual CefString GetTypeString() = 0;

  // A one-line description, with the children's when |include_children|.
  virtual CefString ToString(bool include_children) = 0;

  // False once the view's native part is gone.
  virtual bool IsValid() = 0;

  // True while the view sits in a parent view.
  virtual bool IsAttached() = 0;

  // True when |that| is this same view.
  virtual bool IsSame(CefRefPtr<CefView> that) = 0;

  // The delegate given at creation, or null.
  virtual CefRefPtr<CefViewDelegate> GetDelegate() = 0;

  // The top-level window holding this view, or null.
  virtual CefRefPtr<CefWindow> GetWindow() = 0;

  // Identifier for GetViewForID; 0 by default.
  virtual int GetID() = 0;
  virtual void SetID(int id) = 0;

  // Group identifier; -1 when unset. Can be set once.
  virtual int GetGroupID() = 0;
  virtual void SetGroupID(int group_id) = 0;

  // The parent view, or null.
  virtual CefRefPtr<CefView> GetParentView() = 0;

  // The first descendant (or this view) whose ID is |id|, or null.
  virtual CefRefPtr<CefView> GetViewForID(int id) = 0;

  // Bounds in parent coordinates (screen coordinates for a window).
  virtual void SetBounds(const CefRect& bounds) = 0;
  virtual CefRect GetBounds() = 0;

  // Bounds in screen coordinates.
  virtual CefRect GetBoundsInScreen() = 0;

  // Size or position alone; the other part is kept.
  virtual void SetSize(const CefSize& size) = 0;
  virtual CefSize GetSize() = 0;
  virtual void SetPosition(const CefPoint& position) = 0;
  virtual CefPoint GetPosition() = 0;

  // Size limits, from the delegate when it gives them.
  virtual CefSize GetPreferredSize() = 0;
  virtual CefSize GetMinimumSize() = 0;
  virtual CefSize GetMaximumSize() = 0;

  // Shows or hides the view; for a window the same as Show and Hide.
  // Windows start hidden, other views visible.
  virtual void SetVisible(bool visible) = 0;

  // For a window: whether it is on screen (a minimised window counts).
  // For other views: the view's own flag; see IsDrawn.
  virtual bool IsVisible() = 0;

  // Visible with every ancestor visible.
  virtual bool IsDrawn() = 0;

  // A disabled view takes no keyboard or mouse input.
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool IsEnabled() = 0;

  // Whether the view can take focus.
  virtual void SetFocusable(bool focusable) = 0;
  virtual bool IsFocusable() = 0;

  // True when the view has focus within its window.
  virtual bool HasFocus() = 0;

  // Gives the view focus within its window; applied when the window is next
  // active if it is not now.
  virtual void RequestFocus() = 0;

  // Background colour (ARGB).
  virtual void SetBackgroundColor(cef_color_t color) = 0;
  virtual cef_color_t GetBackgroundColor() = 0;

  // Point conversions; false when the view is in no window.
  virtual bool ConvertPointToScreen(CefPoint& point) = 0;
  virtual bool ConvertPointFromScreen(CefPoint& point) = 0;
  virtual bool ConvertPointToWindow(CefPoint& point) = 0;
  virtual bool ConvertPointFromWindow(CefPoint& point) = 0;
};

#endif  // CEF_INCLUDE_VIEWS_CEF_VIEW_H_
