#include "tests/support/engine_harness/stand_in_opener.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <sstream>

namespace engine_test {

namespace {

constexpr char kOpener[] = R"(#!/bin/sh
out="$OPENER_RECORD"
echo $# > "$out/count"
printf '%s' "$1" > "$out/arg"
ls -l /proc/$$/fd > "$out/fds"
sleep "${OPENER_SLEEP:-0}"
printf '%s\n' "$1" >> "$out/opened"
echo $$ > "$out/pid.tmp"
mv "$out/pid.tmp" "$out/pid"
)";

}  // namespace

StandInOpener::StandInOpener() {
  const std::string opener = dir_.Write("bin/xdg-open", kOpener);
  chmod(opener.c_str(), 0755);
  const char* path = getenv("PATH");
  setenv("PATH",
         (dir_.path() + "/bin:" + (path ? path : "/usr/bin:/bin")).c_str(), 1);
  setenv("OPENER_RECORD", dir_.path().c_str(), 1);
}

std::vector<std::string> StandInOpener::Opened() const {
  std::istringstream in(Recorded("opened"));
  std::vector<std::string> urls;
  for (std::string line; std::getline(in, line);) {
    urls.push_back(line);
  }
  return urls;
}

std::string StandInOpener::Recorded(const std::string& name) const {
  return ReadFile(dir_.path() + "/" + name);
}

}  // namespace engine_test
