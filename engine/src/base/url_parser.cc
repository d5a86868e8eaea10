// Parsing and serialising absolute URLs; relative resolution.

#include <cctype>
#include <string>
#include <vector>

#include "src/base/percent_escape.h"
#include "src/base/url_canon.h"

namespace cef_base {
namespace {

bool IsSpecialScheme(const std::string& scheme) {
  return scheme == "http" || scheme == "https" || scheme == "ws" ||
         scheme == "wss" || scheme == "ftp" || scheme == "file";
}

std::string DefaultPort(const std::string& scheme) {
  if (scheme == "http" || scheme == "ws") {
    return "80";
  }
  if (scheme == "https" || scheme == "wss") {
    return "443";
  }
  if (scheme == "ftp") {
    return "21";
  }
  return "";
}

bool IsC0OrSpace(unsigned char c) {
  return c <= 0x20;
}

// Percent-encode sets of the URL Standard (non-ASCII is always encoded).
bool EscapeInPath(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == ' ' || c == '"' || c == '#' ||
         c == '<' || c == '>' || c == '?' || c == '`' || c == '{' || c == '}';
}
bool EscapeInOpaquePath(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}
bool EscapeInQuery(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == ' ' || c == '"' || c == '#' ||
         c == '<' || c == '>';
}
bool EscapeInSpecialQuery(unsigned char c) {
  return EscapeInQuery(c) || c == '\'';
}
bool EscapeInFragment(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == ' ' || c == '"' || c == '<' ||
         c == '>' || c == '`';
}
bool EscapeInUserinfo(unsigned char c) {
  return EscapeInPath(c) || c == '/' || c == ':' || c == ';' || c == '=' ||
         c == '@' || c == '[' || c == '\\' || c == ']' || c == '^' || c == '|';
}

// Escapes of unreserved characters carry no meaning; write them plainly.
std::string UnescapeUnreserved(const std::string& in) {
  std::string out;
  for (size_t i = 0; i < in.size(); ++i) {
    if (IsEscapeAt(in, i)) {
      const char c = static_cast<char>(EscapedByte(in, i));
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ||
          c == '_' || c == '~') {
        out.push_back(c);
        i += 2;
        continue;
      }
    }
    out.push_back(in[i]);
  }
  return out;
}

bool IsDotSegment(const std::string& s) {
  return s == "." || s == "%2e" || s == "%2E";
}

bool IsDoubleDotSegment(const std::string& s) {
  std::string lower;
  for (char c : s) {
    lower.push_back(
        static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  }
  return lower == ".." || lower == ".%2e" || lower == "%2e." ||
         lower == "%2e%2e";
}

// Normalises a path that starts with "/": resolves "." and "..", escapes.
std::string CanonicalizePath(const std::string& raw, bool special) {
  std::vector<std::string> segments;
  size_t start = 1;
  while (true) {
    size_t end = raw.find('/', start);
    if (special) {
      const size_t backslash = raw.find('\\', start);
      if (backslash < end) {
        end = backslash;
      }
    }
    const std::string segment = raw.substr(start, end - start);
    const bool last = end == std::string::npos;
    if (IsDoubleDotSegment(segment)) {
      if (!segments.empty()) {
        segments.pop_back();
      }
      if (last) {
        segments.push_back("");
      }
    } else if (IsDotSegment(segment)) {
      if (last) {
        segments.push_back("");
      }
    } else {
      segments.push_back(segment);
    }
    if (last) {
      break;
    }
    start = end + 1;
  }
  std::string path;
  for (const std::string& segment : segments) {
    path.push_back('/');
    AppendEscaped(UnescapeUnreserved(segment), EscapeInPath, &path);
  }
  return path.empty() ? "/" : path;
}

bool ParsePort(const std::string& text,
               const std::string& scheme,
               std::string* port) {
  if (text.empty()) {
    port->clear();
    return true;
  }
  unsigned long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') {
      return false;
    }
    value = value * 10 + static_cast<unsigned long>(c - '0');
    if (value > 65535) {
      return false;
    }
  }
  *port = std::to_string(value);
  if (*port == DefaultPort(scheme)) {
    port->clear();
  }
  return true;
}

// Removes leading and trailing C0 controls and spaces, and every tab or
// line break inside.
std::string Prepare(const std::string& input) {
  size_t begin = 0;
  size_t end = input.size();
  while (begin < end && IsC0OrSpace(static_cast<unsigned char>(input[begin]))) {
    ++begin;
  }
  while (end > begin &&
         IsC0OrSpace(static_cast<unsigned char>(input[end - 1]))) {
    --end;
  }
  std::string out;
  for (size_t i = begin; i < end; ++i) {
    if (input[i] != '\t' && input[i] != '\n' && input[i] != '\r') {
      out.push_back(input[i]);
    }
  }
  return out;
}

// Splits "scheme:rest"; false when there is no valid scheme.
bool SplitScheme(const std::string& url, std::string* scheme, size_t* rest) {
  const size_t colon = url.find(':');
  if (colon == std::string::npos || colon == 0 ||
      !std::isalpha(static_cast<unsigned char>(url[0]))) {
    return false;
  }
  for (size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(url[i]);
    if (!std::isalnum(c) && c != '+' && c != '-' && c != '.') {
      return false;
    }
  }
  scheme->clear();
  for (size_t i = 0; i < colon; ++i) {
    scheme->push_back(
        static_cast<char>(std::tolower(static_cast<unsigned char>(url[i]))));
  }
  *rest = colon + 1;
  return true;
}

bool ParseAuthority(const std::string& authority, CanonURL* url) {
  std::string hostport = authority;
  const size_t at = authority.rfind('@');
  if (at != std::string::npos) {
    const std::string userinfo = authority.substr(0, at);
    hostport = authority.substr(at + 1);
    const size_t colon = userinfo.find(':');
    AppendEscaped(userinfo.substr(0, colon), EscapeInUserinfo, &url->username);
    if (colon != std::string::npos) {
      AppendEscaped(userinfo.substr(colon + 1), EscapeInUserinfo,
                    &url->password);
    }
  }
  std::string host_text = hostport;
  std::string port_text;
  const size_t bracket = hostport.rfind(']');
  const size_t colon = hostport.rfind(':');
  if (colon != std::string::npos &&
      (bracket == std::string::npos || colon > bracket)) {
    host_text = hostport.substr(0, colon);
    port_text = hostport.substr(colon + 1);
  }
  if (host_text.empty()) {
    // Only file URLs and non-special schemes may lack a host, and then
    // nothing else of the authority may be present.
    if ((url->special && url->scheme != "file") || at != std::string::npos ||
        !port_text.empty()) {
      return false;
    }
    url->host.clear();
  } else if (!CanonicalizeHost(host_text, url->special, &url->host)) {
    return false;
  }
  if (url->scheme == "file" && !port_text.empty()) {
    return false;
  }
  return ParsePort(port_text, url->scheme, &url->port);
}

void BuildSpec(CanonURL* url) {
  std::string& spec = url->spec;
  spec = url->scheme + ":";
  if (url->has_authority) {
    spec += "//";
    if (!url->username.empty() || !url->password.empty()) {
      spec += url->username;
      if (!url->password.empty()) {
        spec += ":" + url->password;
      }
      spec += "@";
    }
    spec += url->host;
    if (!url->port.empty()) {
      spec += ":" + url->port;
    }
  } else if (url->path.compare(0, 2, "//") == 0) {
    // Without "/." a path that starts with "//" (left after dot segments
    // went) would read back as a host.
    spec += "/.";
  }
  spec += url->path;
  if (url->has_query) {
    spec += "?" + url->query;
  }
  if (url->has_fragment) {
    spec += "#" + url->fragment;
  }
}

}  // namespace

std::string CanonURL::Origin() const {
  if (!special) {
    return "";
  }
  if (scheme == "file") {
    return "file:///";
  }
  return scheme + "://" + host + (port.empty() ? "" : ":" + port) + "/";
}

bool CanonicalizeURL(const std::string& input, CanonURL* out) {
  const std::string url = Prepare(input);
  CanonURL result;
  size_t pos = 0;
  if (!SplitScheme(url, &result.scheme, &pos)) {
    return false;
  }
  result.special = IsSpecialScheme(result.scheme);

  // The fragment and query are split off first; what is left is the
  // hierarchical part.
  std::string rest = url.substr(pos);
  const size_t hash = rest.find('#');
  if (hash != std::string::npos) {
    result.has_fragment = true;
    AppendEscaped(rest.substr(hash + 1), EscapeInFragment, &result.fragment);
    rest.erase(hash);
  }
  const size_t question = rest.find('?');
  std::string raw_query;
  if (question != std::string::npos) {
    result.has_query = true;
    raw_query = rest.substr(question + 1);
    rest.erase(question);
  }

  auto is_slash = [&](char c) {
    return c == '/' || (result.special && c == '\\');
  };

  if (result.special) {
    size_t slashes = 0;
    while (slashes < rest.size() && is_slash(rest[slashes])) {
      ++slashes;
    }
    size_t host_start = slashes;
    if (result.scheme == "file") {
      // "file://host/path" names a host; "file:/path" and "file:path"
      // have none. Further slashes belong to the path.
      host_start = slashes >= 2 ? 2 : 0;
    }
    result.has_authority = true;
    if (result.scheme == "file" && slashes < 2) {
      result.path = CanonicalizePath(
          slashes == 0 ? "/" + rest : rest.substr(slashes - 1), true);
    } else {
      size_t end = host_start;
      while (end < rest.size() && !is_slash(rest[end])) {
        ++end;
      }
      if (!ParseAuthority(rest.substr(host_start, end - host_start), &result)) {
        return false;
      }
      result.path =
          CanonicalizePath(end < rest.size() ? rest.substr(end) : "/", true);
    }
  } else if (rest.compare(0, 2, "//") == 0) {
    size_t end = 2;
    while (end < rest.size() && rest[end] != '/') {
      ++end;
    }
    result.has_authority = true;
    if (!ParseAuthority(rest.substr(2, end - 2), &result)) {
      return false;
    }
    if (end < rest.size()) {
      result.path = CanonicalizePath(rest.substr(end), false);
    }
  } else if (!rest.empty() && rest[0] == '/') {
    result.path = CanonicalizePath(rest, false);
  } else {
    AppendEscaped(rest, EscapeInOpaquePath, &result.path);
  }

  if (result.has_query) {
    AppendEscaped(raw_query,
                  result.special ? EscapeInSpecialQuery : EscapeInQuery,
                  &result.query);
  }
  BuildSpec(&result);
  *out = std::move(result);
  return true;
}

bool ResolveURL(const std::string& base_text,
                const std::string& relative_text,
                CanonURL* out) {
  CanonURL base;
  if (!CanonicalizeURL(base_text, &base)) {
    return false;
  }
  const std::string relative = Prepare(relative_text);
  std::string scheme;
  size_t rest = 0;
  if (SplitScheme(relative, &scheme, &rest)) {
    // "http:foo" relative to an http base keeps the base's authority.
    const bool same_special =
        scheme == base.scheme && base.special &&
        (rest >= relative.size() ||
         (relative[rest] != '/' && relative[rest] != '\\'));
    if (!same_special) {
      return CanonicalizeURL(relative, out);
    }
    return ResolveURL(base_text, relative.substr(rest), out);
  }
  const bool hierarchical =
      base.has_authority || (!base.path.empty() && base.path[0] == '/');
  std::string prefix = base.scheme + ":";
  if (base.has_authority) {
    prefix = base.spec.substr(
        0, base.spec.size() - base.path.size() -
               (base.has_query ? base.query.size() + 1 : 0) -
               (base.has_fragment ? base.fragment.size() + 1 : 0));
  }
  std::string base_without_fragment =
      base.has_fragment
          ? base.spec.substr(0, base.spec.size() - base.fragment.size() - 1)
          : base.spec;
  if (relative.empty()) {
    return CanonicalizeURL(base_without_fragment, out);
  }
  if (relative[0] == '#') {
    return CanonicalizeURL(base_without_fragment + relative, out);
  }
  if (!hierarchical) {
    return false;
  }
  const bool slash0 =
      relative[0] == '/' || (base.special && relative[0] == '\\');
  const bool slash1 =
      relative.size() > 1 &&
      (relative[1] == '/' || (base.special && relative[1] == '\\'));
  if (slash0 && slash1) {
    return CanonicalizeURL(base.scheme + ":" + relative, out);
  }
  if (slash0) {
    return CanonicalizeURL(prefix + relative, out);
  }
  if (relative[0] == '?') {
    return CanonicalizeURL(prefix + base.path + relative, out);
  }
  const size_t last_slash = base.path.rfind('/');
  const std::string directory = last_slash == std::string::npos
                                    ? "/"
                                    : base.path.substr(0, last_slash + 1);
  return CanonicalizeURL(prefix + directory + relative, out);
}

}  // namespace cef_base
