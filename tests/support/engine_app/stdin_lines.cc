#include "tests/support/engine_app/stdin_lines.h"

#include <errno.h>
#include <unistd.h>

#include <thread>

#include "include/cef_app.h"
#include "tests/support/engine_app/tasks.h"

namespace engine_test_app {

void WatchStdinLines(std::function<void(const std::string&)> on_line,
                     std::function<void()> on_end) {
  // Detached: it may sit in read() when the app leaves, and nothing it owns
  // needs cleaning up.
  std::thread([on_line, on_end] {
    std::string buffer;
    char chunk[4096];
    for (;;) {
      const ssize_t n = read(STDIN_FILENO, chunk, sizeof(chunk));
      if (n < 0 && errno == EINTR) {
        continue;
      }
      if (n <= 0) {
        break;
      }
      buffer.append(chunk, static_cast<size_t>(n));
      size_t newline;
      while ((newline = buffer.find('\n')) != std::string::npos) {
        const std::string line = buffer.substr(0, newline);
        buffer.erase(0, newline + 1);
        PostUiTask([on_line, line] { on_line(line); });
      }
    }
    if (!buffer.empty()) {
      PostUiTask([on_line, buffer] { on_line(buffer); });
    }
    PostUiTask(on_end);
  }).detach();
}

void WatchJsonCommands(std::function<void(const nlohmann::json&)> run) {
  WatchStdinLines(
      [run](const std::string& line) {
        if (!line.empty()) {
          run(nlohmann::json::parse(line));
        }
      },
      // The test went away.
      [] { CefQuitMessageLoop(); });
}

}  // namespace engine_test_app
