// Downloads of the engine's pages, reported to the client's
// CefDownloadHandler of the browser that started them.

#ifndef CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_MANAGER_H_
#define CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_MANAGER_H_

class QWebEngineProfile;

namespace cefengine {

// Routes every download of |profile| through the download handlers. UI
// thread, once per profile.
void ConnectDownloads(QWebEngineProfile* profile);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_DOWNLOADS_DOWNLOAD_MANAGER_H_
