// The persistent Qt WebEngine profile that all browsers share.

#ifndef CEFENGINE_BROWSER_PROCESS_PROFILE_H_
#define CEFENGINE_BROWSER_PROCESS_PROFILE_H_

#include <string>

#include "include/internal/cef_types_wrappers.h"

class QWebEngineProfile;

namespace cefengine {

// Creates a disk-based profile whose storage and HTTP cache live in
// |storage|, with the cookie, user-agent and language settings applied.
// UI thread, after the QApplication exists. The caller owns the result.
QWebEngineProfile* CreateProfile(const CefSettings& settings,
                                 const std::string& storage);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PROCESS_PROFILE_H_
