// What may load inside the browser view: the origin allow-list, the engine's
// own pages, and the desktop opener for everything else. Plain functions, so
// that the policy is checked without a browser.

#ifndef KORVEL_CLIENT_URL_POLICY_H_
#define KORVEL_CLIENT_URL_POLICY_H_

#include <set>
#include <string>

#include "include/internal/cef_string.h"

// The allow-list the shell ships with: the product's own hosts, the local
// backend and the development servers.
extern const char kDefaultAllowList[];

// Allow-list entries, lower case: a host name, or a host name, ":" and a port.
using AllowList = std::set<std::string>;

// Splits `text` at commas; every entry is trimmed of spaces (only " "),
// lower-cased and kept when something is left. Duplicates collapse.
AllowList BuildAllowList(const std::string& text);

// True for the engine's own pages (chrome, chrome-error, chrome-search and
// chrome-untrusted URLs). They never load in the view and are never opened
// outside it.
bool IsInternalUrl(const CefString& url);

// True when `url` may load in the view: empty or unparsable URLs, URLs
// without a network origin (about, blob, data, devtools, javascript, the
// shell's own scheme), and hosts on the list, where a loopback host matches
// any loopback name listed with the same port. A URL naming no port matches
// only entries without one.
bool IsAllowedUrl(const CefString& url, const AllowList& allowedHosts);

// Whether `url` may go to the desktop's opener: web and mail addresses only.
// Any other scheme (file, a scheme some local program handles) could run
// something on the user's desktop at a page's request.
bool IsExternalOpenerUrl(const std::string& url);

// Hands `url` to the desktop's default application (xdg-open, the URL as its
// only argument, no shell) from a detached thread and returns at once; a URL
// that IsExternalOpenerUrl refuses is dropped with a warning in the log. The
// opener inherits no descriptor but 0, 1 and 2 and no blocked signal; its
// exit status is ignored. Any thread.
void OpenExternally(const std::string& url);

#endif  // KORVEL_CLIENT_URL_POLICY_H_
