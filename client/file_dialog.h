// The page's file and folder dialogs: the engine's dialog for the browser
// that asked, and the chosen paths handed to the page's callback.

#ifndef KORVEL_CLIENT_FILE_DIALOG_H_
#define KORVEL_CLIENT_FILE_DIALOG_H_

#include <string>
#include <vector>

#include "include/cef_browser.h"
#include "include/cef_frame.h"

// The accept filters of |text|: cut at every comma, pieces kept as they are
// (empty ones included), so "" gives one empty filter.
std::vector<CefString> SplitAcceptFilters(const std::string& text);

// Runs the dialog of |mode| (0 one file, 1 several, 2 a folder, 3 a save
// path) on |browser|'s host; the choice, or [] when cancelled, goes to
// korvel.selectFileCallback in |frame|. UI thread.
void RunSelectFile(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   int mode,
                   const std::string& title,
                   const std::string& defaultPath,
                   const std::string& acceptFilters);

#endif  // KORVEL_CLIENT_FILE_DIALOG_H_
