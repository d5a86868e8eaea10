// The names of the process messages between the page's `korvel` object in
// the renderer and ShellClient in the browser process. A request carries the
// name of the script function that sends it; a query's reply carries the
// query's name with "Response" appended; a notification carries the name of
// the script callback it reaches.

#ifndef KORVEL_BRIDGE_COMMON_BRIDGE_MESSAGES_H_
#define KORVEL_BRIDGE_COMMON_BRIDGE_MESSAGES_H_

namespace bridge {

// Renderer to browser: window control.
inline constexpr char kHide[] = "hide";
inline constexpr char kShow[] = "show";
inline constexpr char kMinimize[] = "minimize";
inline constexpr char kMaximize[] = "maximize";
inline constexpr char kRestore[] = "restore";
inline constexpr char kSetAlwaysOnTop[] = "setAlwaysOnTop";
inline constexpr char kSetFullscreen[] = "setFullscreen";
inline constexpr char kSetSize[] = "setSize";
inline constexpr char kSetPoint[] = "setPoint";
inline constexpr char kSetBounds[] = "setBounds";
inline constexpr char kSetDragRegion[] = "setDragRegion";
inline constexpr char kOnload[] = "onload";
inline constexpr char kFocus[] = "focus";
inline constexpr char kClose[] = "close";
inline constexpr char kExit[] = "exit";

// Renderer to browser: the browser host, the page and the backend.
inline constexpr char kSelectFile[] = "selectFile";
inline constexpr char kLoadApp[] = "loadApp";
inline constexpr char kOpenBrowser[] = "openBrowser";
inline constexpr char kRestartBackend[] = "restartBackend";
inline constexpr char kShowDevTools[] = "showDevTools";
inline constexpr char kSetZoom[] = "setZoom";
inline constexpr char kStartNativeFileDrag[] = "startNativeFileDrag";
inline constexpr char kDragSourceEndedAt[] = "dragSourceEndedAt";
inline constexpr char kDragSourceSystemDragEnded[] =
    "dragSourceSystemDragEnded";
inline constexpr char kSetup[] = "setup";

// Renderer to browser: queries, answered with their name + "Response".
inline constexpr char kGetZoom[] = "getZoom";
inline constexpr char kIsAlwaysOnTop[] = "isAlwaysOnTop";
inline constexpr char kIsFullscreen[] = "isFullscreen";
inline constexpr char kIsMaximized[] = "isMaximized";
inline constexpr char kIsMinimized[] = "isMinimized";
inline constexpr char kIsVisible[] = "isVisible";
inline constexpr char kIsClosed[] = "isClosed";
inline constexpr char kResponseSuffix[] = "Response";

// Browser to renderer.
inline constexpr char kRestartBackendResponse[] = "restartBackendResponse";
inline constexpr char kOnBeforeUnload[] = "onBeforeUnload";
inline constexpr char kOnDragFile[] = "onDragFile";
inline constexpr char kOnDownloadUpdated[] = "onDownloadUpdated";
inline constexpr char kNativeMenuAction[] = "nativeMenuAction";

}  // namespace bridge

#endif  // KORVEL_BRIDGE_COMMON_BRIDGE_MESSAGES_H_
