#ifndef KORVEL_TESTS_ERROR_PAGE_PAGE_TEST_SUPPORT_H_
#define KORVEL_TESTS_ERROR_PAGE_PAGE_TEST_SUPPORT_H_

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/engine_harness/temp_dir.h"

// Decoders written independently of the engine's own, so that the tests do
// not accept whatever the engine happens to produce.

// Undoes %XX escapes; nullopt for a malformed escape.
std::optional<std::string> PercentDecode(const std::string& text);

// Standard Base64 with padding; nullopt for anything else.
std::optional<std::string> Base64Decode(const std::string& text);

// The document inside a "data:text/html;base64," URL whose payload is
// percent-encoded; nullopt when the URL is not of that form.
std::optional<std::string> DecodeErrorPageUrl(const std::string& url);

// The whole line of `html` that defines the page's reloadUrl constant.
std::string ReloadUrlLine(const std::string& html);

// Lowercase hexadecimal of every byte.
std::string ToHex(const std::string& bytes);

// Temporary folders and file reads come from the shared test support.
using engine_test::ReadFile;
using engine_test::TempDir;

struct CommandResult {
  bool started = false;
  bool timedOut = false;
  int exitCode = -1;   // -1 unless the command exited normally
  std::string output;  // standard output
  std::string errors;  // standard error
};

// Runs `argv` in its own process group with `env` added to the environment,
// standard output and error captured through files in `scratchDir`. On
// return, whatever happens (timeout, assertion failure in the caller), the
// whole group has been killed and the child reaped.
CommandResult RunCommand(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env,
                         const std::string& scratchDir,
                         std::chrono::milliseconds timeout);

#endif  // KORVEL_TESTS_ERROR_PAGE_PAGE_TEST_SUPPORT_H_
