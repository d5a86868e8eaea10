#include "tests/engine_renderer/app_runner.h"

#include <filesystem>

namespace engine_test {

AppRun::AppRun(const std::string& app_path, const std::string& url) {
  std::error_code ignored;
  std::filesystem::create_directory(dir_.path() + "/cache", ignored);
  app_ = std::make_unique<JsonLineChild>(
      std::vector<std::string>{
          app_path, "--cache-root=" + dir_.path() + "/cache", "--url=" + url},
      dir_.path() + "/stderr.log");
}

bool AppRun::ReadUntil(
    const std::function<bool(const std::vector<json>&)>& done,
    std::chrono::milliseconds timeout) {
  return app_->ReadUntil([&] { return done(app_->events()); }, timeout);
}

std::vector<json> AppRun::Reports(const std::string& where) const {
  std::vector<json> reports;
  for (const json& line : lines()) {
    if (line.value("name", "") == "report" && line.contains("data") &&
        line["data"].is_object() && line["data"].value("where", "") == where) {
      reports.push_back(line);
    }
  }
  return reports;
}

std::string AppRun::Logs() const {
  std::string logs;
  for (const char* name : {"/stderr.log", "/cache/engine.log"}) {
    logs += std::string("--- ") + name + "\n" + ReadFile(dir_.path() + name);
  }
  return logs;
}

}  // namespace engine_test
