#ifndef KORVEL_DEVBACKEND_RECORDING_SERVER_H_
#define KORVEL_DEVBACKEND_RECORDING_SERVER_H_

#include <functional>
#include <string>

#include <httplib.h>

#include "devbackend/backend_state.h"

// An HTTP server that answers exactly one request per connection and then
// closes it, as the shell expects ("Connection: close" on every response),
// and records the bytes of every request as they came off the wire.
class RecordingServer : public httplib::Server {
 public:
  explicit RecordingServer(BackendState& state);

  // Binds 127.0.0.1:`port` with SO_REUSEADDR only, the way an ordinary
  // server binds: a second server cannot take the port while this one
  // listens on it. False when the port is taken.
  bool Bind(int port);

  // The listening socket after Bind(), -1 before.
  int ListeningSocket() const;

  // For handlers: runs `task` once the current response has been delivered
  // (the peer has read it and closed, or 1 s has passed) and the connection
  // is closed. Used to exit only after the answer that announces it.
  static void AfterResponse(std::function<void()> task);

 private:
  // httplib::Server methods:
  bool process_and_close_socket(socket_t sock) override;

  BackendState& state_;
};

#endif  // KORVEL_DEVBACKEND_RECORDING_SERVER_H_
