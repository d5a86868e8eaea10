#include "backend/http_client.h"

#include <string>

#include "gtest/gtest.h"

namespace {

struct Parsed {
  bool ok = false;
  std::string host, port, hostHeader, path;
};

Parsed Parse(const std::string& url) {
  Parsed p;
  p.ok = ParseHttpUrl(url, p.host, p.port, p.hostHeader, p.path);
  return p;
}

TEST(HttpUrlTest, PartsOfUsableUrls) {
  Parsed p = Parse("http://localhost:35580");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ("localhost", p.host);
  EXPECT_EQ("35580", p.port);
  EXPECT_EQ("localhost:35580", p.hostHeader);
  EXPECT_EQ("/", p.path);

  // The default port leaves the Host value bare; fragment and user go.
  p = Parse("http://user:pw@127.0.0.1:80/a?b=c#frag");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ("127.0.0.1", p.host);
  EXPECT_EQ("80", p.port);
  EXPECT_EQ("127.0.0.1", p.hostHeader);
  EXPECT_EQ("/a?b=c", p.path);

  p = Parse("HTTP://LocalHost:8080/X/y");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ("localhost:8080", p.hostHeader);
  EXPECT_EQ("/X/y", p.path);

  p = Parse("http://[::1]:8080/");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ("[::1]:8080", p.hostHeader);
}

}  // namespace
