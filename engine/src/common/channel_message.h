// One message between the browser process and the renderer-role process.

#ifndef CEFENGINE_COMMON_CHANNEL_MESSAGE_H_
#define CEFENGINE_COMMON_CHANNEL_MESSAGE_H_

#include <cstdint>
#include <string>

#include "include/cef_values.h"

namespace cefengine {

// What a message is for. Values are part of the wire format between the two
// processes of one build; append new kinds, never renumber.
enum class MessageType : uint32_t {
  // Renderer -> browser once the renderer application is initialised.
  kRendererReady = 1,
  // A CefProcessMessage, either direction: |name| and |args| carry it,
  // |browser_id| and |frame_id| address it.
  kProcessMessage = 2,
  // A call that waits for its answer; the answer is kResponse with the same
  // |request_id|.
  kRequest = 3,
  kResponse = 4,
  // Script bridge (browser <-> renderer role).
  // Browser -> renderer: a page's synchronous native function call; |args|
  // holds the call as the page described it (bridge_script.h). Answered by
  // kNativeResult with the same |request_id|, |name| the reply text.
  kNativeCall = 10,
  kNativeResult = 11,
  // Renderer -> browser: run |name| (the code) in the addressed frame;
  // |args| holds the script URL and start line.
  kExecuteJavaScript = 12,
  // Renderer -> browser: the edit command |name| in the addressed frame.
  kFrameCommand = 13,
  // Engine-internal checks of the channel itself.
  kEcho = 100,
};

struct ChannelMessage {
  MessageType type = MessageType::kProcessMessage;
  // Routing: 0 / empty when the message is not about a browser or frame.
  int browser_id = 0;
  std::string frame_id;
  // Correlates kRequest and kResponse; 0 otherwise.
  uint64_t request_id = 0;
  std::string name;
  // Never null after decoding; may be null when sending (sent as empty).
  CefRefPtr<CefListValue> args;
};

// Serialises |message| into |out| (replacing its contents).
void EncodeMessage(const ChannelMessage& message, std::string* out);

// Parses |data|; false when it is not a complete, well-formed message.
bool DecodeMessage(const std::string& data, ChannelMessage* message);

}  // namespace cefengine

#endif  // CEFENGINE_COMMON_CHANNEL_MESSAGE_H_
