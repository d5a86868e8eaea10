#ifndef KORVEL_DEVBACKEND_ACTIONS_H_
#define KORVEL_DEVBACKEND_ACTIONS_H_

#include "devbackend/backend_state.h"
#include "devbackend/settings.h"

// Starts the one-shot actions of `actions`. Output texts and a reopen token
// due at once are written before this returns, so a control request answers
// only after its bytes are in the pipe. An exit or crash counts its delay
// from the end of the current response when `inRequest` is set (the caller
// is a handler), else from now.
void StartActions(const PendingActions& actions,
                  BackendState& state,
                  bool inRequest);

#endif  // KORVEL_DEVBACKEND_ACTIONS_H_
