// A view that holds child views. Children fill the panel, stacked in the
// order they were added. UI thread only.

#ifndef CEF_INCLUDE_VIEWS_CEF_PANEL_H_
#define CEF_INCLUDE_VIEWS_CEF_PANEL_H_
#pragma once

#include <cstddef>

#include "include/views/cef_panel_delegate.h"
#include "include/views/cef_view.h"

class CefWindow;

class CefPanel : public CefView {
 public:
  // This panel as a window, or null.
  virtual CefRefPtr<CefWindow> AsWindow() = 0;

  // Lays the children out again now.
  virtual void Layout() = 0;

  // Appends |view|, which must not have a parent yet.
  virtual void AddChildView(CefRefPtr<CefView> view) = 0;

  // Inserts |view| at |index| (appends when |index| is out of range).
  virtual void AddChildViewAt(CefRefPtr<CefView> view, int index) = 0;

  // Moves child |view| to |index|; -1 moves it to the end.
  virtual void ReorderChildView(CefRefPtr<CefView> view, int index) = 0;

  // Removes child |view| without destroying it.
  virtual void RemoveChildView(CefRefPtr<CefView> view) = 0;
  virtual void RemoveAllChildViews() = 0;

  virtual size_t GetChildViewCount() = 0;

  // The child at |index|, or null.
  virtual CefRefPtr<CefView> GetChildViewAt(int index) = 0;
};

#endif  // CEF_INCLUDE_VIEWS_CEF_PANEL_H_
