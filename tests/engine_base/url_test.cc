#include <string>

#include "gtest/gtest.h"
#include "include/cef_parser.h"

namespace {

struct Parts {
  bool ok = false;
  std::string spec, scheme, host, port, origin, path, query, fragment;
};

Parts ParseUrl(const std::string& url) {
  CefURLParts parts;
  Parts out;
  out.ok = CefParseURL(url, parts);
  out.spec = CefString(&parts.spec).ToString();
  out.scheme = CefString(&parts.scheme).ToString();
  out.host = CefString(&parts.host).ToString();
  out.port = CefString(&parts.port).ToString();
  out.origin = CefString(&parts.origin).ToString();
  out.path = CefString(&parts.path).ToString();
  out.query = CefString(&parts.query).ToString();
  out.fragment = CefString(&parts.fragment).ToString();
  return out;
}

// Default ports disappear, including with leading zeros. (Case, user, path,
// query and fragment: HttpUrlTest.PartsOfUsableUrls; host forms the
// allow-list meets: AllowedUrlTest.)
TEST(UrlTest, DefaultPortsDisappear) {
  for (const char* url : {"http://a:0080/", "https://a:443/x", "wss://a:443/",
                          "ws://a:80/", "ftp://a:21/", "http://a:/"}) {
    EXPECT_EQ(ParseUrl(url).port, "") << url;
  }
  EXPECT_EQ(ParseUrl("http://a:80/").spec, "http://a/");
  EXPECT_EQ(ParseUrl("https://a:80/").port, "80");
}

TEST(UrlTest, RefusesWhatIsNotAnAbsoluteUrl) {
  for (const char* bad :
       {"not a url", "http://", "http://a:99999/", "/relative", "relative/x",
        "", "://host", "1http://a/", "http://a:8o/", "http://a b/",
        "http://a<b/", "http://[::1/", "http://[1:2:3]/", "http://256.0.0.1/",
        "http://user@/", "https://:443/"}) {
    EXPECT_FALSE(ParseUrl(bad).ok) << bad;
  }
}

TEST(UrlTest, NormalisesPathsAndEscapes) {
  EXPECT_EQ(ParseUrl("http://h/a/./b/../c").path, "/a/c");
  EXPECT_EQ(ParseUrl("http://h/a/%2e%2E/c").path, "/c");
  EXPECT_EQ(ParseUrl("http://h/../..").path, "/");
  EXPECT_EQ(ParseUrl("http://h\\a\\b").path, "/a/b");
  EXPECT_EQ(ParseUrl("http://h/a b").path, "/a%20b");
  EXPECT_EQ(ParseUrl("http://h/%7Efoo%41").path, "/~fooA");
  EXPECT_EQ(ParseUrl("http://h/%2F%zz").path, "/%2F%zz");
  EXPECT_EQ(ParseUrl("http://h/\xC3\xA9").path, "/%C3%A9");
  EXPECT_EQ(ParseUrl("http://h/?a b'c").query, "a%20b%27c");
  EXPECT_EQ(ParseUrl("http://h/#a b").fragment, "a%20b");
  // Surrounding spaces and embedded line breaks are dropped.
  EXPECT_EQ(ParseUrl("  http://h/a\n\tb  ").spec, "http://h/ab");
}

TEST(UrlTest, HostForms) {
  // IPv6 literals keep their brackets and are written in short form.
  Parts v6 = ParseUrl("http://[0:0:0:0:0:0:0:1]:35580/");
  ASSERT_TRUE(v6.ok);
  EXPECT_EQ(v6.host, "[::1]");
  EXPECT_EQ(v6.port, "35580");
  EXPECT_EQ(ParseUrl("http://[2001:DB8:0:0:1:0:0:1]/").host,
            "[2001:db8::1:0:0:1]");
  EXPECT_EQ(ParseUrl("http://[::ffff:192.168.0.1]/").host, "[::ffff:c0a8:1]");
  EXPECT_EQ(ParseUrl("http://2130706433/").host, "127.0.0.1");
  EXPECT_EQ(ParseUrl("http://b\xC3\xBC\x63her.de/").host, "xn--bcher-kva.de");
}

TEST(UrlTest, OtherSchemes) {
  Parts file = ParseUrl("file:///tmp/a%20b");
  ASSERT_TRUE(file.ok);
  EXPECT_EQ(file.host, "");
  EXPECT_EQ(file.path, "/tmp/a%20b");
  EXPECT_EQ(file.origin, "file:///");
  EXPECT_EQ(ParseUrl("file:/etc/hosts").spec, "file:///etc/hosts");

  Parts data = ParseUrl("data:text/html;base64,PGI+");
  ASSERT_TRUE(data.ok);
  EXPECT_EQ(data.scheme, "data");
  EXPECT_EQ(data.host, "");
  EXPECT_EQ(data.path, "text/html;base64,PGI+");
  EXPECT_EQ(data.origin, "");

  Parts about = ParseUrl("About:Blank");
  EXPECT_EQ(about.scheme, "about");
  EXPECT_EQ(about.path, "Blank");
  EXPECT_EQ(ParseUrl("javascript:alert(1)").path, "alert(1)");

  // A custom scheme followed by "//" has a host.
  Parts custom = ParseUrl("korvel://drag?paths=%5B%22%2Fa%22%5D");
  ASSERT_TRUE(custom.ok);
  EXPECT_EQ(custom.scheme, "korvel");
  EXPECT_EQ(custom.host, "drag");
  EXPECT_EQ(custom.path, "");
  EXPECT_EQ(custom.query, "paths=%5B%22%2Fa%22%5D");
  EXPECT_EQ(custom.origin, "");

  // A hostless path that begins with "//" once its dot segments are gone
  // must not read back as a host: the canonical form parses to itself.
  Parts dotted = ParseUrl("fle:/%2e%2e//a%d://tpm/m//a%20b");
  ASSERT_TRUE(dotted.ok);
  EXPECT_EQ(dotted.host, "");
  EXPECT_EQ(dotted.path, "//a%d://tpm/m//a%20b");
  EXPECT_EQ(dotted.spec, "fle:/.//a%d://tpm/m//a%20b");
  Parts again = ParseUrl(dotted.spec);
  EXPECT_EQ(again.spec, dotted.spec);
  EXPECT_EQ(again.host, "");

  // An escape of an unreserved character is written plainly, once per
  // parse, as Chromium does: a stray "%" before it forms a new escape that
  // only the next parse decodes, never a change of host.
  Parts joined = ParseUrl("korTel:/%Tp://2%6%42e");
  ASSERT_TRUE(joined.ok);
  EXPECT_EQ(joined.spec, "kortel:/%Tp://2%6Be");
  Parts settled = ParseUrl(joined.spec);
  EXPECT_EQ(settled.spec, "kortel:/%Tp://2ke");
  EXPECT_EQ(settled.host, "");
  EXPECT_EQ(ParseUrl(settled.spec).spec, settled.spec);
}

}  // namespace
