#include "devbackend/backend_state.h"

#include <fstream>

namespace {

constexpr size_t kMaxRecordedRequests = 1000;

}  // namespace

std::string DumpJson(const nlohmann::json& value) {
  return value.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

RecordedRequest ParseRawRequest(const std::string& raw) {
  RecordedRequest request;
  request.raw = raw;
  size_t headEnd = raw.find("\r\n\r\n");
  const std::string head = raw.substr(0, headEnd);
  if (headEnd != std::string::npos)
    request.body = raw.substr(headEnd + 4);

  size_t lineEnd = head.find("\r\n");
  const std::string requestLine = head.substr(0, lineEnd);
  const size_t firstSpace = requestLine.find(' ');
  const size_t secondSpace = requestLine.find(' ', firstSpace + 1);
  request.method = requestLine.substr(0, firstSpace);
  if (firstSpace != std::string::npos) {
    request.target =
        requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
  }
  if (secondSpace != std::string::npos)
    request.version = requestLine.substr(secondSpace + 1);

  while (lineEnd != std::string::npos) {
    const size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string line = head.substr(start, lineEnd - start);
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
      request.headers.emplace_back(line, "");
      continue;
    }
    std::string value = line.substr(colon + 1);
    const size_t valueStart = value.find_first_not_of(" \t");
    value = valueStart == std::string::npos ? "" : value.substr(valueStart);
    request.headers.emplace_back(line.substr(0, colon), value);
  }
  return request;
}

nlohmann::json RecordedRequestToJson(const RecordedRequest& request) {
  nlohmann::json headers = nlohmann::json::array();
  for (const auto& [name, value] : request.headers)
    headers.push_back({name, value});
  return {
      {"method", request.method},   {"target", request.target},
      {"version", request.version}, {"headers", headers},
      {"body", request.body},       {"raw", request.raw},
      {"atMs", request.atMs},
  };
}

BackendState::BackendState(const Settings& settings)
    : start_(Clock::now()), settings_(settings) {
  settings_.actions = PendingActions();
  SetReadyAfter(settings.readyAfterMs.value_or(0));
  settings_.readyAfterMs.reset();
}

Settings BackendState::GetSettings() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return settings_;
}

bool BackendState::UpdateSettings(const nlohmann::json& object,
                                  PendingActions& actions,
                                  std::string& error) {
  // A request may come from anything that can reach loopback; the files the
  // backend writes to are the developer's choice alone.
  for (const char* file : {"requestLog", "startLog"}) {
    if (object.is_object() && object.contains(file)) {
      error = std::string(file) +
              " is set only from the environment or the settings file";
      return false;
    }
  }
  std::lock_guard<std::mutex> lock(mutex_);
  Settings updated = settings_;
  if (!ApplySettingsJson(object, updated, error))
    return false;
  if (updated.readyAfterMs) {
    const int ms = *updated.readyAfterMs;
    readyAt_ =
        ms < 0 ? std::nullopt
               : std::optional(Clock::now() + std::chrono::milliseconds(ms));
    updated.readyAfterMs.reset();
  }
  actions = updated.actions;
  updated.actions = PendingActions();
  settings_ = std::move(updated);
  return true;
}

void BackendState::SetReadyAfter(int ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (ms < 0)
    readyAt_.reset();
  else
    readyAt_ = Clock::now() + std::chrono::milliseconds(ms);
}

bool BackendState::IsReady() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return readyAt_ && Clock::now() >= *readyAt_;
}

double BackendState::MillisSinceStart() const {
  return std::chrono::duration<double, std::milli>(Clock::now() - start_)
      .count();
}

void BackendState::Record(const std::string& raw) {
  RecordedRequest request = ParseRawRequest(raw);
  request.atMs = MillisSinceStart();
  std::lock_guard<std::mutex> lock(mutex_);
  if (!settings_.requestLog.empty()) {
    std::ofstream log(settings_.requestLog, std::ios::app | std::ios::binary);
    log << DumpJson(RecordedRequestToJson(request)) << '\n';
  }
  requests_.push_back(std::move(request));
  if (requests_.size() > kMaxRecordedRequests)
    requests_.pop_front();
}

nlohmann::json BackendState::RecordedRequests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  nlohmann::json list = nlohmann::json::array();
  for (const RecordedRequest& request : requests_)
    list.push_back(RecordedRequestToJson(request));
  return list;
}

void BackendState::ClearRecordedRequests() {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.clear();
}
