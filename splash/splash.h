// The loading splash as the clients see it: each client remembers whether
// it put the splash up, and only that client takes it down again. Browser
// UI thread only.

#ifndef KORVEL_SPLASH_SPLASH_H_
#define KORVEL_SPLASH_SPLASH_H_

#include "client/shell_client.h"
#include "include/cef_browser.h"

// Puts up the splash from kSplashImageFile for |client| (replacing any
// other) and returns once it is drawn. |browser| is not used.
void ShowSplash(CefRefPtr<ShellClient> client, CefRefPtr<CefBrowser> browser);

// Takes the splash down if |client| put it up.
void CloseSplash(CefRefPtr<ShellClient> client);

#endif  // KORVEL_SPLASH_SPLASH_H_
