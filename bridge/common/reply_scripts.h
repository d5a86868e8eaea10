// The scripts that the renderer runs in a page for the browser's replies and
// notifications. Plain functions of their inputs, so that their exact text is
// tested without a browser. Every value from outside the page enters a
// script as a JSON literal written by the engine's JSON writer: a string
// reaches the page as exactly that string and never runs as script.

#ifndef KORVEL_BRIDGE_COMMON_REPLY_SCRIPTS_H_
#define KORVEL_BRIDGE_COMMON_REPLY_SCRIPTS_H_

#include <string>
#include <vector>

#include "include/cef_values.h"

// A number as printf's "%g" writes it (six significant digits); the
// non-finite values as the script names them.
std::string ScriptNumber(double value);

// `text` as a quoted, escaped JSON string, which is a script string literal.
std::string ScriptString(const std::string& text);

// The JSON text of `value`; "null" for a missing value.
std::string JsonText(CefRefPtr<CefValue> value);

// Settles the pending query whose resolve function sits in `slot` (for
// example "zoomResolve") with the script value `value`, and clears the slot;
// does nothing when the slot is empty.
std::string QueryReplyScript(const std::string& slot, const std::string& value);

// The reply slot of a query message ("getZoom" -> "zoomResolve",
// "isVisible" -> "isVisibleResolve"); empty for any other name.
std::string QuerySlot(const std::string& queryName);

// Settles the pending restartBackend promise: resolved when `ok`, else
// rejected with an Error whose message is exactly `error`. Does nothing,
// not even clear the slots, when no restart is pending.
std::string RestartReplyScript(bool ok, const std::string& error);

// Sets korvel.dragFiles to the paths of a JSON array text made by the
// browser process. Text that is not a JSON array of strings becomes [].
std::string DragFilesScript(const std::string& pathsJson);

// Hands a download item (a dictionary) to the page's download listeners.
std::string DownloadUpdatedScript(CefRefPtr<CefDictionaryValue> item);

// Asks the page's leave handling whether to leave.
std::string BeforeUnloadScript(bool isReload);

// Dispatches the DOM event "korvel:native-menu" whose detail.action is
// exactly `action`.
std::string NativeMenuScript(const std::string& action);

// Calls korvel.selectFileCallback with the chosen paths, each exactly as
// given (an empty list for a cancelled dialog).
std::string SelectFileScript(const std::vector<std::string>& paths);

// Run after every load: renews the page's content settings and asks the
// engine to keep the site's storage.
inline constexpr char kStartupScript[] =
    "korvel.setup();navigator.storage.persist();";

#endif  // KORVEL_BRIDGE_COMMON_REPLY_SCRIPTS_H_
