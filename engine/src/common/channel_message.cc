#include "common/channel_message.h"

#include "common/value_codec.h"

namespace cefengine {

namespace {

// First field of every message, so a peer from another build is refused
// instead of misread.
constexpr uint32_t kFormatVersion = 1;

}  // namespace

void EncodeMessage(const ChannelMessage& message, std::string* out) {
  out->clear();
  Writer writer(out);
  writer.U32(kFormatVersion);
  writer.U32(static_cast<uint32_t>(message.type));
  writer.I32(message.browser_id);
  writer.Bytes(message.frame_id);
  writer.U64(message.request_id);
  writer.Bytes(message.name);
  writer.List(message.args);
}

bool DecodeMessage(const std::string& data, ChannelMessage* message) {
  Reader reader(data.data(), data.size());
  uint32_t version = 0;
  uint32_t type = 0;
  int32_t browser_id = 0;
  ChannelMessage result;
  if (!reader.U32(&version) || version != kFormatVersion ||
      !reader.U32(&type) || !reader.I32(&browser_id) ||
      !reader.Bytes(&result.frame_id) || !reader.U64(&result.request_id) ||
      !reader.Bytes(&result.name) || !reader.List(&result.args) ||
      !reader.AtEnd()) {
    return false;
  }
  result.type = static_cast<MessageType>(type);
  result.browser_id = browser_id;
  *message = std::move(result);
  return true;
}

}  // namespace cefengine
