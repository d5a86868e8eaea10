// Content settings on their own: matching by origin and the file that keeps
// them across starts.

#include "browser/prefs/content_settings.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "gtest/gtest.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace cefengine {
namespace {

using engine_test::TempDir;

constexpr auto kNotify = CEF_CONTENT_SETTING_TYPE_NOTIFICATIONS;
constexpr auto kAllow = CEF_CONTENT_SETTING_VALUE_ALLOW;
constexpr auto kDefault = CEF_CONTENT_SETTING_VALUE_DEFAULT;

TEST(ContentSettingsTest, OriginsIgnorePathsAndDefaultPorts) {
  EXPECT_EQ(OriginOf("http://Example.test:80/a/b?c#d"), "http://example.test");
  EXPECT_EQ(OriginOf("https://example.test:443/"), "https://example.test");
  EXPECT_EQ(OriginOf("http://user:pw@127.0.0.1:35580/x"),
            "http://127.0.0.1:35580");
  EXPECT_NE(OriginOf("http://example.test:8080/"),
            OriginOf("http://example.test/"));
  EXPECT_NE(OriginOf("https://example.test/"),
            OriginOf("http://example.test/"));
}

TEST(ContentSettingsTest, SettingsSurviveARestart) {
  TempDir dir;
  const std::string path = dir.path() + "/engine_content_settings.json";
  {
    ContentSettings settings(path);
    settings.Load();
    settings.Set("http://a.test:8080/page?x", "http://a.test:8080/", kNotify,
                 kAllow);
    settings.Set("http://b.test/", "http://b.test/", kNotify, kAllow);
    // DEFAULT forgets a setting.
    settings.Set("http://b.test/x", "http://b.test/y", kNotify, kDefault);
    EXPECT_EQ(settings.Get("http://b.test/", "http://b.test/", kNotify),
              kDefault);
  }
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  ContentSettings settings(path);
  settings.Load();
  EXPECT_EQ(
      settings.Get("http://a.test:8080/other", "http://a.test:8080/z", kNotify),
      kAllow);
  EXPECT_EQ(settings.Get("http://a.test:8080/", "http://a.test:8080/",
                         CEF_CONTENT_SETTING_TYPE_GEOLOCATION),
            kDefault);
  EXPECT_EQ(settings.Get("http://a.test/", "http://a.test/", kNotify),
            kDefault);
  EXPECT_EQ(settings.Get("http://b.test/", "http://b.test/", kNotify),
            kDefault);
}

TEST(ContentSettingsTest, BadEntriesAreSkipped) {
  TempDir dir;
  const std::string path = dir.path() + "/engine_content_settings.json";
  std::ofstream(path) << R"([
    {"requesting": "http://a.test", "top_level": "http://a.test",
     "type": 5, "value": 1},
    {"requesting": "http://b.test", "top_level": "http://b.test",
     "type": 5, "value": 99},
    {"requesting": "http://c.test", "top_level": "http://c.test",
     "type": -4, "value": 1},
    "not an entry"])";
  ContentSettings settings(path);
  settings.Load();
  EXPECT_EQ(settings.Get("http://a.test/", "http://a.test/", kNotify), kAllow);
  EXPECT_EQ(settings.Get("http://b.test/", "http://b.test/", kNotify),
            kDefault);

  std::ofstream(path) << "[{\"requesting\": ";
  ContentSettings truncated(path);
  truncated.Load();
  EXPECT_EQ(truncated.Get("http://a.test/", "http://a.test/", kNotify),
            kDefault);
}

}  // namespace
}  // namespace cefengine
