#include "renderer/renderer_channel.h"

#include <atomic>
#include <utility>

#include "common/channel.h"
#include "common/prefs_messages.h"
#include "common/tasks.h"
#include "renderer/request_context_proxy.h"

namespace cefengine {

namespace {

std::atomic<RendererChannel*> g_channel{nullptr};

}  // namespace

RendererChannel* RendererChannel::Get() {
  return g_channel;
}

RendererChannel::RendererChannel(int fd, std::function<void()> on_closed)
    : channel_(std::make_unique<Channel>(fd)) {
  std::weak_ptr<bool> alive = alive_;
  channel_->Start(
      [this, alive](ChannelMessage message) {
        // Its caller blocks the renderer main thread until this arrives.
        if (message.type == kPrefsResponse) {
          DeliverPrefsResponse(std::move(message));
          return;
        }
        PostTask(TID_RENDERER, [this, alive, message = std::move(message)] {
          if (alive.lock())
            Dispatch(message);
        });
      },
      [alive, on_closed = std::move(on_closed)] {
        // A caller blocking the main thread would wait in vain.
        FailPrefsRequests();
        PostTask(TID_RENDERER, [alive, on_closed] {
          if (alive.lock() && on_closed)
            on_closed();
        });
      });
  g_channel = this;
}

RendererChannel::~RendererChannel() {
  g_channel = nullptr;
  channel_->Close();
}

bool RendererChannel::Send(const ChannelMessage& message) {
  return channel_->Send(message);
}

void RendererChannel::SetHandler(MessageType type, MessageHandler handler) {
  handlers_[type] = std::move(handler);
}

void RendererChannel::Dispatch(const ChannelMessage& message) {
  auto it = handlers_.find(message.type);
  if (it != handlers_.end() && it->second)
    it->second(message);
}

}  // namespace cefengine
