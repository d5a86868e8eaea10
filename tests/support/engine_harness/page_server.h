// A loopback HTTP server for test pages on an ephemeral port; counts the
// requests per path.

#ifndef TESTS_SUPPORT_ENGINE_HARNESS_PAGE_SERVER_H_
#define TESTS_SUPPORT_ENGINE_HARNESS_PAGE_SERVER_H_

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace engine_test {

using std::chrono::milliseconds;

class PageServer {
 public:
  // Listens on 127.0.0.1; port() is 0 when no port could be bound.
  PageServer();
  // Serves |pages| (path to body); a path ending in ".js" as script, any
  // other as HTML.
  explicit PageServer(const std::map<std::string, std::string>& pages);
  ~PageServer();
  PageServer(const PageServer&) = delete;
  PageServer& operator=(const PageServer&) = delete;

  // Serves |body| as |type| at |path| with |status|. Unknown paths get a
  // 404 page titled "missing".
  void Page(const std::string& path,
            const std::string& body,
            int status = 200,
            const std::string& type = "text/html");
  // Redirects |path| to |location| with status 302.
  void Redirect(const std::string& path, const std::string& location);
  // Serves |content| at |path| as an attachment named |filename|, with its
  // Content-Length, |chunk| bytes every |interval|.
  void Download(const std::string& path,
                const std::string& content,
                const std::string& filename,
                size_t chunk,
                milliseconds interval);

  // http://127.0.0.1:PORT|path|
  std::string Url(const std::string& path) const;
  // Requests for |path| so far, answered or not.
  int Hits(const std::string& path) const;
  int port() const { return port_; }

 private:
  struct Route {
    std::string body;
    std::string type;
    int status = 200;
    milliseconds interval{0};
    std::string location;
    std::string filename;  // an attachment, sent in chunks
    size_t chunk = 0;
  };

  std::unique_ptr<httplib::Server> server_;
  std::thread thread_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::map<std::string, int> hits_;
  std::map<std::string, Route> routes_;
};

}  // namespace engine_test

#endif  // TESTS_SUPPORT_ENGINE_HARNESS_PAGE_SERVER_H_
