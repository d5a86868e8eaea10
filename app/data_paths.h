#ifndef KORVEL_APP_DATA_PATHS_H_
#define KORVEL_APP_DATA_PATHS_H_

#include <string>

#include "include/internal/cef_types_wrappers.h"

// The per-user data directory: the real user's home directory followed by
// "/.korvel", or empty when the user has no password database entry.
std::string GetDataDir();

// Appends `right` to `left` with exactly one "/" between them, unless either
// side is empty or already carries the separator.
std::string JoinPath(const std::string& left, const std::string& right);

// Fills the engine settings of the browser process from `dataDir`: cache
// root and profile, log file, no sandbox, remote debugging port 0.
void FillEngineSettings(const std::string& dataDir, CefSettings& settings);

// Makes GetDataDir() return `dir` until cleared with an empty string. Tests
// use it so that nothing ever reads or writes the real user's files.
void SetDataDirForTesting(const std::string& dir);

#endif  // KORVEL_APP_DATA_PATHS_H_
