// Closures as tasks for the browser UI thread, for the threads of the shell
// that hand their results over (waits, supervision, external requests).

#ifndef KORVEL_CLIENT_UI_TASK_H_
#define KORVEL_CLIENT_UI_TASK_H_

#include <functional>

// Runs |task| on the browser UI thread; whatever it captures lives until
// then. Any thread.
void PostUiTask(std::function<void()> task);

#endif  // KORVEL_CLIENT_UI_TASK_H_
