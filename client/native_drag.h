// korvel.startNativeFileDrag: a drag of local files that the shell runs
// itself as an X drag source (XDND), on a thread and an X connection of its
// own. Windowed browsers of the production engine never hand the client a
// drag (StartDragging serves off-screen rendering only), so the drag link
// alone could not take files out of the page there.

#ifndef KORVEL_CLIENT_NATIVE_DRAG_H_
#define KORVEL_CLIENT_NATIVE_DRAG_H_

#include <string>
#include <vector>

// The paths of the JSON array text |json| that a file URI can name:
// strings, not empty (as in a drag link), absolute and free of NUL. Empty
// when |json| is not an array.
std::vector<std::string> DraggableFiles(const std::string& json);

// The text/uri-list of |paths| (absolute): one file:// URI a line, each
// line ending in CRLF; every byte of a path other than an unreserved
// character or "/" is percent-encoded, so a UTF-8 name arrives as itself.
std::string FileUriList(const std::vector<std::string>& paths);

// Drags the files of |json| (see DraggableFiles) from where the pointer is
// until its button comes up, when a button is held at the start; with none
// held, or no file, or a drag of this kind still running, nothing happens.
// The drop targets get text/uri-list and, for text targets, the paths one
// a line. UI thread; returns at once.
void StartNativeFileDrag(const std::string& json);

#endif  // KORVEL_CLIENT_NATIVE_DRAG_H_
