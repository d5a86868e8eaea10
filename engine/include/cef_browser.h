// A browser (one page with its history) and its host-side controls.

#ifndef CEF_INCLUDE_CEF_BROWSER_H_
#define CEF_INCLUDE_CEF_BROWSER_H_
#pragma once

#include <vector>

#include "include/cef_base.h"
#include "include/cef_frame.h"
#include "include/cef_request_context.h"
#include "include/internal/cef_types_browser.h"

class CefBrowserHost;
class CefClient;

// Methods may be called on any thread unless noted; work on the page is
// carried out on the UI thread.
class CefBrowser : public virtual CefBaseRefCounted {
 public:
  // False once the browser has been destroyed (after OnBeforeClose).
  virtual bool IsValid() = 0;
  // The host; browser process only.
  virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
  virtual bool CanGoBack() = 0;
  virtual void GoBack() = 0;
  virtual bool CanGoForward() = 0;
  virtual void GoForward() = 0;
  virtual bool IsLoading() = 0;
  virtual void Reload() = 0;
  // Reloads without using cached data.
  virtual void ReloadIgnoreCache() = 0;
  virtual void StopLoad() = 0;
  // Unique within the process, counting from 1.
  virtual int GetIdentifier() = 0;
  virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
  // True for a browser that a page opened (window.open and the like).
  virtual bool IsPopup() = 0;
  // True once a document has been loaded.
  virtual bool HasDocument() = 0;
  virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
  // The main frame: focus inside sub-frames is not tracked.
  virtual CefRefPtr<CefFrame> GetFocusedFrame() = 0;
  virtual CefRefPtr<CefFrame> GetFrameByIdentifier(
      const CefString& identifier) = 0;
  virtual CefRefPtr<CefFrame> GetFrameByName(const CefString& name) = 0;
  // Frames known to the browser process: the main frame only.
  virtual size_t GetFrameCount() = 0;
  virtual void GetFrameIdentifiers(std::vector<CefString>& identifiers) = 0;
  virtual void GetFrameNames(std::vector<CefString>& names) = 0;
};

// Receives the result of CefBrowserHost::RunFileDialog.
class CefRunFileDialogCallback : public virtual CefBaseRefCounted {
 public:
  // |file_paths| is empty when the dialog was cancelled.
  virtual void OnFileDialogDismissed(
      const std::vector<CefString>& file_paths) = 0;
};

// Browser-process controls of a browser. UI thread unless noted.
class CefBrowserHost : public virtual CefBaseRefCounted {
 public:
  typedef cef_drag_operations_mask_t DragOperationsMask;
  typedef cef_file_dialog_mode_t FileDialogMode;
  typedef cef_mouse_button_type_t MouseButtonType;
  typedef cef_paint_element_type_t PaintElementType;

  // Creates a browser in a top-level window of its own (or, with
  // |windowInfo.parent_window| set, inside that X window) and starts loading
  // |url|. Any thread; returns false when the engine is not running.
  static bool CreateBrowser(const CefWindowInfo& windowInfo,
                            CefRefPtr<CefClient> client,
                            const CefString& url,
                            const CefBrowserSettings& settings,
                            CefRefPtr<CefDictionaryValue> extra_info,
                            CefRefPtr<CefRequestContext> request_context);

  // As CreateBrowser, but returns the browser. UI thread.
  static CefRefPtr<CefBrowser> CreateBrowserSync(
      const CefWindowInfo& windowInfo,
      CefRefPtr<CefClient> client,
      const CefString& url,
      const CefBrowserSettings& settings,
      CefRefPtr<CefDictionaryValue> extra_info,
      CefRefPtr<CefRequestContext> request_context);

  // The open browser with |browser_id|, or null. Any thread.
  static CefRefPtr<CefBrowser> GetBrowserByIdentifier(int browser_id);

  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;

  // Starts closing the browser. Unless |force_close|, the page's leave
  // handling runs first and may keep it open. Once the close is accepted the
  // client's DoClose is asked; when it returns false the browser's top-level
  // window is closed through its normal path; OnBeforeClose comes last.
  virtual void CloseBrowser(bool force_close) = 0;

  // For a top-level window's close handler: returns true when the close may
  // go ahead now, false when it has been started but waits for the page (the
  // window is closed again later by the engine if the page agrees).
  virtual bool TryCloseBrowser() = 0;

  // True when closing has been accepted and can no longer be cancelled.
  virtual bool IsReadyToBeClosed() = 0;

  virtual void SetFocus(bool focus) = 0;
  // X window id of the window holding the browser, 0 when none.
  virtual CefWindowHandle GetWindowHandle() = 0;
  virtual CefWindowHandle GetOpenerWindowHandle() = 0;
  // Identifier of the browser that opened this popup, 0 when none.
  virtual int GetOpenerIdentifier() = 0;
  // True when the browser is hosted in a CefBrowserView.
  virtual bool HasView() = 0;
  virtual CefRefPtr<CefClient> GetClient() = 0;
  virtual CefRefPtr<CefRequestContext> GetRequestContext() = 0;

  // Zoom levels are logarithmic: the scale factor is 1.2 to the power of the
  // level, so 0.0 is 100 %. The development engine's range is a factor of
  // 0.25 to 5.0; levels beyond it are clamped.
  virtual bool CanZoom(cef_zoom_command_t command) = 0;
  virtual void Zoom(cef_zoom_command_t command) = 0;
  virtual double GetDefaultZoomLevel() = 0;
  virtual double GetZoomLevel() = 0;
  // Any thread; applied at once on the UI thread, else posted there.
  virtual void SetZoomLevel(double zoomLevel) = 0;

  // Opens the engine's file chooser (in the development engine a Qt file
  // dialog, modal to the browser's window) and returns at once; |callback|
  // runs on the UI thread with the chosen full paths, or none when the user
  // cancelled. Filters are lower-case MIME types ("image/*"), extensions
  // (".png") or "Description|.ext1;.ext2"; others are ignored. One dialog
  // per browser: a second request while one is open is dismissed at once.
  virtual void RunFileDialog(FileDialogMode mode,
                             const CefString& title,
                             const CefString& default_file_path,
                             const std::vector<CefString>& accept_filters,
                             CefRefPtr<CefRunFileDialogCallback> callback) = 0;
  // Downloads |url| through the engine's download machinery.
  virtual void StartDownload(const CefString& url) = 0;

  // Developer tools: not implemented yet in the development engine.
  virtual void ShowDevTools(const CefWindowInfo& windowInfo,
                            CefRefPtr<CefClient> client,
                            const CefBrowserSettings& settings,
                            const CefPoint& inspect_element_at) = 0;
  virtual void CloseDevTools() = 0;
  virtual bool HasDevTools() = 0;

  // Geometry and visibility notifications: the development engine follows
  // its widgets itself, so these have no effect.
  virtual void WasResized() = 0;
  virtual void WasHidden(bool hidden) = 0;
  virtual void NotifyScreenInfoChanged() = 0;

  // The end of a drag that the client runs itself (StartDragging returned
  // true). The development engine runs every drag out of a page itself and
  // cancels those that the client takes over, so these do nothing there.
  virtual void DragSourceEndedAt(int x, int y, DragOperationsMask op) = 0;
  virtual void DragSourceSystemDragEnded() = 0;

  virtual void SetAudioMuted(bool mute) = 0;
  virtual bool IsAudioMuted() = 0;
  // True while the page is in fullscreen mode (element.requestFullscreen).
  virtual bool IsFullscreen() = 0;
  virtual void ExitFullscreen(bool will_cause_resize) = 0;
  virtual cef_runtime_style_t GetRuntimeStyle() = 0;
};

#endif  // CEF_INCLUDE_CEF_BROWSER_H_
