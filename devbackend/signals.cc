#include "devbackend/signals.h"

#include <csignal>
#include <cstdlib>

int SignalFromName(const std::string& name) {
  static const std::pair<const char*, int> kNames[] = {
      {"segv", SIGSEGV}, {"abort", SIGABRT}, {"bus", SIGBUS},   {"fpe", SIGFPE},
      {"ill", SIGILL},   {"kill", SIGKILL},  {"term", SIGTERM},
  };
  for (const auto& [text, number] : kNames) {
    if (name == text)
      return number;
  }
  if (name.empty() || name.size() > 2 ||
      name.find_first_not_of("0123456789") != std::string::npos) {
    return 0;
  }
  const int number = std::atoi(name.c_str());
  return number >= 1 && number <= 31 ? number : 0;
}
