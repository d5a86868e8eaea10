#ifndef KORVEL_INSTANCE_BACKEND_OUTPUT_READER_H_
#define KORVEL_INSTANCE_BACKEND_OUTPUT_READER_H_

#include <string_view>

// The line a running backend writes when the user starts the program a
// second time: the window should come to the front.
constexpr std::string_view reopenToken = "korvel:reopen\r\n";

// True when one read chunk asks for a raise: the chunk begins or ends with
// the token. A token in the middle, or split over two reads, does not count.
bool IsReopenChunk(std::string_view chunk);

// Reads the backend's merged stdout/stderr from `fd` until end of file or an
// error, raises the main window for every reopen chunk and closes `fd`.
// Blocks; the launcher runs it on a detached thread of its own.
void BackendOutputReader(int fd);

#endif  // KORVEL_INSTANCE_BACKEND_OUTPUT_READER_H_
