// Commands of the engine test apps: lines on stdin, handled on the UI
// thread.

#ifndef TESTS_SUPPORT_ENGINE_APP_STDIN_LINES_H_
#define TESTS_SUPPORT_ENGINE_APP_STDIN_LINES_H_

#include <functional>
#include <string>

#include <nlohmann/json.hpp>

namespace engine_test_app {

// Reads stdin on a thread of its own and runs |on_line| on the UI thread for
// every line (without its newline), in order; then |on_end| once stdin
// ends (the test closed it or went away). Call once, after the engine is
// initialised. Lines that arrive after the UI thread stopped taking tasks
// are dropped.
void WatchStdinLines(std::function<void(const std::string&)> on_line,
                     std::function<void()> on_end);

// The command protocol of the browser test apps on top of that: every
// non-empty line is one JSON command for |run|; the end of stdin quits the
// message loop.
void WatchJsonCommands(std::function<void(const nlohmann::json&)> run);

}  // namespace engine_test_app

#endif  // TESTS_SUPPORT_ENGINE_APP_STDIN_LINES_H_
