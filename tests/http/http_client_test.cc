#include "backend/http_client.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/http/hosts_setup.h"
#include "tests/support/engine_harness/test_server.h"
#include "tests/support/engine_harness/wait_until.h"

namespace {

using namespace std::string_literals;
using engine_test::ListenOn;
using engine_test::Reply;
using engine_test::ReplyAndHold;
using engine_test::Stream;
using engine_test::TestServer;
using Clock = std::chrono::steady_clock;

std::string Url(int port, const std::string& path = "/") {
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

long long MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                               start)
      .count();
}

// The Host value keeps a port other than 80 and an IPv6 literal's brackets;
// user, fragment and the case of scheme and host go.
TEST(HttpUrlTest, PartsOfUsableUrls) {
  struct Case {
    std::string url, host, port, hostHeader, path;
  } const cases[] = {
      {"http://localhost:35580", "localhost", "35580", "localhost:35580", "/"},
      {"http://user:pw@127.0.0.1:80/a?b=c#frag", "127.0.0.1", "80", "127.0.0.1",
       "/a?b=c"},
      {"HTTP://LocalHost:8080/X/y", "localhost", "8080", "localhost:8080",
       "/X/y"},
      {"http://[::1]:8080/", "[::1]", "8080", "[::1]:8080", "/"},
  };
  for (const Case& c : cases) {
    std::string host, port, hostHeader, path;
    ASSERT_TRUE(ParseHttpUrl(c.url, host, port, hostHeader, path)) << c.url;
    EXPECT_EQ(c.host + " " + c.port + " " + c.hostHeader + " " + c.path,
              host + " " + port + " " + hostHeader + " " + path);
  }
}

// Headers in the caller's order, repeated ones too, the query kept and the
// fragment dropped, no Content-Length without a body. (The requests of the
// readiness wait and the handshake: ScriptedBackendTest.)
TEST(SendHttpRequestTest, RequestBytesOnTheWire) {
  TestServer server(AF_INET, 0, Reply("HTTP/1.1 200 OK\r\n\r\n{}"));
  ASSERT_TRUE(server.ok());
  const std::string host = "Host: 127.0.0.1:" + std::to_string(server.port());
  HttpResponse response;
  EXPECT_TRUE(SendHttpRequest(
      Url(server.port(), "/hot-update/prepare-restart?a=b#frag"), "POST",
      {{"Content-Type", "application/json"}, {"X-B", "2"}, {"X-B", "1"}}, "{}",
      response));
  EXPECT_TRUE(
      SendHttpRequest(Url(server.port(), "/empty"), "POST", {}, "", response));
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("POST /hot-update/prepare-restart?a=b HTTP/1.1\r\n" + host +
                "\r\nConnection: close\r\nContent-Type: application/json\r\n"
                "X-B: 2\r\nX-B: 1\r\nContent-Length: 2\r\n\r\n{}",
            requests[0]);
  // No Content-Length for an empty body, even for POST.
  EXPECT_EQ("POST /empty HTTP/1.1\r\n" + host + "\r\nConnection: close\r\n\r\n",
            requests[1]);
}

// Any answer, however malformed, gives a status and body or a failure,
// never a crash or a read past the data (nor a status of 0 or below:
// fuzz/http_fuzzer.cc).
TEST(SendHttpRequestTest, StatusLineAndBodyOfOddAnswers) {
  struct Case {
    std::string raw;
    bool ok;
    int status;
    std::string body;
  };
  const Case cases[] = {
      {"HTTP/1.1 503 Service Unavailable\r\nContent-Type: application/json"
       "\r\n\r\n{\"message\":\"busy\"}",
       true, 503, "{\"message\":\"busy\"}"},
      {"HTTP/1.1 200 OK\r\nX-A: b", true, 200, ""},
      {"HTTP/1.1 200 OK\r\n\r\nbody\r\n\r\nmore\0bin"s, true, 200,
       "body\r\n\r\nmore\0bin"s},
      {"HTTP/2 200\r\n\r\nok", true, 200, "ok"},
      {"HTTP/1.1 200abc\r\n\r\nz", true, 200, "z"},
      {"HTTP/1.1 200 OK", false, 0, ""},
      {"HTTP/1.1 abc OK\r\n\r\nx", false, 0, ""},
      {"HTTP/1.1\r\n\r\n", false, 0, ""},
      {"HTTP/1.1  200 OK\r\n\r\n", false, 0, ""},
      {"", false, 0, ""},
  };
  for (const Case& c : cases) {
    TestServer server(AF_INET, 0, Reply(c.raw));
    ASSERT_TRUE(server.ok());
    HttpResponse response;
    ASSERT_EQ(c.ok,
              SendHttpRequest(Url(server.port()), "GET", {}, "", response))
        << c.raw;
    if (c.ok) {
      EXPECT_EQ(c.status, response.status) << c.raw;
      EXPECT_EQ(c.body, response.body) << c.raw;
    }
  }
}

// A server that never closes: the read ends when the receive timeout runs
// out, and what arrived by then is the answer.
TEST(SendHttpRequestTest, ServerThatNeverClosesEndsAtTheTimeout) {
  TestServer server(AF_INET, 0, ReplyAndHold("HTTP/1.1 200 OK\r\n\r\npart"));
  ASSERT_TRUE(server.ok());
  HttpResponse response;
  Clock::time_point start = Clock::now();
  EXPECT_TRUE(SendHttpRequest(Url(server.port()), "GET", {}, "", response));
  long long elapsed = MsSince(start);
  EXPECT_GE(elapsed, kHttpRequestTimeoutMs - 50);
  EXPECT_LT(elapsed, kHttpRequestTimeoutMs + 700);
  EXPECT_EQ(200, response.status);
  EXPECT_EQ("part", response.body);

  TestServer silent(AF_INET, 0, ReplyAndHold(""));
  start = Clock::now();
  EXPECT_FALSE(SendHttpRequest(Url(silent.port()), "GET", {}, "", response));
  EXPECT_LT(MsSince(start), kHttpRequestTimeoutMs + 700);
}

// Every receive restarts the socket timeout: without an overall bound a
// server that keeps sending would hold the caller forever.
TEST(SendHttpRequestTest, EndlessBodyStopsAtTheSizeCap) {
  const std::string head = "HTTP/1.1 200 OK\r\n\r\n";
  TestServer server(AF_INET, 0, Stream(head, 65536, 0));
  ASSERT_TRUE(server.ok());
  HttpResponse response;
  Clock::time_point start = Clock::now();
  EXPECT_TRUE(SendHttpRequest(Url(server.port()), "GET", {}, "", response));
  EXPECT_LT(MsSince(start), kHttpRequestDeadlineMs);
  EXPECT_EQ(200, response.status);
  EXPECT_EQ(kMaxHttpResponseBytes - head.size(), response.body.size());
}

// A byte every 200 ms keeps each receive alive: only the overall deadline
// ends the request.
TEST(SendHttpRequestTest, TrickleStopsAtTheDeadline) {
  TestServer server(AF_INET, 0, Stream("HTTP/1.1 200 OK\r\n\r\n", 1, 200));
  ASSERT_TRUE(server.ok());
  HttpResponse response;
  Clock::time_point start = Clock::now();
  EXPECT_TRUE(SendHttpRequest(Url(server.port()), "GET", {}, "", response));
  long long elapsed = MsSince(start);
  EXPECT_GE(elapsed, kHttpRequestDeadlineMs - 50);
  EXPECT_LT(elapsed, kHttpRequestDeadlineMs + 400);
  EXPECT_EQ(200, response.status);
  EXPECT_GE(response.body.size(), 10u);
}

// A server that hangs up while a large body is still being sent must not
// end the whole process with SIGPIPE.
TEST(SendHttpRequestTest, PeerHangingUpDuringTheSendRaisesNoSignal) {
  TestServer server(AF_INET, 0, [](TestServer&, int) {});
  ASSERT_TRUE(server.ok());
  HttpResponse response;
  EXPECT_FALSE(SendHttpRequest(Url(server.port()), "POST", {},
                               std::string(16u << 20, 'x'), response));
}

// A redirect (a login page) or a short answer is no application yet.
TEST(ProbeUrlTest, OnlyAnHttp1StatusOf200Counts) {
  const std::pair<std::string, bool> cases[] = {
      {"HTTP/1.1 200 OK\r\n\r\n", true},
      {"HTTP/1.0 200 OK\r\n\r\n", true},
      {"HTTP/1.1 200", true},
      {"HTTP/1.1 302 Found\r\nLocation: /login\r\n\r\n", false},
      {"HTTP/2 200\r\n\r\n", false},
      {"HTTP/1.1 20", false},
      {"", false},
  };
  for (const auto& [raw, expected] : cases) {
    TestServer server(AF_INET, 0, Reply(raw));
    ASSERT_TRUE(server.ok());
    // The probe allows the server 50 ms; on a loaded machine its thread may
    // miss that, so an expected success is polled for, as the shell does.
    bool answered = ProbeUrl(Url(server.port(), "/app?x=1"));
    if (expected && !answered) {
      answered = engine_test::WaitUntil(
          [&] { return ProbeUrl(Url(server.port(), "/app?x=1")); },
          std::chrono::milliseconds(10000));
    }
    EXPECT_EQ(expected, answered) << raw;
    ASSERT_LE(1u, server.requests().size());
    EXPECT_EQ("GET /app?x=1 HTTP/1.1\r\nHost: 127.0.0.1:" +
                  std::to_string(server.port()) +
                  "\r\nConnection: close\r\n\r\n",
              server.requests()[0]);
  }
}

// A server that accepts and says nothing must not hold the probe loop.
TEST(ProbeUrlTest, SilentServerFailsQuickly) {
  TestServer server(AF_INET, 0, ReplyAndHold(""));
  ASSERT_TRUE(server.ok());
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(ProbeUrl(Url(server.port())));
  EXPECT_LT(MsSince(start), 300);
  int freePort = 0;
  close(ListenOn(AF_INET, 0, &freePort));
  EXPECT_FALSE(ProbeUrl(Url(freePort)));
}

// Unusable URLs end before any socket is opened (the URL parser refuses
// them).
TEST(NoNetworkTest, HttpsAndEmptyHostNeverConnect) {
  // Both would answer any request that reached them.
  TestServer v4(AF_INET, kBackendPort, Reply("HTTP/1.1 200 OK\r\n\r\n"));
  TestServer v6(AF_INET6, kBackendPort, Reply("HTTP/1.1 200 OK\r\n\r\n"));
  ASSERT_TRUE(v4.ok() && v6.ok());
  const std::string urls[] = {"https://127.0.0.1:35580/ready",
                              "http://:35580/",
                              "ftp://127.0.0.1:35580/",
                              "127.0.0.1:35580",
                              "not a url",
                              ""};
  for (const std::string& url : urls) {
    HttpResponse response;
    EXPECT_FALSE(SendHttpRequest(url, "GET", {}, "", response)) << url;
    EXPECT_FALSE(ProbeUrl(url)) << url;
  }
  EXPECT_EQ(0, v4.accepted() + v6.accepted());
}

// The backend binds 127.0.0.1 only: an IPv6 listener on the port is not it.
// A listener that never accepts: once its queue is full, handshakes go
// unanswered and a plain connect would block far beyond any deadline.
TEST(BackendPortTest, OpenWhileIpv4LoopbackListensEvenWithAFullQueue) {
  EXPECT_FALSE(IsBackendPortOpen());
  {
    TestServer v6(AF_INET6, kBackendPort, ReplyAndHold(""));
    ASSERT_TRUE(v6.ok());
    EXPECT_FALSE(IsBackendPortOpen());
  }
  const int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(kBackendPort);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(
      bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)),
      0);
  ASSERT_EQ(listen(listener, 1), 0);
  for (int i = 0; i < 20; ++i) {
    const Clock::time_point start = Clock::now();
    EXPECT_TRUE(IsBackendPortOpen()) << i;
    EXPECT_LT(MsSince(start), 500) << i;
  }
  close(listener);
  EXPECT_FALSE(IsBackendPortOpen());
}

std::vector<int> LocalhostFamilies() {
  addrinfo hints;
  std::memset(&hints, 0, sizeof(hints));
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  std::vector<int> families;
  if (getaddrinfo("localhost", "80", &hints, &list) == 0) {
    for (addrinfo* a = list; a; a = a->ai_next) {
      families.push_back(a->ai_family);
    }
    freeaddrinfo(list);
  }
  return families;
}

// "localhost" may name ::1 first while the backend listens on 127.0.0.1
// only: a refused or garbled first address must fall through to the next.
TEST(ResolverOrderTest, AddressesAreTriedInResolverOrder) {
  ASSERT_EQ("", HostsSetupError());
  const std::vector<int> families = LocalhostFamilies();
  ASSERT_EQ(2u, families.size());
  ASSERT_NE(families[0], families[1]);
  const auto url = [](int port) {
    return "http://localhost:" + std::to_string(port) + "/";
  };
  HttpResponse response;
  {
    // Only the second address listens: the first refuses, the second answers.
    TestServer second(families[1], 0, Reply("HTTP/1.1 200 OK\r\n\r\nsecond"));
    ASSERT_TRUE(second.ok());
    EXPECT_TRUE(SendHttpRequest(url(second.port()), "GET", {}, "", response));
    EXPECT_EQ("second", response.body);
    EXPECT_TRUE(ProbeUrl(url(second.port())));
  }
  {
    // The first, tried first, answers without a status: the second one's
    // answer counts.
    TestServer second(families[1], 0, Reply("HTTP/1.1 200 OK\r\n\r\nsecond"));
    ASSERT_TRUE(second.ok());
    TestServer first(families[0], second.port(), Reply("garbage\r\n\r\n"));
    ASSERT_TRUE(first.ok());
    EXPECT_TRUE(SendHttpRequest(url(second.port()), "GET", {}, "", response));
    EXPECT_EQ("second", response.body);
    EXPECT_EQ(1, first.accepted());
  }
}

// The brackets of an IPv6 literal belong to the URL, not to the resolver.
TEST(ResolverOrderTest, Ipv6LiteralHost) {
  TestServer server(AF_INET6, 0, Reply("HTTP/1.1 200 OK\r\n\r\nsix"));
  ASSERT_TRUE(server.ok());
  const std::string port = std::to_string(server.port());
  HttpResponse response;
  EXPECT_TRUE(
      SendHttpRequest("http://[::1]:" + port + "/v", "GET", {}, "", response));
  EXPECT_EQ("six", response.body);
}

}  // namespace
