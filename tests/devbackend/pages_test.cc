// The embedded pages and helper URLs that later end-to-end tests load.

#include <gtest/gtest.h>

#include "tests/devbackend/backend_process.h"

namespace {

std::string Header(const RawReply& reply, const std::string& name) {
  const size_t at = reply.head.find("\r\n" + name + ": ");
  if (at == std::string::npos)
    return "";
  const size_t start = at + name.size() + 4;
  return reply.head.substr(start, reply.head.find("\r\n", start) - start);
}

class DevBackendPages : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(backend_.WaitForPort()); }
  BackendProcess backend_;
};

TEST_F(DevBackendPages, DemoPageGuardsEveryNativeCall) {
  const RawReply page = Get("/");
  EXPECT_EQ(page.status, 200);
  EXPECT_EQ(Header(page, "Content-Type"), "text/html; charset=utf-8");
  EXPECT_EQ(Get("/index.html").body, page.body);
  const RawReply script = Get("/app.js");
  EXPECT_EQ(script.status, 200);
  EXPECT_EQ(Header(script, "Content-Type"), "text/javascript; charset=utf-8");
  // Calls go through one guard, so the page also works in a plain browser.
  EXPECT_NE(script.body.find("window.korvel && korvel[name]"),
            std::string::npos);
  EXPECT_EQ(Header(Get("/app.css"), "Content-Type"), "text/css; charset=utf-8");
}

TEST_F(DevBackendPages, SampleFileIsServedAsADownload) {
  const RawReply file = Get("/files/korvel-sample.txt");
  EXPECT_EQ(file.status, 200);
  EXPECT_EQ(Header(file, "Content-Disposition"),
            "attachment; filename=\"korvel-sample.txt\"");
  EXPECT_FALSE(file.body.empty());
}

TEST_F(DevBackendPages, TestPagesAndMissingPages) {
  for (const char* path :
       {"/test/blank.html", "/test/links.html", "/test/unload.html",
        "/test/frames.html", "/test/download.html", "/test/bridge.html"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(Get(path).status, 200);
  }
  EXPECT_EQ(Get("/no/such/page.html").status, 404);
}

TEST_F(DevBackendPages, StatusUrlsAnswerTheStatusAsked) {
  const RawReply noContent = Get("/__status/204");
  EXPECT_EQ(noContent.bytes.rfind("HTTP/1.1 204", 0), 0u);
  EXPECT_TRUE(noContent.body.empty());
  const RawReply redirect = Get("/__status/302");
  EXPECT_EQ(redirect.status, 302);
  EXPECT_EQ(Header(redirect, "Location"), "/");
  EXPECT_EQ(Get("/__status/500").status, 500);
}

}  // namespace
