#include "tests/error_page/page_test_support.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <thread>

extern char** environ;

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') {
    return c - '0';
  }
  if (c >= 'a' && c <= 'f') {
    return c - 'a' + 10;
  }
  if (c >= 'A' && c <= 'F') {
    return c - 'A' + 10;
  }
  return -1;
}

int Base64Value(char c) {
  if (c >= 'A' && c <= 'Z') {
    return c - 'A';
  }
  if (c >= 'a' && c <= 'z') {
    return c - 'a' + 26;
  }
  if (c >= '0' && c <= '9') {
    return c - '0' + 52;
  }
  if (c == '+') {
    return 62;
  }
  if (c == '/') {
    return 63;
  }
  return -1;
}

}  // namespace

std::optional<std::string> PercentDecode(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) {
      return std::nullopt;
    }
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) {
      return std::nullopt;
    }
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

std::optional<std::string> Base64Decode(const std::string& text) {
  if (text.size() % 4 != 0) {
    return std::nullopt;
  }
  std::string out;
  for (size_t i = 0; i < text.size(); i += 4) {
    const bool last = i + 4 == text.size();
    int values[4];
    int padding = 0;
    for (int k = 0; k < 4; ++k) {
      const char c = text[i + k];
      if (c == '=' && last && k >= 2) {
        values[k] = 0;
        ++padding;
        continue;
      }
      // Data after padding inside the same group is malformed.
      if (padding > 0) {
        return std::nullopt;
      }
      values[k] = Base64Value(c);
      if (values[k] < 0) {
        return std::nullopt;
      }
    }
    const unsigned group =
        (values[0] << 18) | (values[1] << 12) | (values[2] << 6) | values[3];
    out += static_cast<char>((group >> 16) & 0xff);
    if (padding < 2) {
      out += static_cast<char>((group >> 8) & 0xff);
    }
    if (padding < 1) {
      out += static_cast<char>(group & 0xff);
    }
  }
  return out;
}

std::optional<std::string> DecodeErrorPageUrl(const std::string& url) {
  static const std::string kPrefix = "data:text/html;base64,";
  if (url.compare(0, kPrefix.size(), kPrefix) != 0) {
    return std::nullopt;
  }
  const std::optional<std::string> base64 =
      PercentDecode(url.substr(kPrefix.size()));
  if (!base64) {
    return std::nullopt;
  }
  return Base64Decode(*base64);
}

std::string ReloadUrlLine(const std::string& html) {
  const size_t start = html.find("const reloadUrl = ");
  if (start == std::string::npos) {
    return std::string();
  }
  const size_t end = html.find('\n', start);
  return html.substr(
      start, end == std::string::npos ? std::string::npos : end - start);
}

std::string ToHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 0xf];
  }
  return hex;
}

CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env,
                         const std::string& scratchDir,
                         std::chrono::milliseconds timeout) {
  CommandResult result;
  if (argv.empty()) {
    return result;
  }
  const std::string outPath = scratchDir + "/command.stdout";
  const std::string errPath = scratchDir + "/command.stderr";

  // Everything the child needs is built before fork().
  std::vector<std::string> envStrings;
  for (char** entry = environ; *entry; ++entry) {
    const std::string text = *entry;
    const std::string name = text.substr(0, text.find('='));
    if (env.count(name) == 0) {
      envStrings.push_back(text);
    }
  }
  for (const auto& [name, value] : env) {
    envStrings.push_back(name + "=" + value);
  }
  std::vector<char*> envp;
  for (std::string& entry : envStrings) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);
  std::vector<std::string> args = argv;
  std::vector<char*> argp;
  for (std::string& arg : args) {
    argp.push_back(arg.data());
  }
  argp.push_back(nullptr);

  const int outFd = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  if (outFd < 0 || errFd < 0) {
    if (outFd >= 0) {
      close(outFd);
    }
    if (errFd >= 0) {
      close(errFd);
    }
    return result;
  }

  const pid_t pid = fork();
  if (pid == 0) {
    setpgid(0, 0);
    const int nullFd = open("/dev/null", O_RDONLY);
    dup2(nullFd, STDIN_FILENO);
    dup2(outFd, STDOUT_FILENO);
    dup2(errFd, STDERR_FILENO);
    execvpe(argp[0], argp.data(), envp.data());
    _exit(127);
  }
  close(outFd);
  close(errFd);
  if (pid < 0) {
    return result;
  }
  // Also set here: whichever side runs first, the group exists before any
  // kill below.
  setpgid(pid, pid);
  result.started = true;

  // Wait without reaping, so that the leader's id cannot be reused while the
  // rest of its group is killed.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    siginfo_t info{};
    if (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
        info.si_pid == pid) {
      break;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      result.timedOut = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  kill(-pid, SIGKILL);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (!result.timedOut && WIFEXITED(status)) {
    result.exitCode = WEXITSTATUS(status);
  }
  result.output = ReadFile(outPath);
  result.errors = ReadFile(errPath);
  return result;
}
