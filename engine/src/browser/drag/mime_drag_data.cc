#include "browser/drag/mime_drag_data.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace cefengine {

CefRefPtr<CefDragDataImpl> DragDataFromMimeData(const QMimeData& mime) {
  CefRefPtr<CefDragDataImpl> data = new CefDragDataImpl();
  bool have_link = false;
  for (const QUrl& url : mime.urls()) {
    if (url.isLocalFile()) {
      const QString path = url.toLocalFile();
      // A directory's URL may end in a slash; its name is still the last
      // path component.
      QString name = QFileInfo(path).fileName();
      if (name.isEmpty()) {
        name = QFileInfo(QFileInfo(path).absolutePath()).fileName();
      }
      data->AddFile(path.toStdString(), name.toStdString());
    } else if (!have_link && url.isValid() && !url.scheme().isEmpty()) {
      data->SetLinkURL(url.toString(QUrl::FullyEncoded).toStdString());
      have_link = true;
    }
  }
  if (mime.hasText()) {
    data->SetFragmentText(mime.text().toStdString());
  }
  if (mime.hasHtml()) {
    data->SetFragmentHtml(mime.html().toStdString());
  }
  return data;
}

cef_drag_operations_mask_t DragOperationsFromQt(Qt::DropActions actions) {
  unsigned mask = DRAG_OPERATION_NONE;
  if (actions & Qt::CopyAction) {
    mask |= DRAG_OPERATION_COPY;
  }
  if (actions & Qt::LinkAction) {
    mask |= DRAG_OPERATION_LINK;
  }
  if (actions & Qt::MoveAction) {
    mask |= DRAG_OPERATION_MOVE;
  }
  return static_cast<cef_drag_operations_mask_t>(mask);
}

}  // namespace cefengine
