// Drag links from the page: "korvel://drag?paths=" and a JSON array of
// paths, plain or percent-encoded.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "client/file_drag.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr char kDragLinkPrefix[] = "korvel://drag?paths=";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::AsString(data, size);

  std::string decoded;
  if (PercentDecodeUtf8(text, decoded)) {
    FUZZ_CHECK(fuzz::IsValidUtf8(decoded));
    FUZZ_CHECK(decoded.size() <= text.size());
    if (text.find('%') == std::string::npos) {
      FUZZ_CHECK(decoded == text);
    }
  }

  std::vector<std::string> paths;
  if (DragLinkPaths(text, paths)) {
    FUZZ_CHECK(text.find(kDragLinkPrefix) != std::string::npos);
    for (const std::string& path : paths) {
      FUZZ_CHECK(!path.empty());
      const std::string name = DraggedFileName(path);
      FUZZ_CHECK(!name.empty());
      FUZZ_CHECK(name.find_first_of("/\\") == std::string::npos);
    }
    // The page's own list of the same files reads back as those files.
    std::vector<std::string> again;
    FUZZ_CHECK(DragLinkPaths(
        std::string(kDragLinkPrefix) + DroppedFilesJson(paths), again));
    FUZZ_CHECK(again == paths);
  }
  return 0;
}
