#include "tests/support/engine_harness/json_line_child.h"

namespace engine_test {

namespace {

using Clock = std::chrono::steady_clock;

milliseconds Left(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? left : milliseconds(0);
}

}  // namespace

JsonLineChild::JsonLineChild(const std::vector<std::string>& argv,
                             const std::string& stderr_path)
    : process_(argv, stderr_path) {}

bool JsonLineChild::ReadEvent(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    std::optional<std::string> line = process_.ReadLine(Left(deadline));
    if (!line) {
      return false;
    }
    json event = json::parse(*line, nullptr, /*allow_exceptions=*/false);
    if (!event.is_discarded() && event.is_object()) {
      events_.push_back(std::move(event));
      return true;
    }
  }
}

void JsonLineChild::Collect() {
  while (ReadEvent(milliseconds(0))) {
  }
}

void JsonLineChild::Drain(milliseconds duration) {
  const auto deadline = Clock::now() + duration;
  while (Clock::now() < deadline) {
    if (!ReadEvent(Left(deadline)) && process_.output_ended()) {
      return;
    }
  }
}

bool JsonLineChild::ReadUntil(const std::function<bool()>& done,
                              milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (!done()) {
    if (!ReadEvent(Left(deadline))) {
      return done();
    }
  }
  return true;
}

json JsonLineChild::WaitFor(const EventMatch& match, milliseconds timeout) {
  const std::optional<size_t> found = Find(mark_, match, timeout);
  return found ? events_[*found] : json();
}

std::optional<size_t> JsonLineChild::Find(size_t from,
                                          const EventMatch& match,
                                          milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (size_t checked = from;; ++checked) {
    while (checked >= events_.size()) {
      if (!ReadEvent(Left(deadline))) {
        return std::nullopt;
      }
    }
    if (match(events_[checked])) {
      return checked;
    }
  }
}

json JsonLineChild::WaitForEvent(const std::string& name,
                                 const EventMatch& match,
                                 milliseconds timeout) {
  return WaitFor(
      [&](const json& event) {
        return IsEvent(event, name) && (!match || match(event));
      },
      timeout);
}

std::vector<json> JsonLineChild::Events(const std::string& name,
                                        const EventMatch& match) const {
  std::vector<json> found;
  for (size_t i = mark_; i < events_.size(); ++i) {
    if (IsEvent(events_[i], name) && (!match || match(events_[i]))) {
      found.push_back(events_[i]);
    }
  }
  return found;
}

std::string JsonLineChild::Transcript() const {
  std::string text;
  for (const json& event : events_) {
    text += event.dump() + "\n";
  }
  return text;
}

json JsonLineChild::Command(const std::string& line,
                            const EventMatch& is_answer,
                            milliseconds timeout) {
  if (!process_.SendLine(line)) {
    return nullptr;
  }
  // Answers come in command order: those before |answered_| belong to
  // earlier commands.
  const std::optional<size_t> answer = Find(answered_, is_answer, timeout);
  if (!answer) {
    return nullptr;
  }
  answered_ = *answer + 1;
  return events_[*answer];
}

bool IsEvent(const json& event, const std::string& name) {
  return event.is_object() && event.value("event", "") == name;
}

}  // namespace engine_test
