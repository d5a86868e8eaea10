#include "browser/browser/browser_registry.h"

#include <atomic>
#include <map>
#include <mutex>

#include "browser/browser/browser_impl.h"

namespace cefengine {

namespace {

std::atomic<int> g_next_id{1};

struct Registry {
  std::mutex mutex;
  std::map<int, CefRefPtr<CefBrowserImpl>> browsers;
};

Registry& GetRegistry() {
  static Registry* registry = new Registry();
  return *registry;
}

}  // namespace

int NextBrowserId() {
  return g_next_id++;
}

void RegisterBrowser(CefRefPtr<CefBrowserImpl> browser) {
  Registry& registry = GetRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  registry.browsers[browser->GetIdentifier()] = browser;
}

void UnregisterBrowser(int id) {
  CefRefPtr<CefBrowserImpl> released;
  Registry& registry = GetRegistry();
  {
    std::lock_guard<std::mutex> lock(registry.mutex);
    auto it = registry.browsers.find(id);
    if (it == registry.browsers.end()) {
      return;
    }
    // The last reference may go here; drop it outside the lock.
    released = it->second;
    registry.browsers.erase(it);
  }
}

CefRefPtr<CefBrowserImpl> FindBrowser(int id) {
  Registry& registry = GetRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  auto it = registry.browsers.find(id);
  return it == registry.browsers.end() ? nullptr : it->second;
}

CefRefPtr<CefBrowserImpl> FindBrowserForPage(const QWebEnginePage* page) {
  if (!page) {
    return nullptr;
  }
  for (const auto& browser : GetAllBrowsers()) {
    if (browser->page() == page) {
      return browser;
    }
  }
  return nullptr;
}

std::vector<CefRefPtr<CefBrowserImpl>> GetAllBrowsers() {
  Registry& registry = GetRegistry();
  std::lock_guard<std::mutex> lock(registry.mutex);
  std::vector<CefRefPtr<CefBrowserImpl>> result;
  result.reserve(registry.browsers.size());
  for (const auto& entry : registry.browsers) {
    result.push_back(entry.second);
  }
  return result;
}

void DestroyAllBrowsers() {
  for (const auto& browser : GetAllBrowsers()) {
    browser->CloseForShutdown();
  }
}

}  // namespace cefengine

CefRefPtr<CefBrowser> CefBrowserHost::GetBrowserByIdentifier(int browser_id) {
  return cefengine::FindBrowser(browser_id).get();
}
