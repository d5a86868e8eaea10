// Client-side hooks of a view: sizing and hierarchy notifications. Called on
// the browser process UI thread. Sizes and positions are in DIP.

#ifndef CEF_INCLUDE_VIEWS_CEF_VIEW_DELEGATE_H_
#define CEF_INCLUDE_VIEWS_CEF_VIEW_DELEGATE_H_
#pragma once

#include "include/cef_base.h"

class CefView;

class CefViewDelegate : public virtual CefBaseRefCounted {
 public:
  // Size the view would like to have; empty lets the layout decide.
  virtual CefSize GetPreferredSize(CefRefPtr<CefView> view) {
    return CefSize();
  }

  // Smallest size the view accepts; empty means no limit.
  virtual CefSize GetMinimumSize(CefRefPtr<CefView> view) { return CefSize(); }

  // Largest size the view accepts; empty means no limit.
  virtual CefSize GetMaximumSize(CefRefPtr<CefView> view) { return CefSize(); }

  // Height needed at |width|; 0 falls back to the preferred height.
  virtual int GetHeightForWidth(CefRefPtr<CefView> view, int width) {
    return 0;
  }

  // |view| was added to (|added| true) or removed from |parent|.
  virtual void OnParentViewChanged(CefRefPtr<CefView> view,
                                   bool added,
                                   CefRefPtr<CefView> parent) {}

  // |child| was added to (|added| true) or removed from |view|.
  virtual void OnChildViewChanged(CefRefPtr<CefView> view,
                                  bool added,
                                  CefRefPtr<CefView> child) {}

  // |view| entered (|added| true) or left a window.
  virtual void OnWindowChanged(CefRefPtr<CefView> view, bool added) {}

  // |view| was laid out at |new_bounds|.
  virtual void OnLayoutChanged(CefRefPtr<CefView> view,
                               const CefRect& new_bounds) {}

  // |view| gained focus.
  virtual void OnFocus(CefRefPtr<CefView> view) {}

  // |view| lost focus.
  virtual void OnBlur(CefRefPtr<CefView> view) {}

  // The theme of |view| changed.
  virtual void OnThemeChanged(CefRefPtr<CefView> view) {}
};

#endif  // CEF_INCLUDE_VIEWS_CEF_VIEW_DELEGATE_H_
