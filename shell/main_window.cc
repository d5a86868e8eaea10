#include "shell/main_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <string>

#include "backend/readiness.h"
#include "client/error_page.h"
#include "client/ui_task.h"
#include "include/cef_task.h"
#include "include/wrapper/cef_helpers.h"
#include "shell/engine_switches.h"

namespace {

// Whether the process has created its first top-level window, the main
// one; every later window is a popup or the developer tools. UI thread.
bool windowShownOnce = false;

// How long a popup or developer tools window stays hidden after creation,
// so that it appears already laid out.
constexpr int64_t kPopupShowDelayMs = 350;

// Application URL probes before the error page is shown instead.
constexpr int kBackendProbes = 50;
constexpr int kBackendProbeIntervalMs = 50;

class ShowWindowTask : public CefTask {
 public:
  explicit ShowWindowTask(CefRefPtr<CefWindow> window) : window_(window) {}

  // CefTask methods:
  void Execute() override {
    window_->Show();
    window_->RequestFocus();
  }

 private:
  CefRefPtr<CefWindow> window_;

  IMPLEMENT_REFCOUNTING(ShowWindowTask);
};

// Centres |window| at the size for this screen, when there is one.
void CenterForScreen(CefRefPtr<CefWindow> window, bool capped) {
  int width = 0;
  int height = 0;
  GetScreenSize(width, height);
  if (const std::optional<CefSize> size = WindowSizeForScreen(height, capped)) {
    window->CenterWindow(*size);
  }
}

}  // namespace

bool MainViewDelegate::OnPopupBrowserViewCreated(
    CefRefPtr<CefBrowserView> browser_view,
    CefRefPtr<CefBrowserView> popup_browser_view,
    bool is_devtools) {
  CefWindow::CreateTopLevelWindow(
      new MainWindowDelegate(is_devtools, popup_browser_view));
  return true;
}

void MainWindowDelegate::OnWindowCreated(CefRefPtr<CefWindow> window) {
  CEF_REQUIRE_UI_THREAD();
  window->AddChildView(browserView);
  SetWindowClass(window->GetWindowHandle());
  if (!windowShownOnce) {
    // The main window waits, hidden, until the page asks to be shown.
    window->Hide();
    windowShownOnce = true;
    CenterForScreen(window, /*capped=*/true);
    return;
  }
  CefPostDelayedTask(TID_UI, new ShowWindowTask(window), kPopupShowDelayMs);
  PopupRect rect = lastPopupRect;
  if (rect.x + rect.y + rect.width + rect.height != 0) {
    if (rect.width == 0) {
      rect.width = 1200;
    }
    if (rect.height == 0) {
      rect.height = 685;
    }
    window->SetBounds(CefRect(rect.x, rect.y, rect.width, rect.height));
  } else {
    CenterForScreen(window, /*capped=*/true);
  }
}

void MainWindowDelegate::OnWindowDestroyed(CefRefPtr<CefWindow> window) {
  browserView = nullptr;
}

bool MainWindowDelegate::CanClose(CefRefPtr<CefWindow> window) {
  CefRefPtr<CefBrowser> browser =
      browserView ? browserView->GetBrowser() : nullptr;
  // The browser runs the page's leave handling first; the close sequence
  // closes the window once the browser is gone.
  return !browser || browser->GetHost()->TryCloseBrowser();
}

void OpenMainWindow(CefRefPtr<ShellClient> client,
                    std::string url,
                    bool views,
                    CefBrowserSettings settings) {
  const bool ready =
      WaitForBackend(url, kBackendProbes, kBackendProbeIntervalMs);
  const std::string target = ready ? url : BuildErrorPageUrl(url);
  PostUiTask([client, target, views, settings] {
    CreateBrowserWindow(client, target, views, settings);
  });
}

void CreateBrowserWindow(CefRefPtr<ShellClient> client,
                         const std::string& url,
                         bool views,
                         const CefBrowserSettings& settings) {
  CEF_REQUIRE_UI_THREAD();
  // The readiness wait may end after the application has begun to end.
  if (client->ending) {
    return;
  }
  // Counted until OnAfterCreated (which an engine may call from either call
  // below), so that the end of the application waits for this browser
  // instead of shutting the engine down under it.
  ++client->browsersBeingCreated;
  CefRefPtr<CefBrowserView> browserView = CefBrowserView::CreateBrowserView(
      client, url, settings, nullptr, nullptr, new MainViewDelegate());
  if (!browserView) {
    --client->browsersBeingCreated;
    return;
  }
  CefWindow::CreateTopLevelWindow(new MainWindowDelegate(false, browserView));
}

void SetWindowClass(unsigned long xid) {
  Display* display = cef_get_xdisplay();
  if (!display || !xid) {
    return;
  }
  // Instance and class name, each with its terminating zero as the ICCCM
  // has it: without the second string a desktop finds no class at all.
  const std::string names =
      std::string(kWindowClass) + '\0' + kWindowClass + '\0';
  const Atom wmClass = XInternAtom(display, "WM_CLASS", False);
  const Atom string = XInternAtom(display, "STRING", False);
  XChangeProperty(display, xid, wmClass, string, 8, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(names.data()),
                  static_cast<int>(names.size()));
  XFlush(display);
}

bool GetScreenSize(int& width, int& height) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    return false;
  }
  width = DisplayWidth(display, DefaultScreen(display));
  height = DisplayHeight(display, DefaultScreen(display));
  XCloseDisplay(display);
  return true;
}

std::optional<CefSize> WindowSizeForScreen(int screenHeight, bool capped) {
  if (screenHeight <= 1080) {
    return CefSize(1200, 685);
  }
  if (screenHeight <= 1440) {
    return CefSize(1300, 785);
  }
  if (capped && screenHeight > 2600) {
    return std::nullopt;
  }
  return CefSize(1400, 815);
}

CefRefPtr<CefWindow> WindowOf(CefRefPtr<CefBrowser> browser) {
  CefRefPtr<CefBrowserView> view =
      browser ? CefBrowserView::GetForBrowser(browser) : nullptr;
  return view ? view->GetWindow() : nullptr;
}

void ShowWindow(CefRefPtr<CefBrowser> browser) {
  if (CefRefPtr<CefWindow> window = WindowOf(browser)) {
    window->Show();
    window->RequestFocus();
  }
}

void HideWindow(CefRefPtr<CefBrowser> browser) {
  if (CefRefPtr<CefWindow> window = WindowOf(browser)) {
    window->Hide();
  }
}

void CenterWindowForScreen(CefRefPtr<CefBrowser> browser) {
  if (CefRefPtr<CefWindow> window = WindowOf(browser)) {
    CenterForScreen(window, /*capped=*/false);
  }
}
