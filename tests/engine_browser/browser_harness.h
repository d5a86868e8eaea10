// Runs browser_test_app as a child process, talks to it in JSON lines and
// serves its pages from a loopback HTTP server on an ephemeral port.

#ifndef TESTS_ENGINE_BROWSER_BROWSER_HARNESS_H_
#define TESTS_ENGINE_BROWSER_BROWSER_HARNESS_H_

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>

namespace httplib {
class Server;
}

namespace browser_test {

using json = nlohmann::json;
using std::chrono::milliseconds;

// A directory removed with everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// One run of the app. The destructor asks it to quit, then kills its whole
// process group and reaps everything it left behind.
class BrowserApp {
 public:
  BrowserApp();
  ~BrowserApp();
  BrowserApp(const BrowserApp&) = delete;
  BrowserApp& operator=(const BrowserApp&) = delete;

  // True once the app reported that the engine is up.
  bool started() const { return started_; }

  // Sends |command| and returns its "done" answer (null on timeout).
  json Command(json command, milliseconds timeout = milliseconds(15000));
  // Creates a browser on |url| and returns its identifier (0 on failure).
  int Create(const std::string& url, bool views = false);
  void Policy(const json& values) {
    Command({{"cmd", "policy"}, {"values", values}});
  }
  json State(int browser) {
    return Command({{"cmd", "state"}, {"browser", browser}});
  }

  // Waits for the first event after the mark (see Mark) that matches; a null
  // json on timeout.
  json WaitFor(const std::function<bool(const json&)>& match,
               milliseconds timeout = milliseconds(15000));
  json WaitForEvent(const std::string& name,
                    const std::function<bool(const json&)>& match = nullptr,
                    milliseconds timeout = milliseconds(15000));
  // Events received so far (after the mark) that match.
  std::vector<json> Events(
      const std::string& name,
      const std::function<bool(const json&)>& match = nullptr);
  // Reads whatever arrives during |duration|.
  void Drain(milliseconds duration);
  // Later searches only look at events that arrive from now on.
  void Mark() { mark_ = events_.size(); }

  // Asks the app to leave; true when it exited by itself with status 0.
  bool Quit(milliseconds timeout = milliseconds(15000));

 private:
  bool ReadLine(milliseconds timeout);

  TempDir cache_root_;
  pid_t pid_ = -1;
  int to_app_ = -1;
  int from_app_ = -1;
  bool started_ = false;
  std::string buffer_;
  std::vector<json> events_;
  size_t mark_ = 0;
  size_t answered_ = 0;
};

// A loopback HTTP server for the app's pages; counts the requests per path.
class PageServer {
 public:
  PageServer();
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  // Serves |body| as text/html at |path| with |status|.
  void Page(const std::string& path,
            const std::string& body,
            int status = 200,
            const std::string& type = "text/html");
  // Answers |path| only after |delay|.
  void SlowPage(const std::string& path, milliseconds delay);
  // Redirects |path| to |location| with status 302.
  void Redirect(const std::string& path, const std::string& location);

  std::string Url(const std::string& path) const;
  std::string UrlOnHost(const std::string& host, const std::string& path) const;
  int Hits(const std::string& path) const;

 private:
  struct Route {
    std::string body;
    std::string type;
    int status = 200;
    milliseconds delay{0};
    std::string location;
  };

  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, int> hits_;
  std::map<std::string, Route> routes_;
};

// Polls |condition| every 50 ms until it holds or |timeout| passes.
bool WaitUntil(const std::function<bool()>& condition,
               milliseconds timeout = milliseconds(5000));

// Output of a shell command, or "" when it fails.
std::string Shell(const std::string& command);

// A loopback port that nothing listens on (bound, then released).
int ClosedPort();

}  // namespace browser_test

#endif  // TESTS_ENGINE_BROWSER_BROWSER_HARNESS_H_
