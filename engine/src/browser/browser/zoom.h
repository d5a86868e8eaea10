// The engine's zoom levels on Qt's zoom factors.

#ifndef CEFENGINE_BROWSER_BROWSER_ZOOM_H_
#define CEFENGINE_BROWSER_BROWSER_ZOOM_H_

#include "include/internal/cef_types_browser.h"

namespace cefengine {

// Qt WebEngine refuses factors outside this range.
constexpr double kMinZoomFactor = 0.25;
constexpr double kMaxZoomFactor = 5.0;

// 1.2 to the power of |level|, clamped to the range above. Non-finite levels
// give 1.0.
double ZoomLevelToFactor(double level);

// The inverse: log base 1.2 of |factor|; 0.0 for factors that are not
// positive.
double ZoomFactorToLevel(double factor);

// The factor a zoom command leads to from |factor|: the next preset step in
// or out (the steps browsers offer in their menus), or 1.0 for reset.
// Returns |factor| unchanged when there is no further step.
double ZoomFactorAfterCommand(double factor, cef_zoom_command_t command);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_ZOOM_H_
