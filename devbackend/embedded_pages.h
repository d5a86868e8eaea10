#ifndef KORVEL_DEVBACKEND_EMBEDDED_PAGES_H_
#define KORVEL_DEVBACKEND_EMBEDDED_PAGES_H_

#include <cstddef>
#include <string>

// A file of devbackend/pages/, compiled into the executable so that the
// backend needs nothing next to it. `path` is the file's path below pages/
// with a leading "/", which is also the URL path it is served at.
struct EmbeddedPage {
  const char* path;
  const unsigned char* data;
  size_t size;
};

// Generated at build time by embed_pages.cmake.
extern const EmbeddedPage kEmbeddedPages[];
extern const size_t kEmbeddedPageCount;

// The page served at URL path `path` ("/" is "/index.html"), or null.
const EmbeddedPage* FindEmbeddedPage(const std::string& path);

// The Content-Type for a file name, by its extension.
std::string ContentTypeForPath(const std::string& path);

#endif  // KORVEL_DEVBACKEND_EMBEDDED_PAGES_H_
