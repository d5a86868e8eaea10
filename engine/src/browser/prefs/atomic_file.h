// Replacing a small file so that readers and crashes only ever see the old
// or the new contents.

#ifndef CEFENGINE_BROWSER_PREFS_ATOMIC_FILE_H_
#define CEFENGINE_BROWSER_PREFS_ATOMIC_FILE_H_

#include <string>

namespace cefengine {

// Writes |contents| to a temporary file next to |path|, flushes it to disk
// and renames it over |path|. False (leaving no temporary file and |path|
// as it was) when any step fails.
bool WriteFileAtomically(const std::string& path, const std::string& contents);

// The whole of |path| in |contents|; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string* contents);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PREFS_ATOMIC_FILE_H_
