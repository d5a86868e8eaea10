// The engine's preference store and content settings on their own
// (registry, refusals with the production engine's texts, origins, the
// files that keep values across starts), and the renderer-role side of the
// request context against a browser end of the channel run in this process.

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "browser/prefs/content_settings.h"
#include "browser/prefs/pref_store.h"
#include "browser/prefs/prefs_service.h"
#include "common/channel.h"
#include "common/prefs_messages.h"
#include "gtest/gtest.h"
#include "include/cef_parser.h"
#include "include/cef_request_context.h"
#include "renderer/renderer_channel.h"
#include "tests/support/engine_app/values.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace cefengine {
namespace {

using engine_test::ReadFile;
using engine_test::TempDir;

using engine_test_app::Bool;
using engine_test_app::Int;
using engine_test_app::String;

// A store as an application sees it after start-up.
std::unique_ptr<PrefStore> Started(const std::string& path) {
  auto store = std::make_unique<PrefStore>(path);
  RegisterEnginePreferences(store.get());
  PrefRegistrar registrar(store.get());
  registrar.AddPreference("app.name", String("none"));
  registrar.AddPreference("app.count", Int(0));
  store->Load();
  return store;
}

TEST(PrefStoreTest, RegistryAndRefusals) {
  auto store = Started("");
  EXPECT_FALSE(store->Has("nobody.registered.this"));
  EXPECT_EQ(store->Get("nobody.registered.this"), nullptr);

  std::string error;
  EXPECT_FALSE(store->Set("nobody.registered.this", String("x"), &error));
  EXPECT_EQ(error, "Trying to modify an unregistered preference");

  error.clear();
  EXPECT_FALSE(store->Set("autofill.profile_enabled", String("no"), &error));
  EXPECT_EQ(error,
            "Trying to set a preference of type BOOLEAN to value of type "
            "STRING");
  EXPECT_TRUE(store->Get("autofill.profile_enabled")->GetBool());

  // An integer is not a double, nor the reverse, as in the production engine.
  CefRefPtr<CefValue> real = CefValue::Create();
  real->SetDouble(2.5);
  EXPECT_FALSE(store->Set("app.count", real, &error));
  EXPECT_EQ(error,
            "Trying to set a preference of type INTEGER to value of type "
            "DOUBLE");
  EXPECT_FALSE(store->Set("app.count", CefValue::Create(), &error));
  EXPECT_FALSE(error.empty());

  // A stored value is a copy: changing the caller's object changes nothing.
  CefRefPtr<CefValue> name = String("first");
  ASSERT_TRUE(store->Set("app.name", name, &error));
  name->SetString("changed");
  EXPECT_EQ(store->Get("app.name")->GetString().ToString(), "first");

  // Null resets to the default.
  ASSERT_TRUE(store->Set("app.name", nullptr, &error));
  EXPECT_EQ(store->Get("app.name")->GetString().ToString(), "none");

  // Registering a name twice, or a type a preference cannot have, fails.
  PrefRegistrar registrar(store.get());
  EXPECT_FALSE(registrar.AddPreference("app.name", String("again")));
  CefRefPtr<CefValue> null_value = CefValue::Create();
  null_value->SetNull();
  EXPECT_FALSE(registrar.AddPreference("app.nothing", null_value));
  EXPECT_FALSE(registrar.AddPreference("app.nothing", nullptr));
  EXPECT_FALSE(store->Has("app.nothing"));
}

TEST(PrefStoreTest, ValuesSurviveARestart) {
  TempDir dir;
  const std::string path = dir.path() + "/engine_prefs.json";
  std::string error;
  {
    auto store = Started(path);
    ASSERT_TRUE(store->Set("credentials_enable_service", Bool(false), &error));
    ASSERT_TRUE(
        store->Set("app.name", String("kept \"quoted\" \xC3\xA9"), &error));
    ASSERT_TRUE(store->Set("app.count", Int(-3), &error));
  }
  // Written whole, with no temporary file left next to it.
  CefRefPtr<CefValue> file = CefParseJSON(ReadFile(path), JSON_PARSER_RFC);
  ASSERT_TRUE(file);
  EXPECT_EQ(file->GetType(), VTYPE_DICTIONARY);
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  auto store = Started(path);
  EXPECT_FALSE(store->Get("credentials_enable_service")->GetBool());
  EXPECT_EQ(store->Get("app.name")->GetString().ToString(),
            "kept \"quoted\" \xC3\xA9");
  EXPECT_EQ(store->Get("app.count")->GetType(), VTYPE_INT);
  EXPECT_EQ(store->Get("app.count")->GetInt(), -3);
  // Defaults stay out of the file: a later default change reaches users.
  EXPECT_FALSE(file->GetDictionary()->HasKey("autofill.profile_enabled"));
}

// A value of a preference the next start does not register must not be
// lost when that start writes the file, and comes back once registered.
TEST(PrefStoreTest, ValuesOfUnregisteredNamesAreKept) {
  TempDir dir;
  const std::string path = dir.path() + "/engine_prefs.json";
  std::string error;
  {
    auto store = Started(path);
    ASSERT_TRUE(store->Set("app.name", String("remembered"), &error));
  }
  {
    PrefStore store(path);
    RegisterEnginePreferences(&store);
    store.Load();
    EXPECT_FALSE(store.Has("app.name"));
    ASSERT_TRUE(store.Set("bookmark_bar.show_on_all_tabs", Bool(true), &error));
  }
  auto store = Started(path);
  EXPECT_EQ(store->Get("app.name")->GetString().ToString(), "remembered");
  EXPECT_TRUE(store->Get("bookmark_bar.show_on_all_tabs")->GetBool());
}

TEST(PrefStoreTest, BadFilesLeaveDefaults) {
  TempDir dir;
  const std::string path = dir.path() + "/engine_prefs.json";
  // A value whose type no longer matches its registration is dropped.
  std::ofstream(path) << R"({"app.count": "seven", "app.name": "ok"})";
  {
    auto store = Started(path);
    EXPECT_EQ(store->Get("app.count")->GetInt(), 0);
    EXPECT_EQ(store->Get("app.name")->GetString().ToString(), "ok");
  }
  // A truncated file is ignored, and the next change replaces it.
  std::ofstream(path) << R"({"app.name": "tr)";
  auto store = Started(path);
  EXPECT_EQ(store->Get("app.name")->GetString().ToString(), "none");
  std::string error;
  ASSERT_TRUE(store->Set("app.name", String("fresh"), &error));
  EXPECT_EQ(Started(path)->Get("app.name")->GetString().ToString(), "fresh");
}

// A store that cannot write keeps the value for this run and says yes, as
// the production engine does when its disk write fails later.
TEST(PrefStoreTest, UnwritableDirectoryKeepsValueInMemory) {
  TempDir dir;
  const std::string path = dir.path() + "/missing/engine_prefs.json";
  auto store = Started(path);
  std::string error;
  EXPECT_TRUE(store->Set("app.name", String("in memory"), &error));
  EXPECT_EQ(store->Get("app.name")->GetString().ToString(), "in memory");
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

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

TEST(PrefsChannelTest, RendererCallsReachTheBrowserStore) {
  TempDir temp("engine-prefs-channel");
  const std::string& dir = temp.path();
  CefSettings settings;
  CefString(&settings.root_cache_path) = dir;
  StartPreferenceService(settings);

  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
  // The browser end answers on its reader thread, as the engine's does.
  auto browser = std::make_unique<Channel>(fds[1]);
  Channel* browser_end = browser.get();
  browser->Start(
      [browser_end](ChannelMessage message) {
        if (message.type != kPrefsRequest)
          return;
        ChannelMessage reply;
        HandlePrefsRequest(message, &reply);
        browser_end->Send(reply);
      },
      nullptr);
  RendererChannel renderer(fds[0], nullptr);

  CefRefPtr<CefRequestContext> context = CefRequestContext::GetGlobalContext();
  ASSERT_TRUE(context);
  CefString error;
  CefRefPtr<CefValue> off = Bool(false);
  EXPECT_TRUE(context->SetPreference("autofill.profile_enabled", off, error));
  EXPECT_FALSE(context->GetPreference("autofill.profile_enabled")->GetBool());
  // Null resets, which the wire must tell apart from a null value.
  EXPECT_TRUE(
      context->SetPreference("autofill.profile_enabled", nullptr, error));
  EXPECT_TRUE(context->GetPreference("autofill.profile_enabled")->GetBool());
  EXPECT_FALSE(context->SetPreference("autofill.profile_enabled",
                                      CefValue::Create(), error));

  // The browser goes away: calls fail at once with a reason, nothing waits
  // for an answer that cannot come.
  browser->Close();
  const auto start = std::chrono::steady_clock::now();
  error.clear();
  EXPECT_FALSE(context->SetPreference("autofill.profile_enabled", off, error));
  EXPECT_EQ(error.ToString(), "Request context not available");
  EXPECT_EQ(context->GetPreference("autofill.profile_enabled"), nullptr);
  EXPECT_FALSE(context->HasPreference("autofill.profile_enabled"));
  EXPECT_EQ(context->GetAllPreferences(true)->GetSize(), 0u);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// A browser that goes away while a call waits for its answer ends that wait
// at once, not after the time limit for a wedged browser.
TEST(PrefsChannelTest, BrowserGoneDuringACallEndsTheWait) {
  int fds[2];
  ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds), 0);
  auto browser = std::make_unique<Channel>(fds[1]);
  std::atomic<bool> asked{false};
  browser->Start(
      [&asked](ChannelMessage message) {
        if (message.type == kPrefsRequest)
          asked = true;
      },
      nullptr);
  RendererChannel renderer(fds[0], nullptr);
  std::thread closer([&] {
    while (!asked)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    browser->Close();
  });

  const auto start = std::chrono::steady_clock::now();
  CefString error;
  EXPECT_FALSE(CefRequestContext::GetGlobalContext()->SetPreference(
      "autofill.profile_enabled", String("x"), error));
  EXPECT_EQ(error.ToString(), "Request context not available");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  closer.join();
}

}  // namespace
}  // namespace cefengine
