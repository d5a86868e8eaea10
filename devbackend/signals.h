#ifndef KORVEL_DEVBACKEND_SIGNALS_H_
#define KORVEL_DEVBACKEND_SIGNALS_H_

#include <string>

// The signal a crash request names: "segv", "abort", "bus", "fpe", "ill",
// "kill", "term", or a decimal signal number from 1 to 31. 0 when the name
// is not one of these.
int SignalFromName(const std::string& name);

#endif  // KORVEL_DEVBACKEND_SIGNALS_H_
