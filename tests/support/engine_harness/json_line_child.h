// A child program that reports events as one JSON object per line on its
// stdout and may take commands on its stdin; the events are kept for the
// test to wait for and query.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_JSON_LINE_CHILD_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_JSON_LINE_CHILD_H_

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "tests/support/engine_harness/child_process.h"

namespace engine_test {

using json = nlohmann::json;
using EventMatch = std::function<bool(const json&)>;

class JsonLineChild {
 public:
  // See ChildProcess.
  explicit JsonLineChild(const std::vector<std::string>& argv,
                         const std::string& stderr_path = "");
  JsonLineChild(const JsonLineChild&) = delete;
  JsonLineChild& operator=(const JsonLineChild&) = delete;

  ChildProcess& process() { return process_; }

  // Takes in every event that has arrived by now, without waiting.
  void Collect();
  // Takes in whatever arrives during |duration|.
  void Drain(milliseconds duration);
  // Reads events until |done| holds or |timeout| passes; whether it held.
  bool ReadUntil(const std::function<bool()>& done, milliseconds timeout);

  // The first event from the mark on (see Mark), seen before or arriving
  // within |timeout|, that |match| accepts; a null json if none.
  json WaitFor(const EventMatch& match, milliseconds timeout);
  // WaitFor an event named |name| that |match| (if any) accepts.
  json WaitForEvent(const std::string& name,
                    const EventMatch& match,
                    milliseconds timeout);
  // Events read so far from the mark on, named |name| and accepted by
  // |match| (if any). Reads nothing new.
  std::vector<json> Events(const std::string& name,
                           const EventMatch& match = nullptr) const;

  // Later searches only look at events that arrive from now on.
  void Mark() { mark_ = events_.size(); }
  const std::vector<json>& events() const { return events_; }
  // Every event read so far, one per line, for failure messages.
  std::string Transcript() const;

  // Sends |line| and returns the first event after the previous command's
  // answer that |is_answer| accepts; a null json when the line cannot be
  // sent or no answer comes within |timeout|.
  json Command(const std::string& line,
               const EventMatch& is_answer,
               milliseconds timeout);

 private:
  // Reads output until one more event arrives; false when none does within
  // |timeout|. Lines that are not JSON objects (engine diagnostics) are
  // skipped.
  bool ReadEvent(milliseconds timeout);
  // Index of the first event from |from| on that |match| accepts, reading
  // more output for up to |timeout| when needed.
  std::optional<size_t> Find(size_t from,
                             const EventMatch& match,
                             milliseconds timeout);

  ChildProcess process_;
  std::vector<json> events_;
  size_t mark_ = 0;
  size_t answered_ = 0;
};

// True for an event named |name| (its "event" member).
bool IsEvent(const json& event, const std::string& name);

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_JSON_LINE_CHILD_H_
