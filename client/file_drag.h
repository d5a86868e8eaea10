// The drag facet of ShellClient: files dragged into the window are named to
// the page, and a drag out of the page that carries a drag link
// ("korvel://drag?paths=" + a JSON array of paths, plain or
// percent-encoded) becomes a drag of those files.

#ifndef KORVEL_CLIENT_FILE_DRAG_H_
#define KORVEL_CLIENT_FILE_DRAG_H_

#include <string>
#include <vector>

#include "include/cef_drag_data.h"

// The JSON array text of |paths|, as the page's korvel.dragFiles.
std::string DroppedFilesJson(const std::vector<std::string>& paths);

// |text| with every %XX escape decoded into its byte; false when the
// result is not valid UTF-8.
bool PercentDecodeUtf8(const std::string& text, std::string& decoded);

// The paths of the JSON array text |json|: elements that are not strings,
// and empty strings, are left out. False when |json| is not an array.
bool PathListFromJson(const std::string& json, std::vector<std::string>& paths);

// The paths of the first drag link in |text|: what follows the prefix,
// read as a JSON array, else percent-decoded as UTF-8 and read again.
// False when there is no link or no array. Elements that are not strings,
// and empty strings, are left out.
bool DragLinkPaths(const std::string& text, std::vector<std::string>& paths);

// The name a dragged file goes by: the last component of |path| ("/" and
// "\" both separate), or "file" when the path ends with a separator.
std::string DraggedFileName(const std::string& path);

// Turns a drag link in |data| (its fragment text, link URL or link
// metadata, the first of them that holds one) into a drag of the named
// files, replacing everything else the data carried. False, with |data|
// untouched, when there is no usable link.
bool ConvertDragLink(CefRefPtr<CefDragData> data);

#endif  // KORVEL_CLIENT_FILE_DRAG_H_
