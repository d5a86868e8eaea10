// A tiny program for the harness's own tests; argv[1] picks its behaviour:
//   echo      prints a ready event, then a line that is no JSON and a JSON
//             array; answers "answer N" with a done event carrying N, any
//             other line with a "got" event; at the end of its input prints
//             a last event without a newline and exits with status 3.
//   group     starts a process in its own group that ignores SIGTERM,
//             reports its pid, then sleeps.
//   orphan    starts a process in a session of its own, reports its pid and
//             exits at once, leaving it behind.
//   sleep     ignores SIGTERM and sleeps.

#include <signal.h>
#include <unistd.h>

#include <iostream>
#include <string>

namespace {

void Line(const std::string& text) {
  std::cout << text << std::endl;
}

[[noreturn]] void SleepForever() {
  for (;;) {
    pause();
  }
}

int Echo() {
  Line(R"({"event":"ready"})");
  Line("engine diagnostics, not an event");
  Line("[1,2,3]");
  std::string line;
  while (std::getline(std::cin, line)) {
    if (line.rfind("answer ", 0) == 0) {
      Line(R"({"event":"done","n":)" + line.substr(7) + "}");
    } else {
      Line(R"({"event":"got","line":")" + line + "\"}");
    }
  }
  std::cout << R"({"event":"last"})" << std::flush;
  return 3;
}

int Fork(bool new_session) {
  const pid_t pid = fork();
  if (pid == 0) {
    if (new_session) {
      setsid();
    }
    signal(SIGTERM, SIG_IGN);
    SleepForever();
  }
  Line(R"({"event":"grandchild","pid":)" + std::to_string(pid) + "}");
  if (new_session) {
    return 0;
  }
  SleepForever();
}

}  // namespace

int main(int argc, char* argv[]) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "echo") {
    return Echo();
  }
  if (mode == "group" || mode == "orphan") {
    return Fork(mode == "orphan");
  }
  if (mode == "sleep") {
    signal(SIGTERM, SIG_IGN);
    SleepForever();
  }
  return 2;
}
