#ifndef KORVEL_DEVBACKEND_OUTPUT_H_
#define KORVEL_DEVBACKEND_OUTPUT_H_

#include <string>

#include "devbackend/settings.h"

// The line that makes a running shell raise its window.
inline constexpr char kReopenToken[] = "korvel:reopen\r\n";

// Writes `text` to `fd` unbuffered. Texts of up to 4096 bytes leave in one
// write(2), which a pipe delivers as one piece; longer ones may take several.
// False when the descriptor refuses the bytes (for example a closed pipe).
bool WriteText(int fd, const std::string& text);

// The bytes of each write that carries the reopen token in `mode`, with
// `otherText` around it. kSplit gives two writes; every other mode one.
std::string ReopenWrites(ReopenMode mode,
                         const std::string& otherText,
                         std::string* secondWrite);

// Writes the token to standard output, or standard error when `toStderr`.
// kSplit makes its second write 200 ms after the first, from another thread.
void WriteReopenToken(ReopenMode mode,
                      bool toStderr,
                      const std::string& otherText);

// The backend's own diagnostics: "korvel-backend: " + `text` + LF on
// standard error in one write, unless SetQuiet(true) turned them off (tests
// of the reopen token want nothing else on the pipe).
void LogLine(const std::string& text);
void SetQuiet(bool quiet);

#endif  // KORVEL_DEVBACKEND_OUTPUT_H_
