// All open browsers of the process, by identifier.

#ifndef CEFENGINE_BROWSER_BROWSER_BROWSER_REGISTRY_H_
#define CEFENGINE_BROWSER_BROWSER_BROWSER_REGISTRY_H_

#include <vector>

#include "include/cef_base.h"

class QWebEnginePage;

namespace cefengine {

class CefBrowserImpl;

// A new browser identifier: 1, 2, 3, ... Any thread.
int NextBrowserId();

// The registry holds a reference to each browser from creation until
// OnBeforeClose. Any thread.
void RegisterBrowser(CefRefPtr<CefBrowserImpl> browser);
void UnregisterBrowser(int id);

// The open browser with |id|, or null. Any thread.
CefRefPtr<CefBrowserImpl> FindBrowser(int id);

// The open browser showing |page|, or null. UI thread.
CefRefPtr<CefBrowserImpl> FindBrowserForPage(const QWebEnginePage* page);

// Open browsers in creation order. Any thread.
std::vector<CefRefPtr<CefBrowserImpl>> GetAllBrowsers();

// Closes every open browser at once, without the pages' leave handling:
// each gets DoClose (its answer is not waited for) and OnBeforeClose, and its
// page is released. For engine shutdown, which must not leave pages behind
// the profile. UI thread.
void DestroyAllBrowsers();

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_BROWSER_REGISTRY_H_
