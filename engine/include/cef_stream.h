// Byte sinks the engine writes into, such as the contents of a file dragged
// out of the page.

#ifndef CEF_INCLUDE_CEF_STREAM_H_
#define CEF_INCLUDE_CEF_STREAM_H_
#pragma once

#include <cstddef>
#include <cstdint>

#include "include/cef_base.h"

// Any thread, one at a time.
class CefStreamWriter : public virtual CefBaseRefCounted {
 public:
  // A writer into the file |fileName|, created or truncated; null when the
  // file cannot be opened.
  static CefRefPtr<CefStreamWriter> CreateForFile(const CefString& fileName);

  // Writes |n| items of |size| bytes from |ptr|; returns the items written.
  virtual size_t Write(const void* ptr, size_t size, size_t n) = 0;
  // Moves to |offset| from SEEK_SET, SEEK_CUR or SEEK_END; 0 on success.
  virtual int Seek(int64_t offset, int whence) = 0;
  // The current position.
  virtual int64_t Tell() = 0;
  // 0 on success.
  virtual int Flush() = 0;
  // Whether calls may block and so must stay off the UI and IO threads.
  virtual bool MayBlock() = 0;
};

#endif  // CEF_INCLUDE_CEF_STREAM_H_
