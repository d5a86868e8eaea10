// The pointer as the X server sees it, apart from Qt's idea of it.

#ifndef CEFENGINE_BROWSER_DRAG_POINTER_STATE_H_
#define CEFENGINE_BROWSER_DRAG_POINTER_STATE_H_

namespace cefengine {

// Whether the user holds a pointer button down. Qt forgets the buttons of a
// drag it has cancelled, the X server does not. UI thread.
bool PointerButtonDown();

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DRAG_POINTER_STATE_H_
