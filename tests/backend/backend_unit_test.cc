#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "backend/backend_launcher.h"
#include "backend/backend_spawn.h"
#include "backend/hot_restart.h"
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
  EXPECT_EQ(ChooseBackendExecutable(Release(false, 505), missing, "/w/"),
            "/w/korvel-backend");
  EXPECT_EQ(ChooseBackendExecutable(Release(false, 505), missing, "/"),
            "/korvel-backend");
  EXPECT_EQ(ChooseBackendExecutable(Release(false, 505), missing, ""),
            "korvel-backend");
  unlink(pattern);
}

TEST(ParentDirectoryTest, DropsLastComponent) {
  EXPECT_EQ(ParentDirectory("/opt/korvel/korvel-backend"), "/opt/korvel");
  EXPECT_EQ(ParentDirectory("/korvel-backend"), "/");
  EXPECT_EQ(ParentDirectory("korvel-backend"), "");
  EXPECT_EQ(ParentDirectory("bin/server"), "bin");
}

TEST(ParseReadyResponseTest, NeedsObjectWithBooleanReady) {
  ReadyInfo info;
  EXPECT_FALSE(ParseReadyResponse("", info));
  EXPECT_FALSE(ParseReadyResponse("ready", info));
  EXPECT_FALSE(ParseReadyResponse("[true]", info));
  EXPECT_FALSE(ParseReadyResponse("{}", info));
  EXPECT_FALSE(ParseReadyResponse(R"({"ready": "true"})", info));
  EXPECT_FALSE(ParseReadyResponse(R"({"ready": 1})", info));
  // Strict RFC JSON: no trailing commas.
  EXPECT_FALSE(ParseReadyResponse(R"({"ready": true,})", info));
}

TEST(ParseReadyResponseTest, ReadsFieldsOfTheirTypeOnly) {
  ReadyInfo info;
  ASSERT_TRUE(ParseReadyResponse(
      R"({"ready": true, "version": 512, "versionName": "2.3.0",
          "entryPath": "2.3.0/app.json", "other": [1]})",
      info));
  EXPECT_TRUE(info.ready);
  EXPECT_EQ(info.version, 512);
  EXPECT_EQ(info.versionName, "2.3.0");
  EXPECT_EQ(info.entryPath, "2.3.0/app.json");

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

TEST(AcceptsReadyResponseTest, StatusReadyVersionAndName) {
  ReadyInfo info;
  info.ready = true;
  info.version = 512;
  info.versionName = "2.3.0";
  EXPECT_TRUE(AcceptsReadyResponse(200, info, 0, ""));
  EXPECT_TRUE(AcceptsReadyResponse(200, info, 512, "2.3.0"));
  EXPECT_TRUE(AcceptsReadyResponse(200, info, 512, ""));
  EXPECT_TRUE(AcceptsReadyResponse(200, info, 0, "2.3.0"));
  EXPECT_FALSE(AcceptsReadyResponse(503, info, 0, ""));
  EXPECT_FALSE(AcceptsReadyResponse(201, info, 0, ""));
  EXPECT_FALSE(AcceptsReadyResponse(200, info, 513, ""));
  EXPECT_FALSE(AcceptsReadyResponse(200, info, 0, "2.3.1"));
  // Byte-for-byte: no case folding.
  info.versionName = "Beta";
  EXPECT_FALSE(AcceptsReadyResponse(200, info, 0, "beta"));
  info.ready = false;
  EXPECT_FALSE(AcceptsReadyResponse(200, info, 0, ""));
}

TEST(ReadyTimeoutMessageTest, VersionDetailOnlyWhenBothKnownAndDifferent) {
  ReadyInfo seen;
  seen.version = 6;
  EXPECT_EQ(ReadyTimeoutMessage(true, seen, 7, ""),
            "backend ready check timed out (expected version 7, got 6)");
  EXPECT_EQ(ReadyTimeoutMessage(true, seen, -3, ""),
            "backend ready check timed out (expected version -3, got 6)");
  EXPECT_EQ(ReadyTimeoutMessage(true, seen, 0, ""),
            "backend ready check timed out");
  EXPECT_EQ(ReadyTimeoutMessage(true, seen, 6, ""),
            "backend ready check timed out");
  seen.version = 0;
  EXPECT_EQ(ReadyTimeoutMessage(true, seen, 7, ""),
            "backend ready check timed out");
  // A valid answer outranks a later failed attempt.
  seen.version = 6;
  EXPECT_EQ(
      ReadyTimeoutMessage(true, seen, 7, "failed to query backend readiness"),
      "backend ready check timed out (expected version 7, got 6)");
  EXPECT_EQ(ReadyTimeoutMessage(false, ReadyInfo(), 7,
                                "invalid backend readiness response"),
            "invalid backend readiness response");
  EXPECT_EQ(ReadyTimeoutMessage(false, ReadyInfo(), 7, ""),
            "backend ready check timed out");
}

TEST(HandshakeRefusalMessageTest, UsesBackendMessageOnlyWhenItIsAString) {
  EXPECT_EQ(HandshakeRefusalMessage(R"({"message": "update still running"})"),
            "update still running");
  const std::string fallback = "backend shutdown handshake failed";
  EXPECT_EQ(HandshakeRefusalMessage(""), fallback);
  EXPECT_EQ(HandshakeRefusalMessage("busy"), fallback);
  EXPECT_EQ(HandshakeRefusalMessage(R"(["message"])"), fallback);
  EXPECT_EQ(HandshakeRefusalMessage(R"({"message": 409})"), fallback);
  EXPECT_EQ(HandshakeRefusalMessage(R"({"message": ""})"), fallback);
  EXPECT_EQ(HandshakeRefusalMessage(R"({"error": "busy"})"), fallback);
}

}  // namespace
