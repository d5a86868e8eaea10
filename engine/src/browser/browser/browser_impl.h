// The engine's browser: one QWebEnginePage, its history, its client and the
// close sequence. It implements both CefBrowser and CefBrowserHost.
//
// Threads: the page and the close state belong to the UI thread. Public CEF
// methods may be called on any thread; those that act post themselves to the
// UI thread, those that read answer from a snapshot that the UI thread keeps.

#ifndef CEFENGINE_BROWSER_BROWSER_BROWSER_IMPL_H_
#define CEFENGINE_BROWSER_BROWSER_BROWSER_IMPL_H_

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebEnginePage>

#include "include/cef_browser.h"
#include "include/cef_client.h"

class QWebEngineLoadingInfo;
class QWebEngineNewWindowRequest;

namespace cefengine {

class BrowserPage;
class BrowserViewHost;
class CefFrameImpl;
class JSDialogCallbackImpl;

class CefBrowserImpl : public CefBrowser, public CefBrowserHost {
 public:
  // Creates a browser for |host| (null when nothing shows it yet): the
  // client's OnAfterCreated runs, then the host's OnBrowserCreated, then the
  // browser starts loading |url| (nothing for an empty URL). UI thread.
  // Returns null when the engine is not initialised.
  static CefRefPtr<CefBrowserImpl> Create(
      BrowserViewHost* host,
      CefRefPtr<CefClient> client,
      const CefString& url,
      const CefBrowserSettings& settings,
      CefRefPtr<CefDictionaryValue> extra_info,
      CefRefPtr<CefRequestContext> request_context);

  CefBrowserImpl(const CefBrowserImpl&) = delete;
  CefBrowserImpl& operator=(const CefBrowserImpl&) = delete;

  // Engine-side accessors; UI thread.
  // The page, or null once the browser is closed.
  QWebEnginePage* page() const;
  BrowserViewHost* view_host() const { return host_; }
  // Attaches or (with null) detaches the view that shows the page.
  void SetViewHost(BrowserViewHost* host);
  // The view showing the page is being torn down: the browser closes now
  // (OnBeforeClose) if it has not already.
  void OnViewDestroyed();
  CefRefPtr<CefClient> client() const { return client_; }
  CefRefPtr<CefDictionaryValue> extra_info() const { return extra_info_; }
  const CefBrowserSettings& settings() const { return settings_; }
  CefRefPtr<CefFrameImpl> main_frame() const;
  // Ends the browser at once for engine shutdown: DoClose is asked but not
  // obeyed, OnBeforeClose runs, the page is released.
  void CloseForShutdown();

  // Work that frames hand to their browser. Any thread.
  void ExecuteJavaScriptInPage(const CefString& code,
                               const CefString& script_url,
                               int start_line);
  void LoadURLInPage(const CefString& url);
  void TriggerPageAction(QWebEnginePage::WebAction action);
  void GetPageContent(bool html, CefRefPtr<CefStringVisitor> visitor);

  // Called by the page. UI thread.
  // Whether Qt may go on with a navigation (OnBeforeBrowse).
  bool OnNavigationRequest(const QUrl& url,
                           QWebEnginePage::NavigationType type,
                           bool is_main_frame);
  enum class DialogOutcome { kAccepted, kCancelled, kUseDefault };
  // alert, confirm or prompt; |prompt_result| receives a prompt's answer.
  DialogOutcome RunScriptDialog(cef_jsdialog_type_t type,
                                const QUrl& origin,
                                const QString& message,
                                const QString& default_prompt,
                                QString* prompt_result);
  // The leave-page question of the page's beforeunload handler.
  DialogOutcome RunBeforeUnloadDialog(const QString& message);
  // The answer to the leave-page question, whoever gave it.
  void OnBeforeUnloadAnswered(bool leave);
  void OnConsoleMessage(QWebEnginePage::JavaScriptConsoleMessageLevel level,
                        const QString& message,
                        int line,
                        const QString& source);

  // CefBrowser methods:
  bool IsValid() override;
  CefRefPtr<CefBrowserHost> GetHost() override;
  bool CanGoBack() override;
  void GoBack() override;
  bool CanGoForward() override;
  void GoForward() override;
  bool IsLoading() override;
  void Reload() override;
  void ReloadIgnoreCache() override;
  void StopLoad() override;
  int GetIdentifier() override;
  bool IsSame(CefRefPtr<CefBrowser> that) override;
  bool IsPopup() override;
  bool HasDocument() override;
  CefRefPtr<CefFrame> GetMainFrame() override;
  CefRefPtr<CefFrame> GetFocusedFrame() override;
  CefRefPtr<CefFrame> GetFrameByIdentifier(
      const CefString& identifier) override;
  CefRefPtr<CefFrame> GetFrameByName(const CefString& name) override;
  size_t GetFrameCount() override;
  void GetFrameIdentifiers(std::vector<CefString>& identifiers) override;
  void GetFrameNames(std::vector<CefString>& names) override;

  // CefBrowserHost methods:
  CefRefPtr<CefBrowser> GetBrowser() override;
  void CloseBrowser(bool force_close) override;
  bool TryCloseBrowser() override;
  bool IsReadyToBeClosed() override;
  void SetFocus(bool focus) override;
  CefWindowHandle GetWindowHandle() override;
  CefWindowHandle GetOpenerWindowHandle() override;
  int GetOpenerIdentifier() override;
  bool HasView() override;
  CefRefPtr<CefClient> GetClient() override;
  CefRefPtr<CefRequestContext> GetRequestContext() override;
  bool CanZoom(cef_zoom_command_t command) override;
  void Zoom(cef_zoom_command_t command) override;
  double GetDefaultZoomLevel() override;
  double GetZoomLevel() override;
  void SetZoomLevel(double zoomLevel) override;
  void RunFileDialog(FileDialogMode mode,
                     const CefString& title,
                     const CefString& default_file_path,
                     const std::vector<CefString>& accept_filters,
                     CefRefPtr<CefRunFileDialogCallback> callback) override;
  void StartDownload(const CefString& url) override;
  void ShowDevTools(const CefWindowInfo& windowInfo,
                    CefRefPtr<CefClient> client,
                    const CefBrowserSettings& settings,
                    const CefPoint& inspect_element_at) override;
  void CloseDevTools() override;
  bool HasDevTools() override;
  void WasResized() override;
  void WasHidden(bool hidden) override;
  void NotifyScreenInfoChanged() override;
  void DragSourceEndedAt(int x, int y, DragOperationsMask op) override;
  void DragSourceSystemDragEnded() override;
  void SetAudioMuted(bool mute) override;
  bool IsAudioMuted() override;
  bool IsFullscreen() override;
  void ExitFullscreen(bool will_cause_resize) override;
  cef_runtime_style_t GetRuntimeStyle() override;

  // The page reports a link about to be opened by a modifier or middle
  // click, and not in a window of its own: the new-window request it makes
  // is OnOpenURLFromTab's, not a popup. UI thread.
  void NoteModifierLinkClick(const std::string& url);

  // The resource handler refused the main-frame request for |url|. Qt
  // reports that failure only when no other load of the page is under way,
  // so the engine reports it itself; once, with Qt's own report. UI thread.
  void OnMainFrameBlocked(const QUrl& url);

 private:
  // Where the close sequence stands.
  enum class CloseState {
    kOpen,
    // The page's leave handling runs (RequestClose sent).
    kUnloadPending,
    // The close can no longer be cancelled; DoClose has been asked.
    kAccepted,
    // OnBeforeClose has run; the page is gone.
    kClosed,
  };

  // What handlers on other threads may read.
  struct Snapshot {
    CefString url;
    bool is_loading = false;
    bool can_go_back = false;
    bool can_go_forward = false;
    bool has_document = false;
    bool is_fullscreen = false;
    bool audio_muted = false;
    double zoom_level = 0.0;
  };

  CefBrowserImpl(CefRefPtr<CefClient> client,
                 const CefBrowserSettings& settings,
                 CefRefPtr<CefDictionaryValue> extra_info,
                 int opener_id);
  ~CefBrowserImpl() override;

  // Creates the page and the main frame, connects the page's signals and
  // registers the browser. UI thread.
  void Initialize();
  void ApplySettings();
  void ConnectPageSignals();
  // OnAfterCreated, then the host's OnBrowserCreated.
  void NotifyCreated();

  // Runs |task| now when on the UI thread, else posts it there with a
  // reference to this browser. Returns false when it could not be posted.
  bool RunOnUIThread(std::function<void()> task);
  void UpdateSnapshot();

  // Load events (browser_events.cc).
  void OnLoadingChanged(const QWebEngineLoadingInfo& info);
  void OnTitleChanged(const QString& title);
  void OnUrlChanged(const QUrl& url);
  void OnFeaturePermissionRequested(const QUrl& origin,
                                    QWebEnginePage::Feature feature);
  void ReportAborted(CefRefPtr<CefFrame> frame, const QUrl& url);
  // True the first time |url|'s blocked failure is to be reported.
  bool ClaimBlockedReport(const QUrl& url);

  // Popups and links opened elsewhere (browser_popups.cc).
  void OnNewWindowRequested(QWebEngineNewWindowRequest& request);
  void OpenURLFromTab(QWebEngineNewWindowRequest& request,
                      cef_window_open_disposition_t disposition);
  void OpenPopup(QWebEngineNewWindowRequest& request,
                 cef_window_open_disposition_t disposition);
  // Takes a refused request's page so that it loads nothing.
  void DiscardNewWindow(QWebEngineNewWindowRequest& request);

  // Close sequence.
  void OnWindowCloseRequested();
  void ContinueAcceptedClose();
  // Closes the host window, or the browser itself when there is none.
  void RequestHostClose();
  void Destroy();

  // Fixed at creation.
  const int id_;
  const int opener_id_;
  CefRefPtr<CefClient> client_;
  CefBrowserSettings settings_;
  CefRefPtr<CefDictionaryValue> extra_info_;

  // UI thread.
  QPointer<BrowserPage> page_;
  // Receiver of the page's signals; dropping it disconnects them.
  std::unique_ptr<QObject> signal_context_;
  BrowserViewHost* host_ = nullptr;
  CloseState close_state_ = CloseState::kOpen;
  // DoClose has been answered and the host window was asked to close.
  bool host_close_requested_ = false;
  // Reload() was called and its leave-page question has not come yet.
  bool reload_pending_ = false;
  // The main-frame navigation that OnBeforeBrowse refused last; Qt goes on
  // to report it as started and aborted.
  QUrl refused_main_url_;
  // A main-frame request the resource handler refused, whose failure has
  // been reported by one of the engine and Qt, until the other comes or the
  // next main-frame navigation starts.
  QUrl blocked_main_url_;
  // The transition of the main-frame navigation that Qt accepted last.
  cef_transition_type_t pending_transition_ = TT_EXPLICIT;
  int next_popup_id_ = 1;
  // The link NoteModifierLinkClick reported last, until its request comes.
  std::string modifier_link_;
  uint64_t next_prompt_id_ = 1;
  // Script dialogs that wait in a nested event loop. Not counted
  // references: a dialog notices that the client gave it up when only its
  // waiter's reference is left.
  std::vector<JSDialogCallbackImpl*> active_dialogs_;

  // Any thread.
  mutable std::mutex mutex_;
  Snapshot snapshot_;
  CefRefPtr<CefFrameImpl> main_frame_;
  // The browser showing this page's developer tools (devtools.cc).
  CefRefPtr<CefBrowserImpl> devtools_;

  friend class CefBrowserHost;
  IMPLEMENT_REFCOUNTING(CefBrowserImpl);
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_BROWSER_IMPL_H_
