// Keeps a process from being reaped after it dies: a tracer that never
// waits receives the death first, and the real parent's wait only returns
// once the tracer is gone. Usage: ptrace_holder PID. Prints "attached" or
// "failed", then waits to be killed.
#include <stdio.h>
#include <stdlib.h>
#include <sys/ptrace.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    return 2;
  }
  pid_t pid = static_cast<pid_t>(atoi(argv[1]));
  if (ptrace(PTRACE_SEIZE, pid, nullptr, nullptr) != 0) {
    perror("failed");
    printf("failed\n");
    fflush(stdout);
    return 1;
  }
  printf("attached\n");
  fflush(stdout);
  for (;;) {
    pause();
  }
}
