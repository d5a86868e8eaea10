// CefWindow on a Qt top-level widget.

#ifndef CEFENGINE_BROWSER_VIEWS_WINDOW_IMPL_H_
#define CEFENGINE_BROWSER_VIEWS_WINDOW_IMPL_H_

#include <vector>

#include "browser/views/view_base.h"
#include "include/views/cef_window.h"

namespace cefengine {

class WindowWidget;

class CefWindowImpl : public ViewImpl<CefWindow> {
 public:
  // Creates the window and runs the delegate's OnWindowCreated.
  static CefRefPtr<CefWindowImpl> Create(CefRefPtr<CefWindowDelegate> delegate);

  // Destroys every window at once, without asking the delegates; for
  // shutdown, when nothing may stay behind.
  static void DestroyAll();

  CefWindowImpl(const CefWindowImpl&) = delete;
  CefWindowImpl& operator=(const CefWindowImpl&) = delete;

  // Events of the native window, from WindowWidget.
  void OnCloseRequested();
  void OnBoundsChanged();
  void OnActivationChanged(bool active);

  // ViewBase methods:
  CefRefPtr<CefViewDelegate> view_delegate() override { return delegate_; }
  CefWindowImpl* AsWindowImpl() override { return this; }

  // CefWindow methods:
  void Show() override;
  void Hide() override;
  void CenterWindow(const CefSize& size) override;
  void Close() override;
  bool IsClosed() override;
  void Activate() override;
  void Deactivate() override;
  bool IsActive() override;
  void BringToTop() override;
  void SetAlwaysOnTop(bool on_top) override;
  bool IsAlwaysOnTop() override;
  void Maximize() override;
  void Minimize() override;
  void Restore() override;
  void SetFullscreen(bool fullscreen) override;
  bool IsMaximized() override;
  bool IsMinimized() override;
  bool IsFullscreen() override;
  CefRefPtr<CefView> GetFocusedView() override;
  void SetTitle(const CefString& title) override;
  CefString GetTitle() override;
  CefRect GetClientAreaBoundsInScreen() override;
  void SetDraggableRegions(
      const std::vector<CefDraggableRegion>& regions) override;
  CefWindowHandle GetWindowHandle() override;
  cef_runtime_style_t GetRuntimeStyle() override;

  // CefPanel methods:
  CefRefPtr<CefWindow> AsWindow() override { return this; }
  void Layout() override;
  void AddChildView(CefRefPtr<CefView> view) override;
  void AddChildViewAt(CefRefPtr<CefView> view, int index) override;
  void ReorderChildView(CefRefPtr<CefView> view, int index) override;
  void RemoveChildView(CefRefPtr<CefView> view) override;
  void RemoveAllChildViews() override;
  size_t GetChildViewCount() override;
  CefRefPtr<CefView> GetChildViewAt(int index) override;

  // CefView methods that differ for a window:
  CefRefPtr<CefPanel> AsPanel() override { return this; }
  CefString GetTypeString() override { return "Window"; }
  bool IsValid() override;
  void SetBounds(const CefRect& bounds) override;
  CefRect GetBoundsInScreen() override { return GetBounds(); }
  void SetVisible(bool visible) override;
  bool IsVisible() override;
  bool IsDrawn() override { return IsVisible(); }
  void RequestFocus() override;

 private:
  explicit CefWindowImpl(CefRefPtr<CefWindowDelegate> delegate);
  ~CefWindowImpl() override;

  void Initialize();
  WindowWidget* window_widget();
  // Minimum and maximum size from the delegate or the children; a window
  // that cannot be resized keeps its current size.
  void UpdateSizeLimits();
  void SetState(Qt::WindowStates states);
  // Tears the window down after a close was accepted.
  void Destroy();

  CefRefPtr<CefWindowDelegate> delegate_;
  // The native window owns the CefWindow while it exists, as in CEF.
  CefRefPtr<CefWindowImpl> self_;
  cef_window_handle_t handle_ = 0;
  bool can_resize_ = true;
  bool always_on_top_ = false;

  bool closing_ = false;
  bool destroyed_ = false;

  IMPLEMENT_VIEW_REFCOUNTING(CefWindowImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_VIEWS_WINDOW_IMPL_H_
