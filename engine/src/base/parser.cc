// The URL functions and MIME lookups of cef_parser.h.

#include <string>
#include <utility>

#include "include/cef_parser.h"
#include "src/base/url_canon.h"

namespace {

void Fill(const cef_base::CanonURL& url, CefURLParts& parts) {
  CefString(&parts.spec).FromString(url.spec);
  CefString(&parts.scheme).FromString(url.scheme);
  CefString(&parts.username).FromString(url.username);
  CefString(&parts.password).FromString(url.password);
  CefString(&parts.host).FromString(url.host);
  CefString(&parts.port).FromString(url.port);
  CefString(&parts.origin).FromString(url.Origin());
  CefString(&parts.path).FromString(url.path);
  CefString(&parts.query).FromString(url.query);
  CefString(&parts.fragment).FromString(url.fragment);
}

std::string Field(const cef_string_t& field) {
  return CefString(&field).ToString();
}

struct MimeEntry {
  const char* extension;
  const char* mime_type;
};

// The preferred extension of a type comes first.
constexpr MimeEntry kMimeTypes[] = {
    {"html", "text/html"},        {"htm", "text/html"},
    {"shtml", "text/html"},       {"css", "text/css"},
    {"js", "text/javascript"},    {"mjs", "text/javascript"},
    {"json", "application/json"}, {"txt", "text/plain"},
    {"text", "text/plain"},       {"csv", "text/csv"},
    {"xml", "text/xml"},          {"png", "image/png"},
    {"jpg", "image/jpeg"},        {"jpeg", "image/jpeg"},
    {"gif", "image/gif"},         {"webp", "image/webp"},
    {"svg", "image/svg+xml"},     {"svgz", "image/svg+xml"},
    {"ico", "image/x-icon"},      {"bmp", "image/bmp"},
    {"avif", "image/avif"},       {"pdf", "application/pdf"},
    {"wasm", "application/wasm"}, {"zip", "application/zip"},
    {"gz", "application/gzip"},   {"tgz", "application/gzip"},
    {"mp4", "video/mp4"},         {"m4v", "video/mp4"},
    {"webm", "video/webm"},       {"ogv", "video/ogg"},
    {"mp3", "audio/mpeg"},        {"wav", "audio/wav"},
    {"ogg", "audio/ogg"},         {"oga", "audio/ogg"},
    {"flac", "audio/flac"},       {"m4a", "audio/x-m4a"},
    {"woff", "font/woff"},        {"woff2", "font/woff2"},
    {"ttf", "font/ttf"},          {"otf", "font/otf"},
};

std::string AsciiLower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  return text;
}

}  // namespace

bool CefResolveURL(const CefString& base_url,
                   const CefString& relative_url,
                   CefString& resolved_url) {
  cef_base::CanonURL url;
  if (!cef_base::ResolveURL(base_url.ToString(), relative_url.ToString(),
                            &url)) {
    return false;
  }
  resolved_url = url.spec;
  return true;
}

bool CefParseURL(const CefString& url, CefURLParts& parts) {
  cef_base::CanonURL canon;
  if (!cef_base::CanonicalizeURL(url.ToString(), &canon)) {
    return false;
  }
  Fill(canon, parts);
  return true;
}

bool CefCreateURL(const CefURLParts& parts, CefString& url) {
  std::string text = Field(parts.spec);
  const std::string scheme = Field(parts.scheme);
  const std::string host = Field(parts.host);
  if (text.empty() && !scheme.empty() && !host.empty()) {
    text = scheme + "://";
    const std::string username = Field(parts.username);
    const std::string password = Field(parts.password);
    if (!username.empty()) {
      text += username;
      if (!password.empty()) {
        text += ":" + password;
      }
      text += "@";
    }
    text += host;
    const std::string port = Field(parts.port);
    if (!port.empty()) {
      text += ":" + port;
    }
    text += Field(parts.path);
    const std::string query = Field(parts.query);
    if (!query.empty()) {
      text += "?" + query;
    }
    const std::string fragment = Field(parts.fragment);
    if (!fragment.empty()) {
      text += "#" + fragment;
    }
  }
  cef_base::CanonURL canon;
  if (text.empty() || !cef_base::CanonicalizeURL(text, &canon)) {
    return false;
  }
  url = canon.spec;
  return true;
}

CefString CefFormatUrlForSecurityDisplay(const CefString& origin_url) {
  cef_base::CanonURL canon;
  if (!cef_base::CanonicalizeURL(origin_url.ToString(), &canon)) {
    return origin_url;
  }
  if (canon.special && canon.scheme != "file") {
    // Only what identifies the site: scheme, host and a non-default port.
    return canon.scheme + "://" + canon.host +
           (canon.port.empty() ? "" : ":" + canon.port);
  }
  return canon.spec;
}

CefString CefGetMimeType(const CefString& extension) {
  const std::string wanted = AsciiLower(extension.ToString());
  for (const MimeEntry& entry : kMimeTypes) {
    if (wanted == entry.extension) {
      return entry.mime_type;
    }
  }
  return CefString();
}

void CefGetExtensionsForMimeType(const CefString& mime_type,
                                 std::vector<CefString>& extensions) {
  const std::string wanted = AsciiLower(mime_type.ToString());
  for (const MimeEntry& entry : kMimeTypes) {
    if (wanted == entry.mime_type) {
      extensions.push_back(entry.extension);
    }
  }
}
