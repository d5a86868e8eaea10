#ifndef KORVEL_INSTANCE_CLIENT_ACTIONS_H_
#define KORVEL_INSTANCE_CLIENT_ACTIONS_H_

// What backend supervision asks of the browser client. The client library
// defines these by forwarding to the one ShellClient; both do nothing while
// no ShellClient exists. Callable from any thread: the client re-posts the
// work to the UI thread itself.

// The backend exited without a hot restart asking for it: close every
// browser with force, which ends the application.
void CloseAllBrowsersOnBackendExit();

// The backend wrote the reopen token: bring the main window to the front.
void RaiseMainWindowOnReopen();

#endif  // KORVEL_INSTANCE_CLIENT_ACTIONS_H_
