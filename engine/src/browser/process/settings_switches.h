// How CefSettings become command-line switches and storage paths.

#ifndef CEFENGINE_BROWSER_PROCESS_SETTINGS_SWITCHES_H_
#define CEFENGINE_BROWSER_PROCESS_SETTINGS_SWITCHES_H_

#include <string>

#include "include/cef_command_line.h"
#include "include/internal/cef_types_wrappers.h"

namespace cefengine {

// Adds the switches that stand for settings (no-sandbox, log-file,
// log-severity, js-flags, lang, remote-debugging-port for ports 1024..65535)
// before the application sees the command line; a switch already given on
// the command line wins.
void ApplySettingsSwitches(const CefSettings& settings,
                           CefRefPtr<CefCommandLine> command_line);

// As the production engine does, a root_cache_path or cache_path that is
// not absolute is logged as an error and taken as empty, so that the
// defaults apply: the per-user root below, and a cache_path that follows the
// root. (The production engine keeps an empty cache_path in memory; this
// engine keeps it in the root.) An empty root with a cache_path becomes that
// cache_path.
void DropRelativeCachePaths(CefSettings& settings);

// The root cache directory: root_cache_path, else cache_path, else the
// per-user default ~/.config/cef_user_data. No trailing separator.
std::string ResolveRootCachePath(const CefSettings& settings);

// Where the profile keeps its files: cache_path when it is |root| or inside
// it; the "Default" child of |root| when it lies elsewhere (logged, as CEF
// ignores such a value); |root| itself when cache_path is empty.
std::string ResolveProfilePath(const CefSettings& settings,
                               const std::string& root);

// Creates a cache_path that is |root| or lies inside it, with its missing
// parents, before the log file opens, as the production engine does while it
// checks its settings: a log kept beside the cache directories can then be
// written on the very first start. Nothing is created for a cache_path
// outside |root| (which the engine does not use) or an empty one.
void CreateCachePath(const CefSettings& settings, const std::string& root);

// mkdir -p with mode 0700 for the directories it creates; whether |dir| is a
// directory afterwards.
bool MakeDirs(const std::string& dir);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PROCESS_SETTINGS_SWITCHES_H_
