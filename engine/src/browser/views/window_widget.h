// The Qt top-level widget of a CefWindow. It turns window-manager events
// (close button, moves, resizes, activation) into calls on its window and
// starts window moves from the draggable regions.

#ifndef CEFENGINE_BROWSER_VIEWS_WINDOW_WIDGET_H_
#define CEFENGINE_BROWSER_VIEWS_WINDOW_WIDGET_H_

#include <QWidget>

#include <vector>

#include "include/internal/cef_types_wrappers.h"

namespace cefengine {

class CefWindowImpl;

class WindowWidget : public QWidget {
  Q_OBJECT

 public:
  WindowWidget(CefWindowImpl* owner, Qt::WindowFlags flags);
  ~WindowWidget() override;

  // Creates the X window. Call once, after the flags and initial geometry.
  WId CreateNativeWindow();

  // The window is being torn down; events no longer reach it.
  void DetachOwner() { owner_ = nullptr; }

  void SetDraggableRegions(const std::vector<CefDraggableRegion>& regions) {
    regions_ = regions;
  }

 protected:
  // QWidget methods:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;

  // QObject methods:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CefWindowImpl* owner_;
  std::vector<CefDraggableRegion> regions_;
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_VIEWS_WINDOW_WIDGET_H_
