// The page's draggable regions (CSS app-region: drag / no-drag), which Qt
// does not report, collected by a script of our own in the page.

#ifndef CEFENGINE_BROWSER_DRAG_DRAGGABLE_REGIONS_H_
#define CEFENGINE_BROWSER_DRAG_DRAGGABLE_REGIONS_H_

#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "include/internal/cef_types_wrappers.h"

class QWebEnginePage;

namespace cefengine {

// From now on calls CefDragHandler::OnDraggableRegionsChanged of browser
// |browser_id| whenever the regions of its main frame's document change,
// including to none when a new document has none. Regions are in view
// coordinates, in document order (a later region wins where they overlap).
// UI thread; does nothing when |page| is watched already.
void WatchDraggableRegions(QWebEnginePage* page, int browser_id);

// Regions from the script's report: a JSON list of [x, y, width, height,
// draggable] in CSS pixels, scaled by |zoom_factor|. Malformed entries are
// skipped; |ok| is false when |json| is not a list.
std::vector<CefDraggableRegion> ParseRegionReport(const std::string& json,
                                                  double zoom_factor,
                                                  bool* ok);

// Receives the page script's reports. Internal; public for Qt's meta-object
// system.
class RegionReceiver : public QObject {
  Q_OBJECT

 public:
  RegionReceiver(QWebEnginePage* page, int browser_id);

  // Called from the page with the current regions.
  Q_INVOKABLE void report(const QString& regions);

 private:
  QWebEnginePage* const page_;
  const int browser_id_;
  // The regions last handed to the client, as reported.
  std::string last_ = "[]";
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DRAG_DRAGGABLE_REGIONS_H_
