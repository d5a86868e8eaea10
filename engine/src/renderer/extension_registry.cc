#include "renderer/extension_registry.h"

#include <string>
#include <vector>

#include "include/base/cef_logging.h"
#include "include/cef_task.h"

namespace cefengine {

namespace {

struct Extension {
  CefString name;
  CefString code;
  CefRefPtr<CefV8Handler> handler;
};

// Renderer main thread only.
std::vector<Extension>& Extensions() {
  static auto* extensions = new std::vector<Extension>();
  return *extensions;
}

bool g_sealed = false;

}  // namespace

CefRefPtr<CefV8Handler> GetExtensionHandler(int index) {
  auto& extensions = Extensions();
  if (index < 0 || static_cast<size_t>(index) >= extensions.size())
    return nullptr;
  return extensions[index].handler;
}

CefRefPtr<CefListValue> SealExtensions() {
  g_sealed = true;
  CefRefPtr<CefListValue> list = CefListValue::Create();
  for (const Extension& extension : Extensions()) {
    CefRefPtr<CefListValue> entry = CefListValue::Create();
    entry->SetString(0, extension.name);
    entry->SetString(1, extension.code);
    list->SetList(list->GetSize(), entry);
  }
  return list;
}

}  // namespace cefengine

bool CefRegisterExtension(const CefString& extension_name,
                          const CefString& javascript_code,
                          CefRefPtr<CefV8Handler> handler) {
  if (!CefCurrentlyOn(TID_RENDERER) || cefengine::g_sealed) {
    LOG(ERROR) << "CefRegisterExtension belongs in OnWebKitInitialized";
    return false;
  }
  if (extension_name.empty() || javascript_code.empty())
    return false;
  for (const auto& extension : cefengine::Extensions()) {
    if (extension.name == extension_name)
      return false;
  }
  cefengine::Extensions().push_back({extension_name, javascript_code, handler});
  return true;
}
