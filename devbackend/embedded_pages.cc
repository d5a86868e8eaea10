#include "devbackend/embedded_pages.h"

const EmbeddedPage* FindEmbeddedPage(const std::string& path) {
  const std::string wanted = path == "/" ? "/index.html" : path;
  for (size_t i = 0; i < kEmbeddedPageCount; ++i) {
    if (wanted == kEmbeddedPages[i].path)
      return &kEmbeddedPages[i];
  }
  return nullptr;
}

std::string ContentTypeForPath(const std::string& path) {
  static const std::pair<const char*, const char*> kTypes[] = {
      {".html", "text/html; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".json", "application/json"},
      {".svg", "image/svg+xml"},
      {".png", "image/png"},
      {".txt", "text/plain; charset=utf-8"},
  };
  const size_t dot = path.rfind('.');
  if (dot != std::string::npos) {
    const std::string extension = path.substr(dot);
    for (const auto& [suffix, type] : kTypes) {
      if (extension == suffix)
        return type;
    }
  }
  return "application/octet-stream";
}
