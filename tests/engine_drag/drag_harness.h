// Child processes of the drag tests, read as JSON lines, and the pointer
// moves of a real XDND drag between two windows.

#ifndef TESTS_ENGINE_DRAG_DRAG_HARNESS_H_
#define TESTS_ENGINE_DRAG_DRAG_HARNESS_H_

#include <sys/types.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace drag_test {

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

// Makes the test a subreaper; on destruction kills and reaps every process
// left behind by the children (Qt's helper processes). Declare it before the
// children so it goes last.
class Reaper {
 public:
  Reaper();
  ~Reaper();
  Reaper(const Reaper&) = delete;
  Reaper& operator=(const Reaper&) = delete;
};

// A child in a process group of its own. The destructor closes its stdin;
// a child that |leaves_on_eof| must then exit by itself (a failure if not);
// either way its group is killed and the child reaped.
class Child {
 public:
  Child(const std::vector<std::string>& argv, bool leaves_on_eof);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // The first event, seen before or arriving, named |name| and matching
  // |match|; a null json on timeout.
  json WaitFor(const std::string& name,
               const std::function<bool(const json&)>& match = nullptr,
               milliseconds timeout = milliseconds(20000));
  // Every event named |name| so far.
  std::vector<json> Events(const std::string& name);
  // Every line so far, for failure messages.
  std::string Transcript() const;

 private:
  bool ReadLine(milliseconds timeout);

  const bool leaves_on_eof_;
  pid_t pid_ = -1;
  int to_child_ = -1;
  int from_child_ = -1;
  std::string buffer_;
  std::vector<json> events_;
};

struct Rect {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
// Absolute position and size of X window |xid| (xdotool).
Rect WindowRect(unsigned long xid);

// Presses the left button in the middle of |from|, moves the pointer in
// steps to the middle of |to| and releases it there, like a user's drag.
void DragPointer(const Rect& from, const Rect& to);

}  // namespace drag_test

#endif  // TESTS_ENGINE_DRAG_DRAG_HARNESS_H_
