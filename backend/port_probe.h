#ifndef KORVEL_BACKEND_PORT_PROBE_H_
#define KORVEL_BACKEND_PORT_PROBE_H_

// Whether something still holds the backend port, decided within
// `timeoutMs`. A plain connect can block for minutes: a listener that no
// longer accepts (an exited backend's socket kept by a leftover child) fills
// its queue, and further handshakes go unanswered until the kernel gives up.
// An answer still pending at the timeout therefore counts as held; only a
// refused connection means the port is free.
bool IsBackendPortOpenWithin(int timeoutMs);

#endif  // KORVEL_BACKEND_PORT_PROBE_H_
