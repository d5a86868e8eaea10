#include "browser/drag/draggable_regions.h"

#include <QFile>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <cmath>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "include/base/cef_logging.h"
#include "include/cef_client.h"
#include "include/cef_drag_handler.h"
#include "include/cef_parser.h"

namespace cefengine {

namespace {

// A world of its own: the page's scripts neither see nor disturb the
// collector and its channel.
constexpr quint32 kRegionsWorld = 211;
constexpr char kScriptName[] = "cef-draggable-regions";

// Collects the elements whose computed app-region is drag or no-drag and
// reports their rectangles whenever the result changes: after load, DOM and
// attribute changes (class toggles restyle), resizes and scrolls, at most
// every 50 ms. Every document reports once, so a document without regions
// replaces its predecessor's.
constexpr char kCollector[] = R"JS(
(function() {
  if (window.__cefRegionsWatch) return;
  window.__cefRegionsWatch = true;
  let reporter = null, last = null, pending = false;
  function regionOf(el) {
    const style = getComputedStyle(el);
    const value = style.getPropertyValue('-webkit-app-region') ||
                  style.getPropertyValue('app-region');
    return value === 'drag' ? 1 : value === 'no-drag' ? 0 : -1;
  }
  function collect() {
    const out = [];
    for (const el of document.querySelectorAll('*')) {
      const drag = regionOf(el);
      if (drag < 0) continue;
      const r = el.getBoundingClientRect();
      if (r.width <= 0 || r.height <= 0) continue;
      out.push([r.left, r.top, r.width, r.height, drag]);
    }
    return out;
  }
  function flush() {
    pending = false;
    const text = JSON.stringify(collect());
    if (!reporter || text === last) return;
    last = text;
    reporter.report(text);
  }
  function schedule() {
    if (!pending) { pending = true; setTimeout(flush, 50); }
  }
  new QWebChannel(qt.webChannelTransport, function(channel) {
    reporter = channel.objects.regions;
    schedule();
  });
  new MutationObserver(schedule).observe(document, {
    subtree: true, childList: true, attributes: true});
  addEventListener('load', schedule);
  addEventListener('resize', schedule);
  addEventListener('scroll', schedule, true);
})();
)JS";

QString ChannelScript() {
  QFile file(":/qtwebchannel/qwebchannel.js");
  if (!file.open(QIODevice::ReadOnly)) {
    return QString();
  }
  return QString::fromUtf8(file.readAll());
}

}  // namespace

std::vector<CefDraggableRegion> ParseRegionReport(const std::string& json,
                                                  double zoom_factor,
                                                  bool* ok) {
  std::vector<CefDraggableRegion> regions;
  CefRefPtr<CefValue> value = CefParseJSON(json, JSON_PARSER_RFC);
  *ok = value && value->GetType() == VTYPE_LIST;
  if (!*ok) {
    return regions;
  }
  CefRefPtr<CefListValue> list = value->GetList();
  for (size_t i = 0; i < list->GetSize(); ++i) {
    CefRefPtr<CefListValue> item = list->GetList(i);
    if (!item || item->GetSize() != 5) {
      continue;
    }
    double numbers[4];
    bool numeric = true;
    for (size_t k = 0; k < 4; ++k) {
      const cef_value_type_t type = item->GetType(k);
      numeric = numeric && (type == VTYPE_INT || type == VTYPE_DOUBLE);
      numbers[k] = type == VTYPE_INT ? item->GetInt(k) : item->GetDouble(k);
    }
    if (!numeric ||
        !std::isfinite(numbers[0] + numbers[1] + numbers[2] + numbers[3])) {
      continue;
    }
    // Outer edges rounded outwards so a region covers every pixel it
    // touches.
    const double left = std::floor(numbers[0] * zoom_factor);
    const double top = std::floor(numbers[1] * zoom_factor);
    const double right = std::ceil((numbers[0] + numbers[2]) * zoom_factor);
    const double bottom = std::ceil((numbers[1] + numbers[3]) * zoom_factor);
    if (std::fabs(left) > 1e6 || std::fabs(top) > 1e6 || right - left > 1e6 ||
        bottom - top > 1e6 || right <= left || bottom <= top) {
      continue;
    }
    regions.emplace_back(
        CefRect(static_cast<int>(left), static_cast<int>(top),
                static_cast<int>(right - left), static_cast<int>(bottom - top)),
        item->GetType(4) == VTYPE_INT && item->GetInt(4) == 1);
  }
  return regions;
}

RegionReceiver::RegionReceiver(QWebEnginePage* page, int browser_id)
    : QObject(page), page_(page), browser_id_(browser_id) {}

void RegionReceiver::report(const QString& regions) {
  const std::string text = regions.toStdString();
  if (text == last_) {
    return;
  }
  bool ok = false;
  const std::vector<CefDraggableRegion> parsed =
      ParseRegionReport(text, page_->zoomFactor(), &ok);
  if (!ok) {
    return;
  }
  last_ = text;
  CefRefPtr<CefBrowserImpl> browser = FindBrowser(browser_id_);
  CefRefPtr<CefClient> client = browser ? browser->client() : nullptr;
  CefRefPtr<CefDragHandler> handler =
      client ? client->GetDragHandler() : nullptr;
  if (handler) {
    handler->OnDraggableRegionsChanged(browser.get(), browser->GetMainFrame(),
                                       parsed);
  }
}

void WatchDraggableRegions(QWebEnginePage* page, int browser_id) {
  if (!page || !page->scripts().find(kScriptName).isEmpty()) {
    return;
  }
  const QString channel_script = ChannelScript();
  if (channel_script.isEmpty()) {
    LOG(WARNING) << "No web channel script: draggable regions not reported";
    return;
  }
  auto* channel = new QWebChannel(page);
  channel->registerObject("regions", new RegionReceiver(page, browser_id));
  page->setWebChannel(channel, kRegionsWorld);

  QWebEngineScript script;
  script.setName(kScriptName);
  script.setSourceCode(channel_script + "\n" + kCollector);
  script.setInjectionPoint(QWebEngineScript::DocumentReady);
  script.setWorldId(kRegionsWorld);
  script.setRunsOnSubFrames(false);
  page->scripts().insert(script);
}

}  // namespace cefengine
