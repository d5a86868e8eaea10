// Hit test of a window's draggable regions.

#ifndef CEFENGINE_BROWSER_VIEWS_DRAG_REGIONS_H_
#define CEFENGINE_BROWSER_VIEWS_DRAG_REGIONS_H_

#include <vector>

#include "include/internal/cef_types_wrappers.h"

namespace cefengine {

// Whether a press at (|x|, |y|), in window coordinates, starts a window move.
// Regions are applied in order, so a later region (draggable or not) wins
// over the earlier ones it overlaps, as pages expect for nested no-drag
// areas inside a drag bar.
bool IsInDraggableArea(const std::vector<CefDraggableRegion>& regions,
                       int x,
                       int y);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_VIEWS_DRAG_REGIONS_H_
