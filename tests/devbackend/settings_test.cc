// Settings parsing, without a process.

#include <string>

#include <gtest/gtest.h>

#include "devbackend/settings.h"

namespace {

using nlohmann::json;

// A request applied in part would leave the backend in a state no test
// asked for.
TEST(DevBackendSettings, AppliesKnownKeysAndRefusesBadOnesAtomically) {
  Settings settings;
  std::string error;
  ASSERT_TRUE(ApplySettingsJson(
      json::parse(R"({"version":7,"handshakeMessage":"no \"way\"",
                      "handshakeExit":false,"reopenMode":"split",
                      "crashSignal":"31"})"),
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
        R"({"version":8,"crashSignal":"32"})",
        R"({"version":8,"crashSignal":"0"})",
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

}  // namespace
