// Settings parsing and request splitting, without a process.

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "devbackend/backend_state.h"
#include "devbackend/settings.h"
#include "devbackend/signals.h"

namespace {

using nlohmann::json;

TEST(DevBackendSettings, AppliesKnownKeysAndRefusesBadOnesAtomically) {
  Settings settings;
  std::string error;
  ASSERT_TRUE(ApplySettingsJson(
      json::parse(R"({"version":7,"handshakeMessage":"no \"way\"",
                      "handshakeExit":false,"reopenMode":"split"})"),
      settings, error))
      << error;
  EXPECT_EQ(settings.version, 7);
  EXPECT_EQ(settings.handshakeBody, R"({"message":"no \"way\""})");
  EXPECT_FALSE(settings.handshakeExit);
  EXPECT_EQ(settings.actions.reopenMode, ReopenMode::kSplit);

  // A bad value anywhere leaves every other key of the request unapplied.
  for (const char* bad :
       {R"({"version":8,"nope":1})", R"({"version":8,"port":0})",
        R"({"version":8,"port":70000})", R"({"version":8,"quiet":"yes"})",
        R"({"version":8,"exitStatus":256})", R"({"version":8.5})",
        R"({"version":8,"crashSignal":"sigfoo"})",
        R"({"version":8,"reopenStream":"stdin"})", "[1]"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ApplySettingsJson(json::parse(bad), settings, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(settings.version, 7);
  }

  ASSERT_TRUE(ApplySettingsJson(json::parse(R"({"handshakeBody":null})"),
                                settings, error));
  EXPECT_FALSE(settings.handshakeBody.has_value());
}

// Names and numbers within 1..31 only; anything else is no signal.
TEST(DevBackendSettings, SignalNames) {
  for (const auto& [name, number] :
       std::vector<std::pair<std::string, int>>{{"segv", 11},
                                                {"abort", 6},
                                                {"9", 9},
                                                {"0", 0},
                                                {"32", 0},
                                                {"-1", 0},
                                                {"", 0}}) {
    EXPECT_EQ(SignalFromName(name), number) << name;
  }
}

TEST(DevBackendRawRequest, SplitsHeadHeadersAndBody) {
  const RecordedRequest request = ParseRawRequest(
      "POST /a?b HTTP/1.1\r\nHost: h\r\nX-Empty:\r\nNoColon\r\n\r\n{\r\n\r\n}");
  EXPECT_EQ(request.method, "POST");
  EXPECT_EQ(request.target, "/a?b");
  EXPECT_EQ(request.version, "HTTP/1.1");
  ASSERT_EQ(request.headers.size(), 3u);
  EXPECT_EQ(request.headers[0],
            std::make_pair(std::string("Host"), std::string("h")));
  EXPECT_EQ(request.headers[1].second, "");
  EXPECT_EQ(request.headers[2].first, "NoColon");
  // Only the first blank line ends the head.
  EXPECT_EQ(request.body, "{\r\n\r\n}");

  const RecordedRequest cut = ParseRawRequest("GET /x");
  EXPECT_EQ(cut.method, "GET");
  EXPECT_EQ(cut.target, "/x");
  EXPECT_TRUE(cut.headers.empty());
}

}  // namespace
