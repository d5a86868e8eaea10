#include "client/url_policy.h"

#include <signal.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <cctype>
#include <cerrno>
#include <sstream>

#include "client/detached_thread.h"
#include "include/base/cef_logging.h"
#include "include/cef_parser.h"

extern char** environ;

const char kDefaultAllowList[] =
    "api.korvel.app,storage.korvel.app,storage.korvel.app,korvel.app,"
    "localhost:35580,127.0.0.1:35580,127.0.0.1:35581,localhost:35581,"
    "localhost:8080,127.0.0.1:8080,192.168.1.100:8080";

namespace {

std::string ToLower(std::string text) {
  for (char& c : text) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return text;
}

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

bool IsInternalScheme(const std::string& scheme) {
  return scheme == "chrome" || scheme == "chrome-error" ||
         scheme == "chrome-search" || scheme == "chrome-untrusted";
}

// Schemes whose documents have no network origin of their own.
bool IsLocalScheme(const std::string& scheme) {
  return scheme == "about" || scheme == "blob" || scheme == "data" ||
         scheme == "devtools" || scheme == "chrome-devtools" ||
         scheme == "javascript" || scheme == "korvel";
}

bool IsLoopbackHost(const std::string& host) {
  return host == "localhost" || host == "127.0.0.1" || host == "::1" ||
         host == "[::1]";
}

std::string HostKey(const std::string& host, const std::string& port) {
  return port.empty() ? host : host + ":" + port;
}

// Runs the opener and reaps it. The thread that calls this may have signals
// blocked; the opener starts with none blocked and default dispositions.
void RunOpener(const std::string& url) {
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  sigset_t all;
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string program = "xdg-open";
  std::string argument = url;
  char* argv[] = {program.data(), argument.data(), nullptr};
  pid_t pid = -1;
  const int error =
      posix_spawnp(&pid, "xdg-open", &actions, &attributes, argv, environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    return;
  }
  while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace

AllowList BuildAllowList(const std::string& text) {
  AllowList hosts;
  std::istringstream stream(text);
  std::string token;
  while (std::getline(stream, token, ',')) {
    const size_t first = token.find_first_not_of(' ');
    if (first == std::string::npos) {
      continue;
    }
    const size_t last = token.find_last_not_of(' ');
    hosts.insert(ToLower(token.substr(first, last - first + 1)));
  }
  return hosts;
}

bool IsInternalUrl(const CefString& url) {
  if (url.empty()) {
    return false;
  }
  const std::string lower = ToLower(url.ToString());
  if (StartsWith(lower, "chrome://") || StartsWith(lower, "chrome-error://") ||
      StartsWith(lower, "chrome-search://") ||
      StartsWith(lower, "chrome-untrusted://")) {
    return true;
  }
  CefURLParts parts;
  if (!CefParseURL(url, parts)) {
    return false;
  }
  return IsInternalScheme(ToLower(CefString(&parts.scheme).ToString()));
}

bool IsAllowedUrl(const CefString& url, const AllowList& allowedHosts) {
  if (url.empty() || url.ToString().empty()) {
    return true;
  }
  CefURLParts parts;
  if (!CefParseURL(url, parts)) {
    return true;
  }
  if (IsLocalScheme(ToLower(CefString(&parts.scheme).ToString()))) {
    return true;
  }
  const std::string host = ToLower(CefString(&parts.host).ToString());
  if (host.empty()) {
    return false;
  }
  const std::string port = CefString(&parts.port).ToString();
  if (allowedHosts.count(HostKey(host, port)) > 0) {
    return true;
  }
  if (!IsLoopbackHost(host)) {
    return false;
  }
  for (const char* alias : {"localhost", "127.0.0.1", "::1", "[::1]"}) {
    if (allowedHosts.count(HostKey(alias, port)) > 0) {
      return true;
    }
  }
  return false;
}

bool IsExternalOpenerUrl(const std::string& url) {
  CefURLParts parts;
  if (!CefParseURL(url, parts)) {
    return false;
  }
  const std::string scheme = ToLower(CefString(&parts.scheme).ToString());
  return scheme == "http" || scheme == "https" || scheme == "mailto";
}

void OpenExternally(const std::string& url) {
  if (!IsExternalOpenerUrl(url)) {
    LOG(WARNING) << "Not opened on the desktop: only web and mail addresses "
                    "are, not "
                 << url.substr(0, url.find(':'));
    return;
  }
  if (!RunDetached([url] { RunOpener(url); })) {
    LOG(WARNING) << "Not opened on the desktop: no thread for the opener";
  }
}
