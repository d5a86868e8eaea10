// Browser side of the channel to the renderer-role process: starts that
// process, sends messages to it and delivers its messages on the UI thread.

#ifndef CEFENGINE_BROWSER_PROCESS_RENDERER_HOST_H_
#define CEFENGINE_BROWSER_PROCESS_RENDERER_HOST_H_

#include <sys/types.h>

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "common/channel_message.h"

namespace cefengine {

class Channel;

class RendererHost {
 public:
  using MessageHandler = std::function<void(const ChannelMessage&)>;

  RendererHost();
  RendererHost(const RendererHost&) = delete;
  RendererHost& operator=(const RendererHost&) = delete;
  ~RendererHost();

  // Starts this executable again with |argv| (program first, including
  // "--type=renderer") plus the channel switches. UI thread. False when the
  // process could not be started.
  bool Start(std::vector<std::string> argv);

  // Closes the channel, waits up to |timeout_ms| for the process to exit,
  // then kills it; always reaps it. UI thread.
  void Stop(int timeout_ms);

  // Queues |message| for the renderer. Any thread. False when the channel is
  // closed.
  bool Send(const ChannelMessage& message);

  // Sets the handler for incoming messages of |type|, replacing an earlier
  // one; messages without a handler are dropped, except the ready message,
  // which is kept for the first handler of its type (posted to it). Handlers
  // run on the UI thread in arrival order. UI thread.
  void SetHandler(MessageType type, MessageHandler handler);

  // Takes every native result on the channel's reader thread instead of
  // the UI thread, which waits for it inside a page's call; on the same
  // thread a null message says the channel has closed. Any thread.
  void SetNativeResultSink(std::function<void(const ChannelMessage*)> sink);

  // True once the renderer application reported that it is initialised.
  bool IsReady() const;

  // Runs |callback| on the UI thread when the renderer is ready (posted at
  // once when it already is). UI thread.
  void OnReady(std::function<void()> callback);

  // Process id of the renderer-role process, 0 when not running.
  pid_t pid() const { return pid_; }

 private:
  void Dispatch(ChannelMessage message);
  void OnChannelClosed();

  pid_t pid_ = 0;
  std::unique_ptr<Channel> channel_;
  // Tasks posted by the channel's reader thread check this before touching
  // the host, which may be gone by the time they run.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  bool ready_ = false;
  std::optional<ChannelMessage> unclaimed_ready_;
  std::vector<std::function<void()>> ready_callbacks_;
  std::map<MessageType, MessageHandler> handlers_;
  std::mutex sink_mutex_;
  std::function<void(const ChannelMessage*)> native_result_sink_;
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_PROCESS_RENDERER_HOST_H_
