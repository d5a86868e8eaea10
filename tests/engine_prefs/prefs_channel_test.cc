// The renderer-role side of the request context against a browser end of
// the channel run in this process: a reset told apart from a null value on
// the wire, and what callers get when the browser is gone.

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "browser/prefs/prefs_service.h"
#include "common/channel.h"
#include "common/prefs_messages.h"
#include "gtest/gtest.h"
#include "include/cef_request_context.h"
#include "renderer/renderer_channel.h"
#include "tests/support/engine_app/values.h"
#include "tests/support/engine_harness/temp_dir.h"

namespace cefengine {
namespace {

using engine_test_app::Bool;
using engine_test_app::String;

// Outside the browser and renderer roles there is no context at all.
TEST(PrefsChannelTest, NoContextWithoutEngine) {
  EXPECT_EQ(CefRequestContext::GetGlobalContext(), nullptr);
}

TEST(PrefsChannelTest, RendererCallsReachTheBrowserStore) {
  engine_test::TempDir temp("engine-prefs-channel");
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
