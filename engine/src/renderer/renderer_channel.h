// Renderer-role side of the channel to the browser process.

#ifndef CEFENGINE_RENDERER_RENDERER_CHANNEL_H_
#define CEFENGINE_RENDERER_RENDERER_CHANNEL_H_

#include <functional>
#include <map>
#include <memory>

#include "common/channel_message.h"

namespace cefengine {

class Channel;

class RendererChannel {
 public:
  using MessageHandler = std::function<void(const ChannelMessage&)>;

  // The channel of this renderer-role process, or null in any other
  // process. Any thread.
  static RendererChannel* Get();

  // Sends |message| to the browser process. Any thread. False once the
  // channel is closed.
  bool Send(const ChannelMessage& message);

  // Sets the handler for incoming messages of |type|, replacing an earlier
  // one. Handlers run on the renderer main thread (TID_RENDERER) in arrival
  // order; messages without a handler are dropped. Renderer main thread.
  void SetHandler(MessageType type, MessageHandler handler);

  // Renderer main only: takes the connected socket |fd| and becomes the
  // process's channel until destroyed. |on_closed| runs on the renderer main
  // thread when the browser side goes away.
  RendererChannel(int fd, std::function<void()> on_closed);
  RendererChannel(const RendererChannel&) = delete;
  RendererChannel& operator=(const RendererChannel&) = delete;
  ~RendererChannel();

 private:
  void Dispatch(const ChannelMessage& message);

  std::unique_ptr<Channel> channel_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  std::map<MessageType, MessageHandler> handlers_;
};

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_RENDERER_CHANNEL_H_
