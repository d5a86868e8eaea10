#include "renderer/request_context_proxy.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "common/prefs_messages.h"
#include "include/base/cef_logging.h"
#include "include/cef_request_context_handler.h"
#include "renderer/renderer_channel.h"

namespace cefengine {

namespace {

// The browser answers from its channel thread, so only a dead or wedged
// browser process makes a call wait this long.
constexpr auto kReplyTimeout = std::chrono::seconds(5);

constexpr char kUnavailable[] = "Request context not available";

// Calls waiting for their kPrefsResponse, by request id.
class PendingReplies {
 public:
  uint64_t Add() {
    std::lock_guard<std::mutex> lock(mutex_);
    const uint64_t id = next_id_++;
    waiting_[id] = Slot();
    return id;
  }

  // The answer's arguments, or null when none came in time or the channel
  // closed first.
  CefRefPtr<CefListValue> Wait(uint64_t id) {
    std::unique_lock<std::mutex> lock(mutex_);
    arrived_.wait_for(lock, kReplyTimeout, [&] { return waiting_[id].done; });
    CefRefPtr<CefListValue> result = waiting_[id].reply;
    waiting_.erase(id);
    return result;
  }

  void Deliver(ChannelMessage message) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = waiting_.find(message.request_id);
    // A late answer to a call that gave up has nobody to go to.
    if (it == waiting_.end())
      return;
    it->second.done = true;
    it->second.reply = message.args ? message.args : CefListValue::Create();
    arrived_.notify_all();
  }

  // Ends every wait without an answer.
  void FailAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& entry : waiting_)
      entry.second.done = true;
    arrived_.notify_all();
  }

  void Forget(uint64_t id) {
    std::lock_guard<std::mutex> lock(mutex_);
    waiting_.erase(id);
  }

 private:
  struct Slot {
    bool done = false;
    CefRefPtr<CefListValue> reply;
  };

  std::mutex mutex_;
  std::condition_variable arrived_;
  uint64_t next_id_ = 1;
  std::map<uint64_t, Slot> waiting_;
};

PendingReplies& Pending() {
  static PendingReplies* pending = new PendingReplies();
  return *pending;
}

// Runs |op| in the browser process. Null when the browser could not be
// asked or did not answer; otherwise the answer's arguments.
CefRefPtr<CefListValue> Call(const char* op, CefRefPtr<CefListValue> args) {
  RendererChannel* channel = RendererChannel::Get();
  if (!channel)
    return nullptr;
  ChannelMessage request;
  request.type = kPrefsRequest;
  request.name = op;
  request.args = args;
  request.request_id = Pending().Add();
  if (!channel->Send(request)) {
    Pending().Forget(request.request_id);
    return nullptr;
  }
  CefRefPtr<CefListValue> reply = Pending().Wait(request.request_id);
  if (!reply)
    LOG(ERROR) << "No answer from the browser process to " << op;
  return reply;
}

CefRefPtr<CefListValue> Args() {
  return CefListValue::Create();
}

CefRefPtr<CefValue> Result(CefRefPtr<CefListValue> reply) {
  return reply && reply->GetType(kPrefsResultIndex) != VTYPE_NULL &&
                 reply->GetType(kPrefsResultIndex) != VTYPE_INVALID
             // A copy: a container read from the list stops being valid
             // when the list goes.
             ? reply->GetValue(kPrefsResultIndex)->Copy()
             : nullptr;
}

bool BoolResult(CefRefPtr<CefListValue> reply) {
  CefRefPtr<CefValue> result = Result(reply);
  return result && result->GetType() == VTYPE_BOOL && result->GetBool();
}

class RequestContextProxy : public CefRequestContext {
 public:
  RequestContextProxy() = default;
  RequestContextProxy(const RequestContextProxy&) = delete;
  RequestContextProxy& operator=(const RequestContextProxy&) = delete;

  // CefPreferenceManager methods:
  bool HasPreference(const CefString& name) override {
    CefRefPtr<CefListValue> args = Args();
    args->SetString(0, name);
    return BoolResult(Call(prefs_ops::kHasPreference, args));
  }
  CefRefPtr<CefValue> GetPreference(const CefString& name) override {
    CefRefPtr<CefListValue> args = Args();
    args->SetString(0, name);
    return Result(Call(prefs_ops::kGetPreference, args));
  }
  CefRefPtr<CefDictionaryValue> GetAllPreferences(
      bool include_defaults) override {
    CefRefPtr<CefListValue> args = Args();
    args->SetBool(0, include_defaults);
    CefRefPtr<CefValue> result =
        Result(Call(prefs_ops::kGetAllPreferences, args));
    return result && result->GetType() == VTYPE_DICTIONARY
               ? result->GetDictionary()
               : CefDictionaryValue::Create();
  }
  bool CanSetPreference(const CefString& name) override {
    CefRefPtr<CefListValue> args = Args();
    args->SetString(0, name);
    return BoolResult(Call(prefs_ops::kCanSetPreference, args));
  }
  bool SetPreference(const CefString& name,
                     CefRefPtr<CefValue> value,
                     CefString& error) override {
    CefRefPtr<CefListValue> args = Args();
    args->SetString(0, name);
    if (value)
      args->SetValue(1, value->Copy());
    else
      args->SetNull(1);
    args->SetBool(2, value != nullptr);
    CefRefPtr<CefListValue> reply = Call(prefs_ops::kSetPreference, args);
    if (!reply) {
      error = kUnavailable;
      return false;
    }
    if (BoolResult(reply))
      return true;
    error = reply->GetString(kPrefsErrorIndex);
    return false;
  }

  // CefRequestContext methods:
  bool IsSame(CefRefPtr<CefRequestContext> other) override {
    return other.get() == this;
  }
  bool IsSharingWith(CefRefPtr<CefRequestContext> other) override {
    return IsSame(other);
  }
  bool IsGlobal() override { return true; }
  CefRefPtr<CefRequestContextHandler> GetHandler() override { return nullptr; }
  CefString GetCachePath() override {
    CefRefPtr<CefValue> result = Result(Call(prefs_ops::kGetCachePath, Args()));
    return result ? result->GetString() : CefString();
  }
  CefRefPtr<CefValue> GetWebsiteSetting(
      const CefString& requesting_url,
      const CefString& top_level_url,
      cef_content_setting_types_t content_type) override {
    return nullptr;
  }
  void SetWebsiteSetting(const CefString& requesting_url,
                         const CefString& top_level_url,
                         cef_content_setting_types_t content_type,
                         CefRefPtr<CefValue> value) override {}
  cef_content_setting_values_t GetContentSetting(
      const CefString& requesting_url,
      const CefString& top_level_url,
      cef_content_setting_types_t content_type) override {
    CefRefPtr<CefListValue> args = Args();
    args->SetString(0, requesting_url);
    args->SetString(1, top_level_url);
    args->SetInt(2, content_type);
    CefRefPtr<CefValue> result =
        Result(Call(prefs_ops::kGetContentSetting, args));
    return result && result->GetType() == VTYPE_INT
               ? static_cast<cef_content_setting_values_t>(result->GetInt())
               : CEF_CONTENT_SETTING_VALUE_DEFAULT;
  }
  void SetContentSetting(const CefString& requesting_url,
                         const CefString& top_level_url,
                         cef_content_setting_types_t content_type,
                         cef_content_setting_values_t value) override {
    CefRefPtr<CefListValue> args = Args();
    args->SetString(0, requesting_url);
    args->SetString(1, top_level_url);
    args->SetInt(2, content_type);
    args->SetInt(3, value);
    Call(prefs_ops::kSetContentSetting, args);
  }

 private:
  IMPLEMENT_REFCOUNTING(RequestContextProxy);
};

}  // namespace

CefRefPtr<CefRequestContext> GetRendererGlobalContext() {
  if (!RendererChannel::Get())
    return nullptr;
  static RequestContextProxy* proxy = [] {
    auto* created = new RequestContextProxy();
    // The process keeps this reference until exit.
    created->AddRef();
    return created;
  }();
  return proxy;
}

void DeliverPrefsResponse(ChannelMessage message) {
  Pending().Deliver(std::move(message));
}

void FailPrefsRequests() {
  Pending().FailAll();
}

}  // namespace cefengine
