#ifndef KORVEL_BACKEND_HTTP_CLIENT_H_
#define KORVEL_BACKEND_HTTP_CLIENT_H_

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

// The backend always listens on this port of the IPv4 loopback address.
constexpr int kBackendPort = 35580;

// Per send or receive of SendHttpRequest, and of ProbeUrl.
constexpr int kHttpRequestTimeoutMs = 1000;
constexpr int kHttpProbeTimeoutMs = 50;

// Every receive resets the socket timeout, so a server that keeps sending
// would hold a request forever without these: the whole call ends after the
// deadline, and reading stops once the answer reaches the size cap. What
// arrived until then is parsed as if the server had closed.
constexpr int kHttpRequestDeadlineMs = 5000;
constexpr size_t kMaxHttpResponseBytes = 4u << 20;

using HttpHeaderList = std::vector<std::pair<std::string, std::string>>;

struct HttpResponse {
  int status = 0;
  std::string body;
};

// "http://127.0.0.1:35580", without a trailing slash.
std::string BackendBaseUrl();

// Splits an http URL into what a request needs. False for anything that is
// not a usable http URL (https, empty host, unparsable).
bool ParseHttpUrl(const std::string& url,
                  std::string& host,
                  std::string& port,
                  std::string& hostHeader,
                  std::string& path);

// Sends one HTTP/1.1 request on a fresh connection and reads the answer until
// the peer closes or a 1000 ms socket timeout expires, trying each resolved
// address in resolver order. True when a response with a positive status
// code was read; `response` is only valid then. Blocks for at most
// kHttpRequestDeadlineMs plus name resolution: never call it on the UI
// thread.
bool SendHttpRequest(const std::string& url,
                     const std::string& method,
                     const HttpHeaderList& headers,
                     const std::string& body,
                     HttpResponse& response);

// Reads the status code of the first line and the body after the first blank
// line of what a server sent. False when it has no usable status line.
bool ParseHttpResponse(const std::string& data, HttpResponse& response);

// True only when the server's first bytes are an HTTP/1.x 200 status line.
// Uses 50 ms socket timeouts so that callers can poll every 50 ms.
bool ProbeUrl(const std::string& url);

// Sets the receive and then the send timeout of `socket`; failures ignored.
void SetSocketTimeouts(int socket, int ms);

// Bound of the connect in IsBackendPortOpen().
constexpr int kPortProbeTimeoutMs = 100;

// True when something holds 127.0.0.1:35580. A listener that no longer
// accepts (an exited backend's socket kept by a leftover child) fills its
// queue and leaves further connects unanswered until the kernel gives up, so
// a connect still pending after kPortProbeTimeoutMs counts as held too; only
// a refused connection means the port is free.
bool IsBackendPortOpen();

#endif  // KORVEL_BACKEND_HTTP_CLIENT_H_
