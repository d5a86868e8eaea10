#ifndef KORVEL_DEVBACKEND_ROUTES_H_
#define KORVEL_DEVBACKEND_ROUTES_H_

#include "devbackend/backend_state.h"
#include "devbackend/recording_server.h"

// The endpoints the shell uses ("/", "/ready", the restart handshake) and
// the embedded pages.
void InstallAppRoutes(RecordingServer& server, BackendState& state);

// The control endpoints below "/__control/" that steer a running backend.
void InstallControlRoutes(RecordingServer& server, BackendState& state);

#endif  // KORVEL_DEVBACKEND_ROUTES_H_
