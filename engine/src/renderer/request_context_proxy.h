// The global request context as the renderer-role process sees it: every
// call asks the browser process over the channel and waits for the answer.

#ifndef CEFENGINE_RENDERER_REQUEST_CONTEXT_PROXY_H_
#define CEFENGINE_RENDERER_REQUEST_CONTEXT_PROXY_H_

#include "common/channel_message.h"
#include "include/cef_request_context.h"

namespace cefengine {

// The proxy in the renderer-role process, null in any other process.
CefRefPtr<CefRequestContext> GetRendererGlobalContext();

// Hands a kPrefsResponse to the call waiting for it. Called on the channel's
// reader thread, because the caller blocks the renderer main thread.
void DeliverPrefsResponse(ChannelMessage message);

// Fails the calls still waiting: the channel closed, so no answer comes.
// Channel's reader thread.
void FailPrefsRequests();

}  // namespace cefengine

#endif  // CEFENGINE_RENDERER_REQUEST_CONTEXT_PROXY_H_
