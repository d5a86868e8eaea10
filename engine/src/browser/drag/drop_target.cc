#include "browser/drag/drop_target.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QWebEngineView>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "browser/drag/mime_drag_data.h"
#include "include/cef_client.h"
#include "include/cef_drag_handler.h"

namespace cefengine {

namespace {

// Watches the view itself: the widgets Qt puts inside it pass every drag
// event on to the view, which hands it to the page, so a filter on them too
// would see each event twice.
class DropTarget : public QObject {
 public:
  explicit DropTarget(QWebEngineView* view) : QObject(view), view_(view) {
    view->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter: {
        auto* enter = static_cast<QDragEnterEvent*>(event);
        // Qt offers a drag whose enter was ignored again as it moves on;
        // the client decides once per drag.
        if (!refused_ || enter->mimeData() != refused_data_) {
          refused_ = AskHandler(enter);
          refused_data_ = refused_ ? enter->mimeData() : nullptr;
        }
        if (refused_) {
          event->ignore();
          return true;
        }
        break;
      }
      case QEvent::DragMove:
        if (refused_) {
          event->ignore();
          return true;
        }
        break;
      case QEvent::Drop:
        if (refused_) {
          refused_ = false;
          refused_data_ = nullptr;
          event->ignore();
          return true;
        }
        break;
      case QEvent::DragLeave:
        // The page never saw the refused drag enter, so it must not see it
        // leave either.
        if (refused_) {
          refused_ = false;
          refused_data_ = nullptr;
          return true;
        }
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  // True when the client refuses the drag.
  bool AskHandler(QDragEnterEvent* event) {
    if (!view_ || !event->mimeData()) {
      return false;
    }
    CefRefPtr<CefBrowserImpl> browser = FindBrowserForPage(view_->page());
    CefRefPtr<CefClient> client = browser ? browser->client() : nullptr;
    CefRefPtr<CefDragHandler> handler =
        client ? client->GetDragHandler() : nullptr;
    if (!handler) {
      return false;
    }
    CefRefPtr<CefDragDataImpl> data = DragDataFromMimeData(*event->mimeData());
    data->SetReadOnly();
    return handler->OnDragEnter(browser.get(), data.get(),
                                DragOperationsFromQt(event->possibleActions()));
  }

  QPointer<QWebEngineView> view_;
  // The drag now over the view was refused, and what it carries.
  bool refused_ = false;
  const QMimeData* refused_data_ = nullptr;
};

}  // namespace

void InstallDropTarget(QWebEngineView* view) {
  if (view) {
    new DropTarget(view);
  }
}

}  // namespace cefengine
