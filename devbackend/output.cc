#include "devbackend/output.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "devbackend/lifecycle.h"

namespace {
constexpr int kSplitPauseMs = 200;
std::atomic<bool> g_quiet{false};
}  // namespace

bool WriteText(int fd, const std::string& text) {
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR)
      continue;
    if (n <= 0)
      return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string ReopenWrites(ReopenMode mode,
                         const std::string& otherText,
                         std::string* secondWrite) {
  const std::string token = kReopenToken;
  secondWrite->clear();
  switch (mode) {
    case ReopenMode::kAlone:
      return token;
    case ReopenMode::kAfter:
      return otherText + token;
    case ReopenMode::kBefore:
      return token + otherText;
    case ReopenMode::kMiddle:
      return otherText + token + otherText;
    case ReopenMode::kSplit:
      *secondWrite = token.substr(9);
      return token.substr(0, 9);
  }
  return token;
}

void WriteReopenToken(ReopenMode mode,
                      bool toStderr,
                      const std::string& otherText) {
  const int fd = toStderr ? STDERR_FILENO : STDOUT_FILENO;
  std::string second;
  WriteText(fd, ReopenWrites(mode, otherText, &second));
  // The rest follows on its own, so that a caller answering a request does
  // so between the two writes and the reader sees them apart.
  if (!second.empty())
    RunAfter(kSplitPauseMs, [fd, second] { WriteText(fd, second); });
}

void LogLine(const std::string& text) {
  if (!g_quiet.load())
    WriteText(STDERR_FILENO, "korvel-backend: " + text + "\n");
}

void SetQuiet(bool quiet) {
  g_quiet.store(quiet);
}
