// The URL canonicaliser behind CefParseURL, CefCreateURL and CefResolveURL.
// It follows the URL Standard as Chromium applies it: special schemes
// (http, https, ws, wss, ftp, file) get a host, default ports are dropped and
// paths are normalised; other schemes keep an opaque path unless they are
// followed by "//", in which case they get an authority as well.

#ifndef ENGINE_SRC_BASE_URL_CANON_H_
#define ENGINE_SRC_BASE_URL_CANON_H_

#include <string>

namespace cef_base {

struct CanonURL {
  std::string spec;
  std::string scheme;
  std::string username;
  std::string password;
  std::string host;  // IPv6 literals keep their brackets.
  std::string port;  // Empty when absent or the scheme's default.
  std::string path;
  std::string query;     // Without "?".
  std::string fragment;  // Without "#".
  bool has_authority = false;
  bool has_query = false;
  bool has_fragment = false;
  bool special = false;

  // "scheme://host[:port]/" for special schemes other than file, where it
  // is "file:///"; empty for others.
  std::string Origin() const;
};

// Parses an absolute URL (UTF-8). Returns false when it is not valid.
bool CanonicalizeURL(const std::string& input, CanonURL* out);

// Resolves |relative| against the absolute |base|.
bool ResolveURL(const std::string& base,
                const std::string& relative,
                CanonURL* out);

// Host canonicalisation (url_host.cc). |special| selects domain rules
// (lower case, IPv4 forms, punycode, forbidden characters); otherwise the
// host is opaque and only percent-encoded. False for an invalid host.
bool CanonicalizeHost(const std::string& raw, bool special, std::string* out);

// Percent-encodes bytes of |in| that |must_escape| selects, and every byte
// outside ASCII, appending to |out|. Existing escapes are kept.
void AppendEscaped(const std::string& in,
                   bool (*must_escape)(unsigned char),
                   std::string* out);

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_URL_CANON_H_
