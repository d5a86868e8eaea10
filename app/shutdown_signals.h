// SIGTERM, SIGINT and SIGHUP (a desktop logging out sends them) end the
// application the way closing its window does: browsers closed without
// asking the page, the engine shut down so that it writes its profile, the
// backend stopped at exit, status 0.

#ifndef KORVEL_APP_SHUTDOWN_SIGNALS_H_
#define KORVEL_APP_SHUTDOWN_SIGNALS_H_

// Installs the three handlers and starts the thread that turns a caught
// signal into ShellClient::RequestEnd. Call once, on the main thread, after
// the engine has initialised: the engine installs handlers of its own for
// these signals while it starts, and ours must replace them. False when no
// pipe or thread can be had; the signals then keep their default action
// (the process dies and the backend with it, by its parent-death signal).
bool InstallShutdownSignalHandlers();

#endif  // KORVEL_APP_SHUTDOWN_SIGNALS_H_
