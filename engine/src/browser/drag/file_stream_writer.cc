// CefStreamWriter on a stdio file.

#include <cstdio>

#include "include/cef_stream.h"

namespace cefengine {

namespace {

class FileStreamWriter : public CefStreamWriter {
 public:
  explicit FileStreamWriter(FILE* file) : file_(file) {}
  ~FileStreamWriter() override { fclose(file_); }
  FileStreamWriter(const FileStreamWriter&) = delete;
  FileStreamWriter& operator=(const FileStreamWriter&) = delete;

  // CefStreamWriter methods:
  size_t Write(const void* ptr, size_t size, size_t n) override {
    return fwrite(ptr, size, n, file_);
  }
  int Seek(int64_t offset, int whence) override {
    return fseeko(file_, static_cast<off_t>(offset), whence);
  }
  int64_t Tell() override { return static_cast<int64_t>(ftello(file_)); }
  int Flush() override { return fflush(file_); }
  bool MayBlock() override { return true; }

 private:
  FILE* const file_;
  IMPLEMENT_REFCOUNTING(FileStreamWriter);
};

}  // namespace

}  // namespace cefengine

// static
CefRefPtr<CefStreamWriter> CefStreamWriter::CreateForFile(
    const CefString& fileName) {
  FILE* file = fopen(fileName.ToString().c_str(), "wb");
  if (!file) {
    return nullptr;
  }
  return new cefengine::FileStreamWriter(file);
}
