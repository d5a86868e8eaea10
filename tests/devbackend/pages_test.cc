// The embedded pages and helper URLs that later end-to-end tests load.

#include <gtest/gtest.h>

#include "tests/devbackend/backend_process.h"

namespace {

bool HasHeader(const RawReply& reply, const std::string& line) {
  return (reply.head + "\r\n").find("\r\n" + line + "\r\n") !=
         std::string::npos;
}

// Pages carry their types (a script served as anything else is not run), the
// sample file comes as a download, status URLs answer the status asked, and
// unknown paths 404.
TEST(DevBackendPages, PagesTypesDownloadsAndStatuses) {
  BackendProcess backend;
  ASSERT_TRUE(backend.WaitForPort());
  const RawReply page = Get("/");
  EXPECT_TRUE(HasHeader(page, "Content-Type: text/html; charset=utf-8"));
  EXPECT_EQ(Get("/index.html").body, page.body);
  EXPECT_TRUE(HasHeader(Get("/app.js"),
                        "Content-Type: text/javascript; charset=utf-8"));
  EXPECT_TRUE(
      HasHeader(Get("/app.css"), "Content-Type: text/css; charset=utf-8"));
  const RawReply file = Get("/files/korvel-sample.txt");
  EXPECT_TRUE(HasHeader(
      file, "Content-Disposition: attachment; filename=\"korvel-sample.txt\""));
  EXPECT_FALSE(file.body.empty());

  EXPECT_EQ(Get("/no/such/page.html").status, 404);
  const RawReply noContent = Get("/__status/204");
  EXPECT_EQ(noContent.bytes.rfind("HTTP/1.1 204", 0), 0u);
  EXPECT_TRUE(noContent.body.empty());
  const RawReply redirect = Get("/__status/302");
  EXPECT_EQ(redirect.status, 302);
  EXPECT_TRUE(HasHeader(redirect, "Location: /"));
}

}  // namespace
