#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "backend/backend_launcher.h"
#include "backend/backend_spawn.h"
#include "backend/readiness.h"
#include "gtest/gtest.h"

namespace {

LaunchConfig Release(bool found, int32_t version) {
  LaunchConfig config;
  config.found = found;
  config.version = version;
  config.executable = "/home/ann/.korvel/.korvel-cn/runtime/2.3.0/bin/server";
  return config;
}

// Only a release newer than the shell beats the installed backend; without
// either, the working directory's, even when that directory is unknown.
TEST(ChooseBackendExecutableTest, PrefersNewerReleaseThenInstallThenCwd) {
  char pattern[] = "/tmp/korvel-choose.XXXXXX";
  int fd = mkstemp(pattern);
  ASSERT_GE(fd, 0);
  close(fd);
  const std::string installed = pattern;
  const std::string missing = installed + ".absent";

  EXPECT_EQ(ChooseBackendExecutable(Release(true, 506), installed, "/w"),
            Release(true, 506).executable);
  // The build number itself is not newer than this shell.
  EXPECT_EQ(ChooseBackendExecutable(Release(true, 505), installed, "/w"),
            installed);
  EXPECT_EQ(ChooseBackendExecutable(Release(false, 900), installed, "/w"),
            installed);
  EXPECT_EQ(ChooseBackendExecutable(Release(true, 505), missing, "/w"),
            "/w/korvel-backend");
  EXPECT_EQ(ChooseBackendExecutable(Release(false, 505), missing, ""),
            "korvel-backend");
  unlink(pattern);
}

// A body that is no object with a boolean "ready" is invalid, not "not
// ready".
TEST(ParseReadyResponseTest, NeedsObjectWithBooleanReady) {
  ReadyInfo info;
  EXPECT_FALSE(ParseReadyResponse("ready", info));
  EXPECT_FALSE(ParseReadyResponse("[true]", info));
  EXPECT_FALSE(ParseReadyResponse("{}", info));
  EXPECT_FALSE(ParseReadyResponse(R"({"ready": "true"})", info));
  // Strict RFC JSON: no trailing commas.
  EXPECT_FALSE(ParseReadyResponse(R"({"ready": true,})", info));
}

// Fields of another type read as absent, and nothing of an earlier answer
// survives into the next. (Fields of their type: ScriptedBackendTest.)
TEST(ParseReadyResponseTest, ReadsFieldsOfTheirTypeOnly) {
  ReadyInfo info;
  ASSERT_TRUE(ParseReadyResponse(
      R"({"ready": true, "version": 512, "versionName": "2.3.0",
          "entryPath": "2.3.0/app.json", "other": [1]})",
      info));
  // A float version, a numeric name and a missing path read as absent, and
  // nothing of the previous answer survives.
  ASSERT_TRUE(ParseReadyResponse(
      R"({"ready": false, "version": 12.0, "versionName": 2})", info));
  EXPECT_FALSE(info.ready);
  EXPECT_EQ(info.version, 0);
  EXPECT_EQ(info.versionName, "");
  EXPECT_EQ(info.entryPath, "");

  ASSERT_TRUE(ParseReadyResponse(R"({"ready": true, "version": "512"})", info));
  EXPECT_EQ(info.version, 0);
}

// The cases the readiness wait cannot easily reach against a live server.
TEST(ReadyTimeoutMessageTest, ValidAnswerOutranksLaterFailures) {
  ReadyInfo seen;
  seen.version = 6;
  EXPECT_EQ(
      ReadyTimeoutMessage(true, seen, 7, "failed to query backend readiness"),
      "backend ready check timed out (expected version 7, got 6)");
  // No attempt at all (an empty budget).
  EXPECT_EQ(ReadyTimeoutMessage(false, ReadyInfo(), 7, ""),
            "backend ready check timed out");
}

}  // namespace
