// The development engine's URL parser and URI escaping.

#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "include/cef_parser.h"

namespace {

std::string Part(const cef_string_t& part) {
  return CefString(&part).ToString();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::AsString(data, size);

  CefURLParts parts;
  if (CefParseURL(text, parts)) {
    const std::string spec = Part(parts.spec);
    FUZZ_CHECK(!spec.empty());
    // Writing escapes of unreserved characters plainly can join a stray
    // "%" with what follows into a new escape ("%6%42" gives "%6B", then
    // "k"), as Chromium's canonicaliser does too; so the canonical form is
    // a fixed point only after that settles. Each such pass shortens the
    // spec, and none may move the scheme, host, port or query.
    std::string current = spec;
    bool settled = false;
    for (size_t pass = 0; pass <= spec.size() / 2 + 1 && !settled; ++pass) {
      CefURLParts again;
      FUZZ_CHECK(CefParseURL(current, again));
      FUZZ_CHECK(Part(again.scheme) == Part(parts.scheme));
      FUZZ_CHECK(Part(again.host) == Part(parts.host));
      FUZZ_CHECK(Part(again.port) == Part(parts.port));
      FUZZ_CHECK(Part(again.query) == Part(parts.query));
      const std::string next = Part(again.spec);
      FUZZ_CHECK(next.size() <= current.size());
      settled = next == current;
      current = next;
    }
    FUZZ_CHECK(settled);
    // A canonical URL has no raw control character or line break (a space
    // stays raw only in the opaque path of a non-special scheme).
    for (char c : spec) {
      FUZZ_CHECK(static_cast<unsigned char>(c) >= 0x20 && c != 0x7f);
    }
    // Building a URL from the parts gives one that parses.
    CefString built;
    if (CefCreateURL(parts, built)) {
      CefURLParts fromBuilt;
      FUZZ_CHECK(CefParseURL(built, fromBuilt));
    }
    CefString base(spec);
    CefString resolved;
    if (CefResolveURL(base, "../x?y#z", resolved)) {
      CefURLParts fromResolved;
      FUZZ_CHECK(CefParseURL(resolved, fromResolved));
    }
  }

  // Escaping and unescaping everything gives the text back.
  const CefString encoded = CefURIEncode(text, false);
  for (char c : encoded.ToString()) {
    FUZZ_CHECK(static_cast<unsigned char>(c) < 0x80);
  }
  // Control characters and look-alike code points stay escaped by design,
  // so the exact round trip is checked on printable ASCII.
  bool printable = true;
  for (char c : text) {
    printable = printable && c >= 0x20 && c < 0x7f;
  }
  if (printable) {
    const cef_uri_unescape_rule_t all = static_cast<cef_uri_unescape_rule_t>(
        UU_NORMAL | UU_SPACES | UU_PATH_SEPARATORS |
        UU_URL_SPECIAL_CHARS_EXCEPT_PATH_SEPARATORS);
    FUZZ_CHECK(CefURIDecode(encoded, true, all).ToString() == text);
  }
  return 0;
}
