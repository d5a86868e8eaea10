// A framed, ordered message stream over a connected Unix stream socket.
// Each frame is a 32-bit little-endian length followed by an encoded
// ChannelMessage. A dedicated reader thread keeps draining the socket so
// two peers that both send large messages can never block each other.

#ifndef CEFENGINE_COMMON_CHANNEL_H_
#define CEFENGINE_COMMON_CHANNEL_H_

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "common/channel_message.h"

namespace cefengine {

class Channel {
 public:
  // Called on the reader thread, in arrival order.
  using MessageCallback = std::function<void(ChannelMessage)>;
  // Called once on the reader thread when the peer closed the socket, the
  // stream was corrupt, or Close() was called.
  using ClosedCallback = std::function<void()>;

  // Frames above this size are refused as corrupt.
  static constexpr uint32_t kMaxFrameSize = 256u << 20;

  // Takes ownership of the connected socket |fd|.
  explicit Channel(int fd);
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;
  // Closes the channel (see Close()).
  ~Channel();

  // Starts the reader thread. Call once.
  void Start(MessageCallback on_message, ClosedCallback on_closed);

  // Writes |message| as one frame. Any thread; frames of concurrent senders
  // never interleave. Returns false once the channel is closed or broken,
  // or when the peer has not drained its socket for |kSendTimeoutMs|.
  bool Send(const ChannelMessage& message);

  // Shuts the socket down, waits for the reader thread (its closed callback
  // has run when this returns) and closes the descriptor. Idempotent; must
  // not be called from the callbacks.
  void Close();

  static constexpr int kSendTimeoutMs = 10000;

 private:
  void ReadLoop();
  bool ReadFully(char* buffer, size_t size);

  int fd_;
  std::mutex send_mutex_;
  std::atomic<bool> broken_{false};
  std::thread reader_;
  MessageCallback on_message_;
  ClosedCallback on_closed_;
  std::mutex close_mutex_;
  bool closed_ = false;
};

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_CHANNEL_H_
