#include "browser/drag/drag_source.h"

#include <QChildEvent>
#include <QCursor>
#include <QDrag>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEngineView>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "browser/drag/mime_drag_data.h"
#include "browser/drag/pointer_state.h"
#include "include/cef_client.h"
#include "include/cef_render_handler.h"

namespace cefengine {

namespace {

// Writes what the handler left in |data| back into the drag's mime data.
void ApplyToMime(CefRefPtr<CefDragData> data, QMimeData* mime) {
  std::vector<CefString> paths;
  if (data->GetFilePaths(paths)) {
    // A file drag carries the files alone, so drop targets take files and
    // not the page's text or link.
    QList<QUrl> urls;
    for (const CefString& path : paths) {
      urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
    }
    mime->clear();
    mime->setUrls(urls);
    return;
  }
  const std::string link = data->GetLinkURL().ToString();
  mime->clear();
  if (!link.empty()) {
    mime->setUrls({QUrl(QString::fromStdString(link))});
  }
  const std::string text = data->GetFragmentText().ToString();
  if (!text.empty()) {
    mime->setText(QString::fromStdString(text));
  }
  const std::string html = data->GetFragmentHtml().ToString();
  if (!html.empty()) {
    mime->setHtml(QString::fromStdString(html));
  }
}

// Qt creates the QDrag of a page's drag as a child of the view.
class DragSource : public QObject {
 public:
  explicit DragSource(QWebEngineView* view) : QObject(view), view_(view) {
    view->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ChildAdded && !restarting_) {
      // The child is still being constructed here, so what it is shows
      // only later; a drag's data and actions are set just before exec()
      // runs its event loop, where the check runs.
      QPointer<QObject> child = static_cast<QChildEvent*>(event)->child();
      QTimer::singleShot(0, this, [this, child] {
        if (auto* drag = qobject_cast<QDrag*>(child.data())) {
          OnDragRunning(drag);
        }
      });
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void OnDragRunning(QPointer<QDrag> drag) {
    if (!drag || !drag->mimeData() || !view_) {
      return;
    }
    CefRefPtr<CefBrowserImpl> browser = FindBrowserForPage(view_->page());
    CefRefPtr<CefClient> client = browser ? browser->client() : nullptr;
    CefRefPtr<CefRenderHandler> handler =
        client ? client->GetRenderHandler() : nullptr;
    if (!handler) {
      return;
    }
    CefRefPtr<CefDragData> data = DragDataFromMimeData(*drag->mimeData());
    const QPoint point = view_->mapFromGlobal(QCursor::pos());
    const bool taken_over = handler->StartDragging(
        browser.get(), data, DragOperationsFromQt(drag->supportedActions()),
        point.x(), point.y());
    if (taken_over) {
      QDrag::cancel();
      return;
    }
    if (!drag || !drag->mimeData()) {
      return;
    }
    std::vector<CefString> paths;
    if (data->GetFilePaths(paths) && !paths.empty() &&
        !drag->mimeData()->hasUrls()) {
      // Qt told drop targets the drag's formats when it started, and no
      // file could be among them; the files go in a drag of their own,
      // once the page's has ended.
      QList<QUrl> urls;
      for (const CefString& path : paths) {
        urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
      }
      const Qt::DropActions actions = drag->supportedActions();
      connect(drag, &QObject::destroyed, this,
              [this, urls, actions] { DragFiles(urls, actions); });
      QDrag::cancel();
      return;
    }
    ApplyToMime(data, drag->mimeData());
  }

  // Runs a drag of |urls| from the view while the button is still down.
  void DragFiles(const QList<QUrl>& urls, Qt::DropActions actions) {
    if (!view_ || !PointerButtonDown()) {
      return;
    }
    restarting_ = true;
    auto* drag = new QDrag(view_.data());
    restarting_ = false;
    auto* mime = new QMimeData();
    mime->setUrls(urls);
    drag->setMimeData(mime);
    drag->exec(actions, Qt::CopyAction);
  }

  QPointer<QWebEngineView> view_;
  // A drag of the engine's own is being made; the handler has seen it.
  bool restarting_ = false;
};

}  // namespace

void InstallDragSource(QWebEngineView* view) {
  if (view) {
    new DragSource(view);
  }
}

}  // namespace cefengine
