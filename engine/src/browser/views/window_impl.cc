#include "browser/views/window_impl.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWindow>

#include <algorithm>

#include "browser/process/context.h"
#include "browser/views/window_widget.h"
#include "browser/views/window_x11.h"

// static
CefRefPtr<CefWindow> CefWindow::CreateTopLevelWindow(
    CefRefPtr<CefWindowDelegate> delegate) {
  return cefengine::CefWindowImpl::Create(delegate);
}

namespace cefengine {

namespace {

// Windows that exist natively, for DestroyAll.
std::vector<CefWindowImpl*>& LiveWindows() {
  static std::vector<CefWindowImpl*> windows;
  return windows;
}

// CEF's default size for a window whose contents prefer none.
constexpr int kDefaultWidth = 800;
constexpr int kDefaultHeight = 600;

Qt::WindowStates ToQtState(cef_show_state_t state) {
  switch (state) {
    case CEF_SHOW_STATE_MAXIMIZED:
      return Qt::WindowMaximized;
    case CEF_SHOW_STATE_FULLSCREEN:
      return Qt::WindowFullScreen;
    // As on other X11 desktops, a window cannot start hidden and still be
    // shown; it starts minimised instead.
    case CEF_SHOW_STATE_MINIMIZED:
    case CEF_SHOW_STATE_HIDDEN:
      return Qt::WindowMinimized;
    default:
      return Qt::WindowNoState;
  }
}

}  // namespace

// static
CefRefPtr<CefWindowImpl> CefWindowImpl::Create(
    CefRefPtr<CefWindowDelegate> delegate) {
  if (!OnUiThread()) {
    return nullptr;
  }
  CefRefPtr<CefWindowImpl> window = new CefWindowImpl(delegate);
  window->Initialize();
  return window;
}

// static
void CefWindowImpl::DestroyAll() {
  std::vector<CefRefPtr<CefWindowImpl>> windows(LiveWindows().begin(),
                                                LiveWindows().end());
  for (const auto& window : windows) {
    window->closing_ = true;
    window->Destroy();
  }
}

CefWindowImpl::CefWindowImpl(CefRefPtr<CefWindowDelegate> delegate)
    : delegate_(delegate) {
  // Windows are hidden until shown.
  visible_ = false;
}

CefWindowImpl::~CefWindowImpl() = default;

void CefWindowImpl::Initialize() {
  self_ = this;
  LiveWindows().push_back(this);

  const bool frameless = delegate_ && delegate_->IsFrameless(this);
  can_resize_ = !delegate_ || delegate_->CanResize(this);
  Qt::WindowFlags flags = Qt::Window;
  if (frameless) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint |
             Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (!delegate_ || delegate_->CanMinimize(this)) {
      flags |= Qt::WindowMinimizeButtonHint;
    }
    if (!delegate_ || delegate_->CanMaximize(this)) {
      flags |= Qt::WindowMaximizeButtonHint;
    }
  }
  auto* widget = new WindowWidget(this, flags);
  set_widget(widget);

  CefRect bounds = delegate_ ? delegate_->GetInitialBounds(this) : CefRect();
  if (bounds.IsEmpty()) {
    CefSize size = GetPreferredSize();
    if (size.IsEmpty()) {
      size.Set(kDefaultWidth, kDefaultHeight);
    }
    bounds.Set(0, 0, size.width, size.height);
  }
  widget->setGeometry(bounds.x, bounds.y, bounds.width, bounds.height);
  UpdateSizeLimits();

  handle_ = widget->CreateNativeWindow();
  // Set on the native window, which hands it to the window manager when it
  // is first mapped; a state set before creation would be lost.
  if (delegate_) {
    widget->setWindowState(ToQtState(delegate_->GetInitialShowState(this)));
  }
  SetWindowClassHint(handle_, GetWindowName(), GetWindowClass());

  if (delegate_) {
    delegate_->OnWindowCreated(this);
  }
}

WindowWidget* CefWindowImpl::window_widget() {
  return static_cast<WindowWidget*>(widget());
}

void CefWindowImpl::UpdateSizeLimits() {
  QWidget* w = widget();
  if (!w) {
    return;
  }
  if (!can_resize_) {
    w->setFixedSize(w->size());
    return;
  }
  const CefSize minimum = GetMinimumSize();
  const CefSize maximum = GetMaximumSize();
  w->setMinimumSize(std::max(minimum.width, 0), std::max(minimum.height, 0));
  w->setMaximumSize(maximum.width > 0 ? maximum.width : QWIDGETSIZE_MAX,
                    maximum.height > 0 ? maximum.height : QWIDGETSIZE_MAX);
}

void CefWindowImpl::SetState(Qt::WindowStates states) {
  if (OnUiThread() && IsValid()) {
    widget()->setWindowState(states);
  }
}

void CefWindowImpl::OnCloseRequested() {
  Close();
}

void CefWindowImpl::OnBoundsChanged() {
  LayoutChildren();
  if (delegate_ && IsValid()) {
    delegate_->OnWindowBoundsChanged(this, GetBounds());
  }
}

void CefWindowImpl::OnActivationChanged(bool active) {
  if (delegate_ && IsValid()) {
    delegate_->OnWindowActivationChanged(this, active);
  }
}

void CefWindowImpl::Show() {
  if (!OnUiThread() || !IsValid() || closing_) {
    return;
  }
  visible_ = true;
  if (always_on_top_ && !widget()->isVisible()) {
    // Hiding withdrew the window and with it its state; hand the state over
    // again before the window manager takes the window back.
    SetKeepAbove(handle_, true);
  }
  widget()->show();
}

void CefWindowImpl::Hide() {
  if (!OnUiThread() || !IsValid()) {
    return;
  }
  visible_ = false;
  widget()->hide();
}

void CefWindowImpl::CenterWindow(const CefSize& size) {
  if (!OnUiThread() || !IsValid()) {
    return;
  }
  QScreen* screen = widget()->screen();
  if (!screen) {
    screen = QGuiApplication::primaryScreen();
  }
  if (!screen) {
    return;
  }
  // Centre in the work area and never exceed it, so the window can always
  // be reached.
  const QRect area = screen->availableGeometry();
  const int width = std::min(size.width, area.width());
  const int height = std::min(size.height, area.height());
  SetBounds(CefRect(area.x() + (area.width() - width) / 2,
                    area.y() + (area.height() - height) / 2, width, height));
}

void CefWindowImpl::Close() {
  if (!OnUiThread() || !IsValid() || closing_) {
    return;
  }
  CefRefPtr<CefWindowImpl> keep(this);
  if (delegate_ && !delegate_->CanClose(this)) {
    return;
  }
  // CanClose may itself have closed the window (through the browser).
  if (closing_ || destroyed_) {
    return;
  }
  closing_ = true;
  widget()->hide();
  if (delegate_) {
    delegate_->OnWindowClosing(this);
  }
  // Tear down from the event loop: Close may run inside an event of the
  // window or of a page it holds.
  QMetaObject::invokeMethod(
      QCoreApplication::instance(), [keep] { keep->Destroy(); },
      Qt::QueuedConnection);
}

void CefWindowImpl::Destroy() {
  if (destroyed_) {
    return;
  }
  CefRefPtr<CefWindowImpl> keep(this);
  if (WindowWidget* widget = window_widget()) {
    widget->DetachOwner();
  }
  // Children first: browser views take their browsers down with them.
  DestroyWidget();
  destroyed_ = true;
  handle_ = 0;
  auto& live = LiveWindows();
  live.erase(std::remove(live.begin(), live.end(), this), live.end());

  CefRefPtr<CefWindowDelegate> delegate;
  delegate.swap(delegate_);
  if (delegate) {
    delegate->OnWindowDestroyed(this);
  }
  self_ = nullptr;
}

bool CefWindowImpl::IsClosed() {
  return closing_ || destroyed_;
}

void CefWindowImpl::Activate() {
  if (OnUiThread() && IsValid() && widget()->isVisible()) {
    widget()->raise();
    widget()->activateWindow();
  }
}

void CefWindowImpl::Deactivate() {
  if (OnUiThread() && IsValid() && widget()->isActiveWindow()) {
    widget()->lower();
  }
}

bool CefWindowImpl::IsActive() {
  return IsValid() && widget()->isActiveWindow();
}

void CefWindowImpl::BringToTop() {
  if (OnUiThread() && IsValid()) {
    widget()->raise();
  }
}

void CefWindowImpl::SetAlwaysOnTop(bool on_top) {
  if (!OnUiThread() || !IsValid() || on_top == always_on_top_) {
    return;
  }
  // Not through Qt's window flags: changing them recreates the X window.
  always_on_top_ = on_top;
  SetKeepAbove(handle_, on_top);
}

bool CefWindowImpl::IsAlwaysOnTop() {
  return IsValid() && always_on_top_;
}

void CefWindowImpl::Maximize() {
  if (IsValid() && !IsMaximized()) {
    SetState((widget()->windowState() & ~Qt::WindowFullScreen) |
             Qt::WindowMaximized);
  }
}

void CefWindowImpl::Minimize() {
  if (!IsValid()) {
    return;
  }
  if (!widget()->isVisible()) {
    // Qt hands the state to the window manager when the window maps.
    SetState(widget()->windowState() | Qt::WindowMinimized);
    return;
  }
  if (IsIconic(handle_)) {
    return;
  }
  // Straight to the window manager: Qt's own path takes maximised off and
  // puts it back around the iconify, and while the manager works through
  // that the window reads as normal, so a Restore() that came in between
  // would find nothing to restore.
  Iconify(handle_);
}

void CefWindowImpl::Restore() {
  if (!IsValid()) {
    return;
  }
  // One step back: out of minimised to what was there before (possibly
  // maximised), else out of maximised. Fullscreen is left alone. The window
  // manager holds the truth; Qt learns of it only when its events arrive.
  const Qt::WindowStates states = widget()->windowState();
  if (IsIconic(handle_)) {
    Deiconify(handle_);
  } else if (states & Qt::WindowMinimized) {
    SetState(states & ~Qt::WindowMinimized);
  } else if (states & Qt::WindowMaximized) {
    SetState(states & ~Qt::WindowMaximized);
  }
}

void CefWindowImpl::SetFullscreen(bool fullscreen) {
  if (!IsValid() || fullscreen == IsFullscreen()) {
    return;
  }
  const Qt::WindowStates states = widget()->windowState();
  SetState(fullscreen ? (states | Qt::WindowFullScreen)
                      : (states & ~Qt::WindowFullScreen));
  if (delegate_) {
    delegate_->OnWindowFullscreenTransition(this, /*is_completed=*/true);
  }
}

bool CefWindowImpl::IsMaximized() {
  return IsValid() && (widget()->windowState() & Qt::WindowMaximized);
}

bool CefWindowImpl::IsMinimized() {
  return IsValid() && (widget()->windowState() & Qt::WindowMinimized);
}

bool CefWindowImpl::IsFullscreen() {
  return IsValid() && (widget()->windowState() & Qt::WindowFullScreen);
}

CefRefPtr<CefView> CefWindowImpl::GetFocusedView() {
  if (!IsValid()) {
    return nullptr;
  }
  // The deepest view that holds the focus widget.
  CefRefPtr<CefView> focused;
  ViewBase* level = this;
  bool descended = true;
  while (descended) {
    descended = false;
    for (const auto& child : level->children()) {
      if (child->HasFocus()) {
        focused = child;
        level = ViewBase::From(child);
        descended = true;
        break;
      }
    }
  }
  return focused;
}

void CefWindowImpl::SetTitle(const CefString& title) {
  if (OnUiThread() && IsValid()) {
    widget()->setWindowTitle(QString::fromStdU16String(title.ToString16()));
  }
}

CefString CefWindowImpl::GetTitle() {
  return IsValid() ? CefString(widget()->windowTitle().toStdU16String())
                   : CefString();
}

CefRect CefWindowImpl::GetClientAreaBoundsInScreen() {
  return GetBounds();
}

void CefWindowImpl::SetDraggableRegions(
    const std::vector<CefDraggableRegion>& regions) {
  if (OnUiThread() && IsValid()) {
    window_widget()->SetDraggableRegions(regions);
  }
}

CefWindowHandle CefWindowImpl::GetWindowHandle() {
  return handle_;
}

cef_runtime_style_t CefWindowImpl::GetRuntimeStyle() {
  // The engine has one style, which behaves as Alloy.
  return CEF_RUNTIME_STYLE_ALLOY;
}

void CefWindowImpl::Layout() {
  if (OnUiThread()) {
    LayoutChildren();
  }
}

void CefWindowImpl::AddChildView(CefRefPtr<CefView> view) {
  AddChildViewAt(view, -1);
}

void CefWindowImpl::AddChildViewAt(CefRefPtr<CefView> view, int index) {
  if (IsValid() && !closing_) {
    AddChild(view, index);
    UpdateSizeLimits();
  }
}

void CefWindowImpl::ReorderChildView(CefRefPtr<CefView> view, int index) {
  ReorderChild(view, index);
}

void CefWindowImpl::RemoveChildView(CefRefPtr<CefView> view) {
  RemoveChild(view);
  UpdateSizeLimits();
}

void CefWindowImpl::RemoveAllChildViews() {
  while (!children().empty()) {
    RemoveChild(children().back());
  }
  UpdateSizeLimits();
}

size_t CefWindowImpl::GetChildViewCount() {
  return children().size();
}

CefRefPtr<CefView> CefWindowImpl::GetChildViewAt(int index) {
  if (index < 0 || index >= static_cast<int>(children().size())) {
    return nullptr;
  }
  return children()[index];
}

bool CefWindowImpl::IsValid() {
  return !destroyed_ && widget() != nullptr;
}

void CefWindowImpl::SetBounds(const CefRect& bounds) {
  if (!IsValid()) {
    return;
  }
  SetWidgetBounds(bounds);
  // Qt keeps a hidden widget's geometry to itself until it is shown; the X
  // window takes it at once, as in Chromium, so that it is where the
  // application put it for anyone who looks.
  if (OnUiThread() && !widget()->isVisible() && widget()->windowHandle()) {
    widget()->windowHandle()->setGeometry(
        QRect(bounds.x, bounds.y, bounds.width, bounds.height));
  }
  if (!can_resize_) {
    UpdateSizeLimits();
  }
}

void CefWindowImpl::SetVisible(bool visible) {
  if (visible) {
    Show();
  } else {
    Hide();
  }
}

bool CefWindowImpl::IsVisible() {
  // A minimised window still counts as shown, as on other X11 desktops.
  return IsValid() && widget()->isVisible();
}

void CefWindowImpl::RequestFocus() {
  if (!OnUiThread() || !IsValid()) {
    return;
  }
  // The window itself takes no keys; its first browser view is what the
  // user types into.
  std::vector<ViewBase*> pending{this};
  while (!pending.empty()) {
    ViewBase* view = pending.front();
    pending.erase(pending.begin());
    if (view->IsBrowserView()) {
      view->cef_view()->RequestFocus();
      return;
    }
    for (const auto& child : view->children()) {
      pending.push_back(ViewBase::From(child));
    }
  }
  widget()->setFocus(Qt::OtherFocusReason);
}

}  // namespace cefengine
