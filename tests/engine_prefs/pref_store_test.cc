// The engine's preference store on its own: registry, refusals with the
// production engine's texts, and the file that keeps values across starts.

#include "browser/prefs/pref_store.h"

#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "gtest/gtest.h"
#include "include/cef_parser.h"
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

TEST(PrefStoreTest, AllPreferencesAreNestedAtPeriods) {
  auto store = Started("");
  std::string error;
  ASSERT_TRUE(store->Set("app.count", Int(7), &error));

  CefRefPtr<CefDictionaryValue> changed = store->GetAll(false);
  CefDictionaryValue::KeyList keys;
  changed->GetKeys(keys);
  ASSERT_EQ(keys.size(), 1u);
  EXPECT_EQ(changed->GetDictionary("app")->GetInt("count"), 7);
  EXPECT_FALSE(changed->GetDictionary("app")->HasKey("name"));

  CefRefPtr<CefDictionaryValue> all = store->GetAll(true);
  EXPECT_EQ(all->GetDictionary("app")->GetString("name").ToString(), "none");
  EXPECT_TRUE(all->GetDictionary("profile")->GetBool(
      "password_manager_leak_detection"));
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

}  // namespace
}  // namespace cefengine
