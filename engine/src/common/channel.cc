#include "common/channel.h"

#include <errno.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <utility>

namespace cefengine {

Channel::Channel(int fd) : fd_(fd) {
  timeval timeout{kSendTimeoutMs / 1000, (kSendTimeoutMs % 1000) * 1000};
  setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof(timeout));
}

Channel::~Channel() {
  Close();
}

void Channel::Start(MessageCallback on_message, ClosedCallback on_closed) {
  on_message_ = std::move(on_message);
  on_closed_ = std::move(on_closed);
  reader_ = std::thread(&Channel::ReadLoop, this);
}

bool Channel::Send(const ChannelMessage& message) {
  std::string frame(4, '\0');
  std::string payload;
  EncodeMessage(message, &payload);
  if (payload.size() > kMaxFrameSize)
    return false;
  const uint32_t size = static_cast<uint32_t>(payload.size());
  for (int i = 0; i < 4; ++i)
    frame[i] = static_cast<char>((size >> (8 * i)) & 0xff);
  frame += payload;

  std::lock_guard<std::mutex> lock(send_mutex_);
  size_t done = 0;
  while (done < frame.size()) {
    if (broken_)
      return false;
    ssize_t n =
        send(fd_, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0) {
      // A half-written frame would desynchronise the stream; the channel is
      // unusable from here on.
      broken_ = true;
      shutdown(fd_, SHUT_RDWR);
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

void Channel::Close() {
  {
    std::lock_guard<std::mutex> lock(close_mutex_);
    if (closed_)
      return;
    closed_ = true;
  }
  broken_ = true;
  shutdown(fd_, SHUT_RDWR);
  if (reader_.joinable())
    reader_.join();
  // No sender can be inside send() once it holds the mutex.
  std::lock_guard<std::mutex> lock(send_mutex_);
  close(fd_);
  fd_ = -1;
}

bool Channel::ReadFully(char* buffer, size_t size) {
  size_t done = 0;
  while (done < size) {
    ssize_t n = recv(fd_, buffer + done, size - done, 0);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

void Channel::ReadLoop() {
  for (;;) {
    unsigned char header[4];
    if (!ReadFully(reinterpret_cast<char*>(header), sizeof(header)))
      break;
    const uint32_t size = header[0] | (header[1] << 8) | (header[2] << 16) |
                          (static_cast<uint32_t>(header[3]) << 24);
    if (size > kMaxFrameSize)
      break;
    std::string payload(size, '\0');
    if (size > 0 && !ReadFully(&payload[0], size))
      break;
    ChannelMessage message;
    if (!DecodeMessage(payload, &message))
      break;
    if (on_message_)
      on_message_(std::move(message));
  }
  broken_ = true;
  shutdown(fd_, SHUT_RDWR);
  if (on_closed_)
    on_closed_();
}

}  // namespace cefengine
