#include "browser/bridge/script_bridge.h"

#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "browser/browser/browser_impl.h"
#include "browser/browser/browser_registry.h"
#include "browser/browser/frame_impl.h"
#include "browser/browser/process_message_impl.h"
#include "browser/process/renderer_host.h"
#include "common/bridge_script.h"
#include "common/channel_message.h"
#include "common/tasks.h"
#include "include/base/cef_logging.h"
#include "include/cef_parser.h"

namespace cefengine {

namespace {

constexpr char kScriptName[] = "cefengine-bridge";

// A native call waiting for the renderer's answer.
struct PendingCall {
  bool done = false;
  std::string reply;
};

// The calls waiting for their answers, shared with the channel's reader
// thread, which fills them in. The UI thread blocks on |arrived| rather than
// running a nested loop: as in the production engine, where native functions
// run in the page's own process, nothing the page's call set off (a close, a
// script for the page) may run before the call has returned.
struct NativeResults {
  std::mutex mutex;
  std::condition_variable arrived;
  std::map<uint64_t, PendingCall*> pending;
  bool closed = false;
};

// Never destroyed: the reader thread may still deliver during exit.
NativeResults& Results() {
  static NativeResults* results = new NativeResults();
  return *results;
}

void DeliverNativeResult(const ChannelMessage* message) {
  NativeResults& results = Results();
  std::lock_guard<std::mutex> lock(results.mutex);
  if (!message) {
    results.closed = true;
  } else {
    auto it = results.pending.find(message->request_id);
    if (it != results.pending.end()) {
      it->second->reply = message->name;
      it->second->done = true;
    }
  }
  results.arrived.notify_all();
}

// Sub-frame documents of one browser that made native calls.
struct BrowserFrames {
  std::string main_document;
  std::map<std::string, CefRefPtr<CefFrameImpl>> sub_frames;
};

// UI thread only.
struct Bridge {
  RendererHost* host = nullptr;
  QPointer<QWebEngineProfile> profile;
  std::string token;
  QString tag;
  uint64_t next_call = 1;
  std::map<int, BrowserFrames> frames;
};

Bridge* g_bridge = nullptr;

void InstallPageScript(const ChannelMessage& ready) {
  std::vector<ExtensionSource> extensions;
  for (size_t i = 0; ready.args && i < ready.args->GetSize(); ++i) {
    CefRefPtr<CefListValue> entry = ready.args->GetList(i);
    if (entry) {
      extensions.push_back(
          {entry->GetString(0).ToString(), entry->GetString(1).ToString()});
    }
  }
  g_bridge->token = NewBridgeToken();
  g_bridge->tag = QString::fromStdString(g_bridge->token);
  if (!g_bridge->profile)
    return;
  QWebEngineScriptCollection* scripts = g_bridge->profile->scripts();
  for (const QWebEngineScript& old : scripts->find(kScriptName))
    scripts->remove(old);
  QWebEngineScript script;
  script.setName(kScriptName);
  script.setSourceCode(
      QString::fromStdString(BuildPageScript(g_bridge->token, extensions)));
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(true);
  scripts->insert(script);
}

// The frame a call or message names, for handlers in the browser process.
CefRefPtr<CefFrameImpl> FrameFor(CefRefPtr<CefBrowserImpl> browser,
                                 const std::string& frame_id) {
  if (frame_id == MainFrameId(browser->GetIdentifier()))
    return browser->main_frame();
  if (CefRefPtr<CefFrameImpl> frame =
          FindBridgeFrame(browser->GetIdentifier(), frame_id)) {
    return frame;
  }
  return CefFrameImpl::CreateBridgeSubFrame(browser, frame_id, CefString(),
                                            CefString());
}

// Remembers the document that calls, so handlers get a frame object that
// knows its URL and name.
void TrackFrame(CefBrowserImpl* browser,
                const std::string& frame_id,
                CefRefPtr<CefDictionaryValue> call) {
  // Frames of closed browsers go first.
  for (auto it = g_bridge->frames.begin(); it != g_bridge->frames.end();) {
    if (!FindBrowser(it->first))
      it = g_bridge->frames.erase(it);
    else
      ++it;
  }
  BrowserFrames& frames = g_bridge->frames[browser->GetIdentifier()];
  const std::string document = call->GetString("d").ToString();
  if (call->GetBool("m")) {
    if (document != frames.main_document) {
      for (auto& entry : frames.sub_frames)
        entry.second->Detach();
      frames.sub_frames.clear();
      frames.main_document = document;
    }
    return;
  }
  CefRefPtr<CefFrameImpl>& frame = frames.sub_frames[frame_id];
  if (!frame) {
    frame = CefFrameImpl::CreateBridgeSubFrame(
        browser, frame_id, call->GetString("u"), call->GetString("n"));
  } else {
    frame->SetURL(call->GetString("u"));
  }
}

void OnProcessMessage(const ChannelMessage& message) {
  CefRefPtr<CefBrowserImpl> browser = FindBrowser(message.browser_id);
  if (!browser || !browser->client())
    return;
  CefRefPtr<CefProcessMessageImpl> delivered =
      new CefProcessMessageImpl(message.name, message.args);
  delivered->SetReadOnly();
  browser->client()->OnProcessMessageReceived(
      browser.get(), FrameFor(browser, message.frame_id).get(), PID_RENDERER,
      delivered.get());
}

void OnExecuteJavaScript(const ChannelMessage& message) {
  if (CefRefPtr<CefBrowserImpl> browser = FindBrowser(message.browser_id)) {
    RunScriptInFrame(
        browser, message.frame_id, message.name,
        message.args ? message.args->GetString(0).ToString() : std::string(),
        message.args ? message.args->GetInt(1) : 0);
  }
}

void OnFrameCommand(const ChannelMessage& message) {
  CefRefPtr<CefBrowserImpl> browser = FindBrowser(message.browser_id);
  if (!browser)
    return;
  // Chromium's edit actions apply to the focused frame of the page.
  static const std::map<std::string, QWebEnginePage::WebAction> kActions = {
      {"undo", QWebEnginePage::Undo},
      {"redo", QWebEnginePage::Redo},
      {"cut", QWebEnginePage::Cut},
      {"copy", QWebEnginePage::Copy},
      {"paste", QWebEnginePage::Paste},
      {"pasteAndMatchStyle", QWebEnginePage::PasteAndMatchStyle},
      {"selectAll", QWebEnginePage::SelectAll},
  };
  auto it = kActions.find(message.name);
  if (it != kActions.end()) {
    browser->TriggerPageAction(it->second);
  } else if (message.name == "delete") {
    RunScriptInFrame(browser, message.frame_id,
                     "document.execCommand('delete');", std::string(), 0);
  }
}

}  // namespace

void StartScriptBridge(RendererHost* host,
                       QWebEngineProfile* profile,
                       std::function<void()> on_ready) {
  delete g_bridge;
  g_bridge = new Bridge();
  g_bridge->host = host;
  g_bridge->profile = profile;
  auto ready_once =
      std::make_shared<std::function<void()>>(std::move(on_ready));
  auto run_ready = [ready_once] {
    if (*ready_once) {
      std::function<void()> callback;
      callback.swap(*ready_once);
      callback();
    }
  };
  if (!host) {
    PostTask(TID_UI, run_ready);
    return;
  }
  host->SetHandler(MessageType::kRendererReady,
                   [run_ready](const ChannelMessage& message) {
                     InstallPageScript(message);
                     run_ready();
                   });
  {
    NativeResults& results = Results();
    std::lock_guard<std::mutex> lock(results.mutex);
    results.closed = false;
  }
  host->SetNativeResultSink(DeliverNativeResult);
  host->SetHandler(MessageType::kProcessMessage, OnProcessMessage);
  host->SetHandler(MessageType::kExecuteJavaScript, OnExecuteJavaScript);
  host->SetHandler(MessageType::kFrameCommand, OnFrameCommand);
  PostDelayedTask(
      TID_UI,
      [run_ready, ready_once] {
        if (*ready_once) {
          LOG(ERROR) << "The renderer process is not ready; pages load "
                        "without script extensions";
          run_ready();
        }
      },
      kRendererReadyTimeoutMs);
}

bool HandleBridgePrompt(QWebEnginePage* page,
                        CefBrowserImpl* browser,
                        const QString& message,
                        const QString& value,
                        QString* result,
                        bool* answered) {
  if (!g_bridge || g_bridge->tag.isEmpty() || message != g_bridge->tag)
    return false;
  *answered = false;
  CefRefPtr<CefValue> parsed =
      CefParseJSON(value.toStdString(), JSON_PARSER_RFC);
  CefRefPtr<CefDictionaryValue> call =
      parsed ? parsed->GetDictionary() : nullptr;
  if (call && browser && call->GetString("k") == "link") {
    browser->NoteModifierLinkClick(call->GetString("u").ToString());
    return true;
  }
  RendererHost* host = g_bridge->host;
  if (!call || !browser || !host || !host->IsReady())
    return true;

  const int browser_id = browser->GetIdentifier();
  const std::string frame_id =
      call->GetBool("m")
          ? MainFrameId(browser_id)
          : SubFrameId(browser_id, call->GetString("d").ToString());
  TrackFrame(browser, frame_id, call);

  ChannelMessage request;
  request.type = MessageType::kNativeCall;
  request.browser_id = browser_id;
  request.frame_id = frame_id;
  request.request_id = g_bridge->next_call++;
  request.args = CefListValue::Create();
  request.args->SetDictionary(0, call);

  QPointer<QWebEnginePage> page_guard(page);
  PendingCall pending;
  NativeResults& results = Results();
  {
    std::lock_guard<std::mutex> lock(results.mutex);
    results.pending[request.request_id] = &pending;
  }
  const bool sent = host->Send(request);
  {
    std::unique_lock<std::mutex> lock(results.mutex);
    // A renderer that dies never answers; its channel closes.
    if (sent) {
      results.arrived.wait_for(lock,
                               std::chrono::milliseconds(kNativeCallTimeoutMs),
                               [&] { return pending.done || results.closed; });
    }
    results.pending.erase(request.request_id);
  }
  if (!sent)
    return true;
  if (!pending.done) {
    LOG(ERROR) << "Native call " << call->GetString("c").ToString()
               << " got no answer";
    return true;
  }
  if (!page_guard)
    return true;
  *result = QString::fromStdString(pending.reply);
  *answered = true;
  return true;
}

void RunScriptInFrame(CefRefPtr<CefBrowserImpl> browser,
                      const std::string& frame_id,
                      const std::string& code,
                      const std::string& script_url,
                      int start_line) {
  if (!CefCurrentlyOn(TID_UI)) {
    PostTask(TID_UI, [browser, frame_id, code, script_url, start_line] {
      RunScriptInFrame(browser, frame_id, code, script_url, start_line);
    });
    return;
  }
  if (frame_id == MainFrameId(browser->GetIdentifier())) {
    browser->ExecuteJavaScriptInPage(code, script_url, start_line);
    return;
  }
  const std::string document = DocumentIdOf(frame_id);
  QWebEnginePage* page = browser->page();
  if (document.empty() || !page || !g_bridge || g_bridge->token.empty()) {
    LOG(WARNING) << "No script can run in frame " << frame_id;
    return;
  }
  // The isolated world keeps the page's own scripts from seeing the token.
  page->runJavaScript(
      QString::fromStdString(BuildRelayScript(g_bridge->token, document, code)),
      QWebEngineScript::ApplicationWorld);
}

CefRefPtr<CefFrameImpl> FindBridgeFrame(int browser_id,
                                        const std::string& frame_id) {
  if (!g_bridge)
    return nullptr;
  auto browser = g_bridge->frames.find(browser_id);
  if (browser == g_bridge->frames.end())
    return nullptr;
  auto frame = browser->second.sub_frames.find(frame_id);
  return frame == browser->second.sub_frames.end() ? nullptr : frame->second;
}

}  // namespace cefengine
