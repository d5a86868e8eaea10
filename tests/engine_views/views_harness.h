// Runs views_test_app as a child process and reads the X server's view of
// its windows through the standard X utilities (xprop, xwininfo, xdotool).

#ifndef TESTS_ENGINE_VIEWS_VIEWS_HARNESS_H_
#define TESTS_ENGINE_VIEWS_VIEWS_HARNESS_H_

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace views_test {

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

// One run of the app. The destructor asks it to quit, then kills it and
// reaps it together with every process it left behind.
class ViewsApp {
 public:
  explicit ViewsApp(const std::vector<std::string>& extra_args = {});
  ~ViewsApp();
  ViewsApp(const ViewsApp&) = delete;
  ViewsApp& operator=(const ViewsApp&) = delete;

  // Sends one command line and waits for its answer ("done" or "state").
  json Command(const std::string& line);
  // The "state" answer for window |id|.
  json State(int id) { return Command("state " + std::to_string(id)); }

  // Waits for the first event (seen before or arriving) that matches, from
  // event number |from| on; a null json on timeout.
  json WaitFor(const std::function<bool(const json&)>& match,
               milliseconds timeout = milliseconds(15000),
               size_t from = 0);
  // How many events have arrived so far.
  size_t EventCount();
  // Position of the first event so far that matches, or -1.
  int IndexOf(const std::function<bool(const json&)>& match);
  json WaitForEvent(const std::string& name,
                    int window = -1,
                    milliseconds timeout = milliseconds(15000));
  // Every event received so far named |name|.
  std::vector<json> Events(const std::string& name);
  // Every line received so far, for failure messages.
  std::string Transcript();

  // Asks the app to close its windows and leave; true when it exited by
  // itself with status 0.
  bool Quit(milliseconds timeout = milliseconds(15000));

 private:
  bool ReadLine(milliseconds timeout);

  TempDir cache_root_;
  pid_t pid_ = -1;
  int to_app_ = -1;
  int from_app_ = -1;
  std::string buffer_;
  std::vector<json> events_;
  size_t answered_ = 0;
};

// Polls |condition| every 50 ms until it holds or |timeout| passes.
bool WaitUntil(const std::function<bool()>& condition,
               milliseconds timeout = milliseconds(5000));

// Output of a shell command, or "" when it fails.
std::string Shell(const std::string& command);

std::string Hex(unsigned long xid);

// xwininfo's "Map State" of |xid| ("IsViewable", "IsUnMapped", ...), or ""
// when the window does not exist.
std::string MapState(unsigned long xid);

struct Geometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
// Absolute position and size of the client window.
Geometry GetGeometry(unsigned long xid);

// One property as xprop prints it.
std::string Property(unsigned long xid, const std::string& name);

// The atoms in _NET_WM_STATE.
std::vector<std::string> NetWmState(unsigned long xid);
bool HasState(unsigned long xid, const std::string& atom);

// Asks the window manager to close |xid| the way its close button does.
void RequestClose(unsigned long xid);

// Colour of one screen pixel as "#RRGGBB", from a root screenshot saved to
// |png|.
std::string PixelAt(const std::string& png, int x, int y);

}  // namespace views_test

#endif  // TESTS_ENGINE_VIEWS_VIEWS_HARNESS_H_
