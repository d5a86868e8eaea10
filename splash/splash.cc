#include "splash/splash.h"

#include "splash/splash_image.h"
#include "splash/splash_window.h"

void ShowSplash(CefRefPtr<ShellClient> client, CefRefPtr<CefBrowser> browser) {
  client->splashShown = true;
  OpenSplashWindow(kSplashImageFile);
}

void CloseSplash(CefRefPtr<ShellClient> client) {
  if (!client->splashShown) {
    return;
  }
  client->splashShown = false;
  CloseSplashWindow();
}
