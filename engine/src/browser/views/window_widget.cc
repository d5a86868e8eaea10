#include "browser/views/window_widget.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QQuickWidget>
#include <QWindow>

#include "browser/views/drag_regions.h"
#include "browser/views/window_impl.h"

namespace cefengine {

WindowWidget::WindowWidget(CefWindowImpl* owner, Qt::WindowFlags flags)
    : QWidget(nullptr, flags), owner_(owner) {}

WindowWidget::~WindowWidget() = default;

WId WindowWidget::CreateNativeWindow() {
  // The web view draws through textures, which need an OpenGL-capable
  // top-level window. Qt switches a plain window over by recreating its X
  // window, under a new id, when the first such child arrives; the shell
  // has stored the id by then (window class, focus). A hidden texture widget
  // present from the start makes the window capable from birth.
  auto* texture_anchor = new QQuickWidget(this);
  texture_anchor->setObjectName("texture_anchor");
  texture_anchor->setVisible(false);
  texture_anchor->resize(0, 0);

  const WId id = winId();
  // Mouse presses reach the top-level QWindow before any child widget, so
  // the page never sees a press that moves the window.
  windowHandle()->installEventFilter(this);
  return id;
}

void WindowWidget::closeEvent(QCloseEvent* event) {
  // Only the window's delegate decides; the window closes itself when it
  // may (see CefWindowImpl::Close).
  event->ignore();
  if (owner_) {
    owner_->OnCloseRequested();
  }
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (owner_) {
    owner_->OnBoundsChanged();
  }
}

void WindowWidget::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (owner_) {
    owner_->OnBoundsChanged();
  }
}

void WindowWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (owner_ && event->type() == QEvent::ActivationChange) {
    owner_->OnActivationChanged(isActiveWindow());
  }
}

bool WindowWidget::eventFilter(QObject* watched, QEvent* event) {
  const bool press = event->type() == QEvent::MouseButtonPress;
  if (watched != windowHandle() || regions_.empty() ||
      (!press && event->type() != QEvent::MouseButtonDblClick)) {
    return QWidget::eventFilter(watched, event);
  }
  auto* mouse = static_cast<QMouseEvent*>(event);
  const QPoint point = mouse->position().toPoint();
  if (mouse->button() != Qt::LeftButton ||
      !IsInDraggableArea(regions_, point.x(), point.y())) {
    return QWidget::eventFilter(watched, event);
  }
  // The window manager moves the window from here (_NET_WM_MOVERESIZE) and
  // takes the pointer until the button is released.
  if (press) {
    windowHandle()->startSystemMove();
  }
  return true;
}

}  // namespace cefengine
