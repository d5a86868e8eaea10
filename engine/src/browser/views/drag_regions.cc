#include "browser/views/drag_regions.h"

namespace cefengine {

bool IsInDraggableArea(const std::vector<CefDraggableRegion>& regions,
                       int x,
                       int y) {
  bool draggable = false;
  for (const CefDraggableRegion& region : regions) {
    if (CefRect(region.bounds).Contains(x, y)) {
      draggable = region.draggable;
    }
  }
  return draggable;
}

}  // namespace cefengine
