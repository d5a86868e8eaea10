// What a Qt drag carries, as the engine's drag data.

#ifndef CEFENGINE_BROWSER_DRAG_MIME_DRAG_DATA_H_
#define CEFENGINE_BROWSER_DRAG_MIME_DRAG_DATA_H_

#include <Qt>

#include "browser/browser/drag_data_impl.h"
#include "include/internal/cef_types.h"

class QMimeData;

namespace cefengine {

// Local file URLs become files (full path, file name), the first other valid
// URL becomes the link, plain text and HTML become the fragment. The result
// is writable; the caller freezes it before handing it out.
CefRefPtr<CefDragDataImpl> DragDataFromMimeData(const QMimeData& mime);

// The drag operations a drop may perform, as the engine names them.
cef_drag_operations_mask_t DragOperationsFromQt(Qt::DropActions actions);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DRAG_MIME_DRAG_DATA_H_
