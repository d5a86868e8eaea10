// Drags that start in the page: the client's render handler sees (and may
// rewrite) what they carry before anything is dropped.

#ifndef CEFENGINE_BROWSER_DRAG_DRAG_SOURCE_H_
#define CEFENGINE_BROWSER_DRAG_DRAG_SOURCE_H_

class QWebEngineView;

namespace cefengine {

// Qt runs a drag out of the page itself (QDrag::exec inside the view). Once
// it runs, CefRenderHandler::StartDragging of the browser |view| shows gets
// writable drag data and the pointer position in view coordinates. Returning
// false lets the drag go on with the data as the handler left it (files
// become file URLs, replacing the page's own data); true cancels Qt's drag,
// as the client takes over. Data is served to drop targets only on request,
// after this point. Qt names a drag's formats to drop targets when it
// starts, so a drag that carried no URL and now carries files is cancelled
// and a drag of the files starts in its place while the button is held;
// the page sees its own drag end without a drop. UI thread.
void InstallDragSource(QWebEngineView* view);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DRAG_DRAG_SOURCE_H_
