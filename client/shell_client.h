// The one client object of the browser views: it decides what may load in
// the view and answers the engine's handler calls for every browser.

#ifndef KORVEL_CLIENT_SHELL_CLIENT_H_
#define KORVEL_CLIENT_SHELL_CLIENT_H_

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "client/url_policy.h"
#include "include/cef_client.h"
#include "include/cef_display_handler.h"
#include "include/cef_download_handler.h"
#include "include/cef_drag_handler.h"
#include "include/cef_jsdialog_handler.h"
#include "include/cef_life_span_handler.h"
#include "include/cef_load_handler.h"
#include "include/cef_permission_handler.h"
#include "include/cef_render_handler.h"
#include "include/cef_request_handler.h"
#include "include/cef_resource_request_handler.h"

// Where and how large the page asked its latest popup to be; zeros until
// the first request. UI thread only.
struct PopupRect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};
extern PopupRect lastPopupRect;

class ShellClient : public CefClient,
                    public CefDisplayHandler,
                    public CefDownloadHandler,
                    public CefDragHandler,
                    public CefJSDialogHandler,
                    public CefLifeSpanHandler,
                    public CefLoadHandler,
                    public CefPermissionHandler,
                    public CefRenderHandler,
                    public CefRequestHandler,
                    public CefResourceRequestHandler {
 public:
  // |showTitle| lets page titles become window titles; |allowList| is the
  // comma-separated origin allow-list. The new client is the process-wide
  // instance until it is destroyed.
  ShellClient(bool showTitle, std::string appUrl, const std::string& allowList);
  ~ShellClient() override;

  // The process-wide client, or null. UI thread only.
  static CefRefPtr<ShellClient> GetInstance();
  // Whether a process-wide client exists. Any thread: a process whose engine
  // refused to start has none, and must not post engine tasks at all.
  static bool HasInstance();

  // Whether |url| may load inside the view, by the allow-list.
  bool IsAllowedUrl(const CefString& url) const;

  // Asks every open browser to close, forced or not; the application ends
  // when the last one has closed. Any thread.
  void CloseAllBrowsers(bool force);

  // Brings the main window to the front: restored, shown, active and on
  // top, with the keyboard focus in its browser. Any thread.
  void RaiseMainWindow();

  // Ends the application: closes the splash and every browser with force
  // (no leave prompt holds it up), closes a browser still being created as
  // soon as it appears, opens no window from then on, and quits the message
  // loop once no browser is left. Later calls do nothing. UI thread only.
  void EndApplication();
  // EndApplication on the process-wide client. Before that client exists
  // the request is kept for the client that comes next (see
  // EndRequested). Any thread.
  static void RequestEnd();
  // Whether RequestEnd has been called. Read it after the client exists:
  // then RequestEnd either saw that client or is seen here. Any thread.
  static bool EndRequested();

  // Shows the error page in |frame|, its Reload button retrying |reloadUrl|
  // (the application URL when empty); abandons |browser|'s pending app load
  // and hides its window until the page shows itself. Any thread.
  void ShowErrorPage(CefRefPtr<CefBrowser> browser,
                     CefRefPtr<CefFrame> frame,
                     const std::string& reloadUrl);

  // Loads |url| (the application URL when empty) into |browser| once it
  // answers, with the window hidden and the splash up meanwhile, or the
  // error page when it never does. Only the latest load of a browser acts.
  // Any thread.
  void LoadApp(CefRefPtr<CefBrowser> browser, const std::string& url);

  // The end of the wait of LoadApp's |generation|. UI thread.
  void FinishLoadApp(CefRefPtr<CefBrowser> browser,
                     uint32_t generation,
                     const std::string& url,
                     bool ready);

  // The loading splash is on screen for this client. UI thread only.
  bool splashShown = false;
  // The application URL; the default target of loads and reloads.
  const std::string appUrl;
  // Filled here and never changed, so the UI and IO threads read it freely.
  const AllowList allowedHosts;
  // The open browsers in creation order. UI thread only.
  std::vector<CefRefPtr<CefBrowser>> browsers;
  // The last browser has begun to close; never cleared. UI thread only.
  bool closing = false;
  // EndApplication has run; never cleared. UI thread only.
  bool ending = false;
  // Browsers asked for (CreateBrowserWindow) whose OnAfterCreated has not
  // come yet. UI thread only.
  int browsersBeingCreated = 0;
  // The generation of each browser's app load in flight, by browser
  // identifier. UI thread only.
  std::map<int, uint32_t> pendingLoads;
  // The generation the next app load gets. UI thread only.
  uint32_t nextLoadGeneration = 0;

  // CefClient methods:
  CefRefPtr<CefDisplayHandler> GetDisplayHandler() override { return this; }
  CefRefPtr<CefDownloadHandler> GetDownloadHandler() override { return this; }
  CefRefPtr<CefDragHandler> GetDragHandler() override { return this; }
  CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefPermissionHandler> GetPermissionHandler() override {
    return this;
  }
  CefRefPtr<CefRenderHandler> GetRenderHandler() override { return this; }
  CefRefPtr<CefRequestHandler> GetRequestHandler() override { return this; }
  // Carries out the page's requests to the shell and answers its queries.
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser,
                                CefRefPtr<CefFrame> frame,
                                CefProcessId source_process,
                                CefRefPtr<CefProcessMessage> message) override;

  // CefDisplayHandler methods:
  void OnTitleChange(CefRefPtr<CefBrowser> browser,
                     const CefString& title) override;

  // CefDownloadHandler methods (downloads.cc):
  bool CanDownload(CefRefPtr<CefBrowser> browser,
                   const CefString& url,
                   const CefString& request_method) override;
  bool OnBeforeDownload(CefRefPtr<CefBrowser> browser,
                        CefRefPtr<CefDownloadItem> download_item,
                        const CefString& suggested_name,
                        CefRefPtr<CefBeforeDownloadCallback> callback) override;
  void OnDownloadUpdated(CefRefPtr<CefBrowser> browser,
                         CefRefPtr<CefDownloadItem> download_item,
                         CefRefPtr<CefDownloadItemCallback> callback) override;

  // CefDragHandler methods (OnDragEnter in file_drag.cc):
  bool OnDragEnter(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefDragData> dragData,
                   CefDragHandler::DragOperationsMask mask) override;
  void OnDraggableRegionsChanged(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      const std::vector<CefDraggableRegion>& regions) override;

  // CefJSDialogHandler methods:
  bool OnBeforeUnloadDialog(CefRefPtr<CefBrowser> browser,
                            const CefString& message_text,
                            bool is_reload,
                            CefRefPtr<CefJSDialogCallback> callback) override;

  // CefLoadHandler methods:
  void OnLoadEnd(CefRefPtr<CefBrowser> browser,
                 CefRefPtr<CefFrame> frame,
                 int httpStatusCode) override;
  void OnLoadError(CefRefPtr<CefBrowser> browser,
                   CefRefPtr<CefFrame> frame,
                   ErrorCode errorCode,
                   const CefString& errorText,
                   const CefString& failedUrl) override;

  // CefLifeSpanHandler methods:
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
  bool DoClose(CefRefPtr<CefBrowser> browser) override;
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;
  bool OnBeforePopup(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      int popup_id,
      const CefString& target_url,
      const CefString& target_frame_name,
      CefLifeSpanHandler::WindowOpenDisposition target_disposition,
      bool user_gesture,
      const CefPopupFeatures& popupFeatures,
      CefWindowInfo& windowInfo,
      CefRefPtr<CefClient>& client,
      CefBrowserSettings& settings,
      CefRefPtr<CefDictionaryValue>& extra_info,
      bool* no_javascript_access) override;

  // CefPermissionHandler methods:
  bool OnRequestMediaAccessPermission(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      const CefString& requesting_origin,
      uint32_t requested_permissions,
      CefRefPtr<CefMediaAccessCallback> callback) override;
  bool OnShowPermissionPrompt(
      CefRefPtr<CefBrowser> browser,
      uint64_t prompt_id,
      const CefString& requesting_origin,
      uint32_t requested_permissions,
      CefRefPtr<CefPermissionPromptCallback> callback) override;

  // CefRenderHandler methods (file_drag.cc):
  void GetViewRect(CefRefPtr<CefBrowser> browser, CefRect& rect) override;
  void OnPaint(CefRefPtr<CefBrowser> browser,
               PaintElementType type,
               const RectList& dirtyRects,
               const void* buffer,
               int width,
               int height) override;
  bool StartDragging(CefRefPtr<CefBrowser> browser,
                     CefRefPtr<CefDragData> drag_data,
                     CefRenderHandler::DragOperationsMask allowed_ops,
                     int x,
                     int y) override;

  // CefRequestHandler methods:
  bool OnBeforeBrowse(CefRefPtr<CefBrowser> browser,
                      CefRefPtr<CefFrame> frame,
                      CefRefPtr<CefRequest> request,
                      bool user_gesture,
                      bool is_redirect) override;
  bool OnOpenURLFromTab(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      const CefString& target_url,
      CefRequestHandler::WindowOpenDisposition target_disposition,
      bool user_gesture) override;
  CefRefPtr<CefResourceRequestHandler> GetResourceRequestHandler(
      CefRefPtr<CefBrowser> browser,
      CefRefPtr<CefFrame> frame,
      CefRefPtr<CefRequest> request,
      bool is_navigation,
      bool is_download,
      const CefString& request_initiator,
      bool& disable_default_handling) override;

  // CefResourceRequestHandler methods:
  ReturnValue OnBeforeResourceLoad(CefRefPtr<CefBrowser> browser,
                                   CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefRequest> request,
                                   CefRefPtr<CefCallback> callback) override;

 private:
  // Whether a page may not open |target_url| in a browser of its own or in
  // this one: empty and allowed targets open; the engine's pages are
  // dropped and everything else goes to the desktop.
  bool HoldsBack(const CefString& target_url) const;

  const bool showTitle_;

  IMPLEMENT_REFCOUNTING(ShellClient);
  DISALLOW_COPY_AND_ASSIGN(ShellClient);
};

#endif  // KORVEL_CLIENT_SHELL_CLIENT_H_
