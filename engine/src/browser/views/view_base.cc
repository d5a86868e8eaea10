#include "browser/views/view_base.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>

#include "browser/views/window_impl.h"

namespace cefengine {

bool OnUiThread() {
  QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

void DestroyOnUiThread(std::function<void()> destroy) {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app || OnUiThread()) {
    destroy();
    return;
  }
  QMetaObject::invokeMethod(app, std::move(destroy), Qt::QueuedConnection);
}

// static
ViewBase* ViewBase::From(CefRefPtr<CefView> view) {
  return view ? dynamic_cast<ViewBase*>(view.get()) : nullptr;
}

ViewBase::~ViewBase() {
  // A view still in a tree is kept alive by its parent, so only parentless
  // widgets remain here. Without an application they are left alone.
  if (widget_ && QCoreApplication::instance()) {
    widget_->hide();
    widget_->deleteLater();
  }
}

CefWindowImpl* ViewBase::GetWindowImpl() {
  for (ViewBase* view = this; view; view = view->parent_) {
    if (CefWindowImpl* window = view->AsWindowImpl()) {
      return window;
    }
  }
  return nullptr;
}

void ViewBase::OnWindowChanged(bool added) {
  if (CefRefPtr<CefViewDelegate> delegate = view_delegate()) {
    delegate->OnWindowChanged(cef_view(), added);
  }
  for (const auto& child : std::vector<CefRefPtr<CefView>>(children_)) {
    From(child)->OnWindowChanged(added);
  }
}

void ViewBase::DestroyWidget() {
  std::vector<CefRefPtr<CefView>> children;
  children.swap(children_);
  for (const auto& child : children) {
    ViewBase* base = From(child);
    base->OnWindowChanged(false);
    base->DestroyWidget();
    base->parent_ = nullptr;
  }
  if (widget_) {
    delete widget_.data();
  }
}

void ViewBase::AddChild(CefRefPtr<CefView> view, int index) {
  ViewBase* child = From(view);
  // A view lives in one place only, and windows are always top-level.
  if (!OnUiThread() || !widget_ || !child || child == this || child->parent_ ||
      !child->widget_ || child->AsWindowImpl()) {
    return;
  }
  if (index < 0 || index > static_cast<int>(children_.size())) {
    index = static_cast<int>(children_.size());
  }
  children_.insert(children_.begin() + index, view);
  child->parent_ = this;
  child->widget_->setParent(widget_);
  child->widget_->setVisible(child->visible_);
  ReorderChild(view, index);

  if (CefRefPtr<CefViewDelegate> delegate = child->view_delegate()) {
    delegate->OnParentViewChanged(view, true, cef_view());
  }
  if (CefRefPtr<CefViewDelegate> delegate = view_delegate()) {
    delegate->OnChildViewChanged(cef_view(), true, view);
  }
  if (GetWindowImpl()) {
    child->OnWindowChanged(true);
  }
}

void ViewBase::RemoveChild(CefRefPtr<CefView> view) {
  ViewBase* child = From(view);
  auto it = std::find(children_.begin(), children_.end(), view);
  if (!OnUiThread() || !child || it == children_.end()) {
    return;
  }
  if (GetWindowImpl()) {
    child->OnWindowChanged(false);
  }
  children_.erase(it);
  child->parent_ = nullptr;
  if (child->widget_) {
    child->widget_->hide();
    child->widget_->setParent(nullptr);
  }
  if (CefRefPtr<CefViewDelegate> delegate = child->view_delegate()) {
    delegate->OnParentViewChanged(view, false, cef_view());
  }
  if (CefRefPtr<CefViewDelegate> delegate = view_delegate()) {
    delegate->OnChildViewChanged(cef_view(), false, view);
  }
}

void ViewBase::ReorderChild(CefRefPtr<CefView> view, int index) {
  auto it = std::find(children_.begin(), children_.end(), view);
  if (!OnUiThread() || it == children_.end()) {
    return;
  }
  children_.erase(it);
  if (index < 0 || index > static_cast<int>(children_.size())) {
    index = static_cast<int>(children_.size());
  }
  children_.insert(children_.begin() + index, view);
  // Later children paint over earlier ones.
  for (const auto& child : children_) {
    if (QWidget* child_widget = From(child)->widget_) {
      child_widget->raise();
    }
  }
  LayoutChildren();
}

void ViewBase::LayoutChildren() {
  if (!widget_) {
    return;
  }
  const QRect area = widget_->rect();
  for (const auto& child : children_) {
    if (QWidget* child_widget = From(child)->widget_) {
      child_widget->setGeometry(area);
    }
  }
}

CefRefPtr<CefWindow> ViewBase::GetWindowRef() {
  CefWindowImpl* window = GetWindowImpl();
  if (!window || !window->IsValid()) {
    return nullptr;
  }
  return window;
}

CefRefPtr<CefView> ViewBase::FindViewForID(int id) {
  if (id_ == id) {
    return cef_view();
  }
  for (const auto& child : children_) {
    if (CefRefPtr<CefView> found = From(child)->FindViewForID(id)) {
      return found;
    }
  }
  return nullptr;
}

CefRect ViewBase::GetWidgetBounds() {
  if (!widget_) {
    return CefRect();
  }
  const QRect bounds = widget_->geometry();
  return CefRect(bounds.x(), bounds.y(), bounds.width(), bounds.height());
}

CefRect ViewBase::GetWidgetBoundsInScreen() {
  if (!widget_) {
    return CefRect();
  }
  const QPoint origin = widget_->mapToGlobal(QPoint(0, 0));
  return CefRect(origin.x(), origin.y(), widget_->width(), widget_->height());
}

void ViewBase::SetWidgetBounds(const CefRect& bounds) {
  if (OnUiThread() && widget_) {
    widget_->setGeometry(bounds.x, bounds.y, bounds.width, bounds.height);
    LayoutChildren();
  }
}

CefSize ViewBase::GetDelegateSize(SizeKind kind) {
  if (CefRefPtr<CefViewDelegate> delegate = view_delegate()) {
    CefSize size;
    switch (kind) {
      case SizeKind::kPreferred:
        size = delegate->GetPreferredSize(cef_view());
        break;
      case SizeKind::kMinimum:
        size = delegate->GetMinimumSize(cef_view());
        break;
      case SizeKind::kMaximum:
        size = delegate->GetMaximumSize(cef_view());
        break;
    }
    if (!size.IsEmpty()) {
      return size;
    }
  }
  if (kind == SizeKind::kMaximum) {
    return CefSize();
  }
  CefSize largest;
  for (const auto& child : children_) {
    CefSize size = From(child)->GetDelegateSize(kind);
    largest.width = std::max(largest.width, size.width);
    largest.height = std::max(largest.height, size.height);
  }
  return largest;
}

bool ViewBase::HasWidgetFocus() {
  if (!widget_) {
    return false;
  }
  QWidget* focused = widget_->window()->focusWidget();
  return focused && (focused == widget_ || widget_->isAncestorOf(focused));
}

void ViewBase::RequestWidgetFocus() {
  if (OnUiThread() && widget_) {
    widget_->setFocus(Qt::OtherFocusReason);
  }
}

void ViewBase::SetWidgetBackground(cef_color_t color) {
  if (!OnUiThread() || !widget_) {
    return;
  }
  background_color_ = color;
  QPalette palette = widget_->palette();
  palette.setColor(QPalette::Window, QColor::fromRgba(color));
  widget_->setPalette(palette);
  widget_->setAutoFillBackground(true);
}

bool ViewBase::ConvertToScreen(CefPoint& point, bool to_screen) {
  if (!widget_ || !GetWindowImpl()) {
    return false;
  }
  const QPoint in(point.x, point.y);
  const QPoint out =
      to_screen ? widget_->mapToGlobal(in) : widget_->mapFromGlobal(in);
  point.Set(out.x(), out.y());
  return true;
}

bool ViewBase::ConvertToWindow(CefPoint& point, bool to_window) {
  CefWindowImpl* window = GetWindowImpl();
  if (!widget_ || !window || !window->widget()) {
    return false;
  }
  const QPoint in(point.x, point.y);
  const QPoint out = to_window ? widget_->mapTo(window->widget(), in)
                               : widget_->mapFrom(window->widget(), in);
  point.Set(out.x(), out.y());
  return true;
}

}  // namespace cefengine
