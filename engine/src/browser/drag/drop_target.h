// Drags entering a browser view: the client's drag handler sees each one
// first and may refuse it.

#ifndef CEFENGINE_BROWSER_DRAG_DROP_TARGET_H_
#define CEFENGINE_BROWSER_DRAG_DROP_TARGET_H_

class QWebEngineView;

namespace cefengine {

// Calls CefDragHandler::OnDragEnter of the browser |view| shows whenever a
// drag enters it, with read-only drag data. A refused drag (true) never
// reaches the page: it sees no dragenter, dragover or drop, and the drag
// source is told the drop is not accepted. The filter belongs to |view|.
// UI thread.
void InstallDropTarget(QWebEngineView* view);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DRAG_DROP_TARGET_H_
