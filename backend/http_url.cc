// Splitting the URLs that the loopback client may request.

#include "backend/http_client.h"

#include "include/cef_parser.h"

std::string BackendBaseUrl() {
  return "http://127.0.0.1:" + std::to_string(kBackendPort);
}

bool ParseHttpUrl(const std::string& url,
                  std::string& host,
                  std::string& port,
                  std::string& hostHeader,
                  std::string& path) {
  if (url.empty()) {
    return false;
  }
  CefURLParts parts;
  if (!CefParseURL(CefString(url), parts)) {
    return false;
  }
  std::string scheme = CefString(&parts.scheme).ToString();
  for (char& c : scheme) {
    if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  if (scheme != "http") {
    return false;
  }
  std::string parsedHost = CefString(&parts.host).ToString();
  if (parsedHost.empty()) {
    return false;
  }
  std::string parsedPort = CefString(&parts.port).ToString();
  if (parsedPort.empty()) {
    parsedPort = "80";
  }
  std::string target = CefString(&parts.path).ToString();
  if (target.empty()) {
    target = "/";
  }
  const std::string query = CefString(&parts.query).ToString();
  if (!query.empty()) {
    target += "?" + query;
  }
  // An IPv6 literal needs its brackets in the Host header.
  std::string header = parsedHost;
  if (header.find(':') != std::string::npos && header.front() != '[') {
    header = "[" + header + "]";
  }
  if (parsedPort != "80") {
    header += ":" + parsedPort;
  }
  host = parsedHost;
  port = parsedPort;
  hostHeader = header;
  path = target;
  return true;
}
