#include "client/native_drag.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <utility>

#include "client/detached_thread.h"
#include "client/file_drag.h"

// Last: Xlib defines macros (None, Bool, Status) that clash with C++ code.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// How often the pointer is read. The engine holds the implicit grab of the
// press that started the drag, so no pointer event reaches the drag's own
// window; polling sees the pointer whoever grabs it.
constexpr milliseconds kPollInterval(12);
// Bounds on the drop target once the button is up, and on the server.
constexpr milliseconds kStatusWait(2000);
constexpr milliseconds kFinishWait(5000);
constexpr milliseconds kServerWait(1000);

constexpr long kXdndVersion = 5;
constexpr long kOldestXdndVersion = 3;
// Deeper than any real window tree; a bound should the tree change under
// the walk.
constexpr int kMaxWalkDepth = 64;
constexpr unsigned kDragButtons = Button1Mask | Button2Mask | Button3Mask;

// One drag at a time: a second would fight the first over the selection.
std::atomic<bool> drag_running{false};

enum AtomIndex {
  kXdndAware,
  kXdndProxy,
  kXdndSelection,
  kXdndTypeList,
  kXdndEnter,
  kXdndPosition,
  kXdndStatus,
  kXdndLeave,
  kXdndDrop,
  kXdndFinished,
  kXdndActionCopy,
  kUriList,
  kPlainUtf8,
  kPlain,
  kUtf8String,
  kTargets,
  kNetWmPid,
  kAtomCount
};

const char* const kAtomNames[kAtomCount] = {"XdndAware",
                                            "XdndProxy",
                                            "XdndSelection",
                                            "XdndTypeList",
                                            "XdndEnter",
                                            "XdndPosition",
                                            "XdndStatus",
                                            "XdndLeave",
                                            "XdndDrop",
                                            "XdndFinished",
                                            "XdndActionCopy",
                                            "text/uri-list",
                                            "text/plain;charset=utf-8",
                                            "text/plain",
                                            "UTF8_STRING",
                                            "TARGETS",
                                            "_NET_WM_PID"};

// A drop target: the XdndAware window, and where its messages go (the
// window itself or its proxy).
struct Target {
  Window window = 0;
  Window deliver_to = 0;
  long version = 0;
};

// The source side of one XDND drag on |display|.
class XdndSource {
 public:
  XdndSource(Display* display, std::string uri_list, std::string text)
      : display_(display),
        root_(DefaultRootWindow(display)),
        uri_list_(std::move(uri_list)),
        text_(std::move(text)) {
    XInternAtoms(display_, const_cast<char**>(kAtomNames), kAtomCount, False,
                 atoms_);
    escape_ = XKeysymToKeycode(display_, XK_Escape);
  }

  ~XdndSource() {
    if (window_) {
      XDestroyWindow(display_, window_);
      XSync(display_, False);
    }
  }

  XdndSource(const XdndSource&) = delete;
  XdndSource& operator=(const XdndSource&) = delete;

  void Run() {
    int x = 0;
    int y = 0;
    unsigned mask = 0;
    ReadPointer(&x, &y, &mask);
    if (!(mask & kDragButtons)) {
      return;  // Not inside a press: no drag to continue.
    }
    XSetWindowAttributes attributes = {};
    attributes.event_mask = PropertyChangeMask;
    window_ =
        XCreateWindow(display_, root_, -1, -1, 1, 1, 0, CopyFromParent,
                      InputOnly, CopyFromParent, CWEventMask, &attributes);
    // The type list's change notice carries the server time that the
    // selection is owned from, and every message quotes it.
    const Atom types[] = {atoms_[kUriList], atoms_[kPlainUtf8], atoms_[kPlain]};
    XChangeProperty(display_, window_, atoms_[kXdndTypeList], XA_ATOM, 32,
                    PropModeReplace,
                    reinterpret_cast<const unsigned char*>(types), 3);
    if (!Pump(Clock::now() + kServerWait, [&] { return time_ != 0; })) {
      return;
    }
    XSetSelectionOwner(display_, atoms_[kXdndSelection], window_, time_);
    if (XGetSelectionOwner(display_, atoms_[kXdndSelection]) != window_) {
      return;
    }
    Drag();
  }

 private:
  // Follows the pointer until its button comes up, Escape is held or
  // another program takes the selection.
  void Drag() {
    int last_x = -1;
    int last_y = -1;
    for (;;) {
      ProcessEvents();
      int x = 0;
      int y = 0;
      unsigned mask = 0;
      const bool on_screen = ReadPointer(&x, &y, &mask);
      if (lost_selection_ || EscapeHeld()) {
        Leave();
        return;
      }
      if (!on_screen) {
        Leave();
        last_x = -1;
      } else if (x != last_x || y != last_y) {
        last_x = x;
        last_y = y;
        MoveTo(FindTarget(x, y), x, y);
      }
      SendDuePosition();
      if (!(mask & kDragButtons)) {
        Release();
        return;
      }
      WaitForInput(kPollInterval);
    }
  }

  // The button is up: a drop where the target took the last position, else
  // a leave.
  void Release() {
    if (!target_.window) {
      return;
    }
    Pump(Clock::now() + kStatusWait, [&] {
      SendDuePosition();
      return !awaiting_status_ && !position_due_;
    });
    if (awaiting_status_ || position_due_ || !accepted_) {
      Leave();
      return;
    }
    Send(atoms_[kXdndDrop], 0, time_, 0, 0);
    // The target reads the files through the selection meanwhile.
    Pump(Clock::now() + kFinishWait, [&] { return finished_; });
  }

  void MoveTo(const Target& target, int x, int y) {
    if (target.window != target_.window) {
      Leave();
      target_ = target;
      if (target_.window) {
        // Three types or fewer, so the list goes in the message itself.
        Send(atoms_[kXdndEnter], std::min(target_.version, kXdndVersion) << 24,
             atoms_[kUriList], atoms_[kPlainUtf8], atoms_[kPlain]);
      }
    }
    if (target_.window) {
      x_ = x;
      y_ = y;
      position_due_ = true;
    }
  }

  // One position at a time: the next goes once the target has answered.
  void SendDuePosition() {
    if (target_.window && position_due_ && !awaiting_status_) {
      Send(atoms_[kXdndPosition], 0, (x_ & 0xffff) << 16 | (y_ & 0xffff), time_,
           atoms_[kXdndActionCopy]);
      position_due_ = false;
      awaiting_status_ = true;
    }
  }

  void Leave() {
    if (target_.window) {
      Send(atoms_[kXdndLeave], 0, 0, 0, 0);
    }
    target_ = Target();
    accepted_ = false;
    awaiting_status_ = false;
    position_due_ = false;
  }

  void Send(Atom type, long l1, long l2, long l3, long l4) {
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.display = display_;
    event.xclient.window = target_.window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(window_);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display_, target_.deliver_to, False, NoEventMask, &event);
    XFlush(display_);
  }

  // The first XdndAware window on the way down from the root to the
  // pointer (the window manager's frames have none), when it speaks a
  // version this source does and belongs to another program: files
  // dropped back on the shell's own page would be handed to it again.
  Target FindTarget(int x, int y) {
    Window window = root_;
    for (int depth = 0; depth < kMaxWalkDepth; ++depth) {
      int local_x = 0;
      int local_y = 0;
      Window child = 0;
      if (!XTranslateCoordinates(display_, root_, window, x, y, &local_x,
                                 &local_y, &child) ||
          !child) {
        return Target();
      }
      window = child;
      long version = 0;
      if (ReadLong(window, atoms_[kXdndAware], XA_ATOM, &version)) {
        long pid = 0;
        if (version < kOldestXdndVersion ||
            (ReadLong(window, atoms_[kNetWmPid], XA_CARDINAL, &pid) &&
             pid == getpid())) {
          return Target();
        }
        return Target{window, ProxyOf(window), version};
      }
    }
    return Target();
  }

  // A proxy counts only when it names itself as its own proxy; anything
  // else is a stale property.
  Window ProxyOf(Window window) {
    long proxy = 0;
    long own = 0;
    if (ReadLong(window, atoms_[kXdndProxy], XA_WINDOW, &proxy) &&
        ReadLong(proxy, atoms_[kXdndProxy], XA_WINDOW, &own) && own == proxy) {
      return proxy;
    }
    return window;
  }

  // The first 32-bit item of |window|'s |property| of |type|.
  bool ReadLong(Window window, Atom property, Atom type, long* value) {
    Atom actual = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display_, window, property, 0, 1,
                                          False, type, &actual, &format, &count,
                                          &after, &data) == Success &&
                       actual == type && format == 32 && count == 1;
    if (found) {
      *value = reinterpret_cast<long*>(data)[0];
    }
    if (data) {
      XFree(data);
    }
    return found;
  }

  // False when the pointer is on another screen; the buttons count anyway.
  bool ReadPointer(int* x, int* y, unsigned* mask) {
    Window root = 0;
    Window child = 0;
    int local_x = 0;
    int local_y = 0;
    return XQueryPointer(display_, root_, &root, &child, x, y, &local_x,
                         &local_y, mask);
  }

  // The keyboard belongs to the engine's window; its state is the server's.
  bool EscapeHeld() {
    if (!escape_) {
      return false;
    }
    char keys[32] = {};
    XQueryKeymap(display_, keys);
    return keys[escape_ / 8] & (1 << (escape_ % 8));
  }

  void ProcessEvents() {
    while (XPending(display_)) {
      XEvent event;
      XNextEvent(display_, &event);
      Handle(event);
    }
  }

  void WaitForInput(milliseconds at_most) {
    pollfd input = {ConnectionNumber(display_), POLLIN, 0};
    poll(&input, 1, static_cast<int>(at_most.count()));
  }

  // Handles events until |done| holds; false when |deadline| came first.
  bool Pump(Clock::time_point deadline, const std::function<bool()>& done) {
    for (;;) {
      ProcessEvents();
      if (done()) {
        return true;
      }
      const Clock::time_point now = Clock::now();
      if (now >= deadline || lost_selection_) {
        return false;
      }
      WaitForInput(
          std::min(kPollInterval,
                   std::chrono::duration_cast<milliseconds>(deadline - now) +
                       milliseconds(1)));
    }
  }

  void Handle(const XEvent& event) {
    switch (event.type) {
      case PropertyNotify:
        if (event.xproperty.window == window_ && !time_) {
          time_ = event.xproperty.time;
        }
        break;
      case ClientMessage:
        // Answers of a target left behind are stale.
        if (!target_.window ||
            static_cast<Window>(event.xclient.data.l[0]) != target_.window) {
          break;
        }
        if (event.xclient.message_type == atoms_[kXdndStatus]) {
          awaiting_status_ = false;
          accepted_ = event.xclient.data.l[1] & 1;
        } else if (event.xclient.message_type == atoms_[kXdndFinished]) {
          finished_ = true;
        }
        break;
      case SelectionRequest:
        Answer(event.xselectionrequest);
        break;
      case SelectionClear:
        if (event.xselectionclear.selection == atoms_[kXdndSelection]) {
          lost_selection_ = true;
        }
        break;
    }
  }

  // Hands a requestor the drag's data in the format it asked for, or tells
  // it there is none (an unknown format, or more than one request holds).
  void Answer(const XSelectionRequestEvent& request) {
    XEvent reply = {};
    reply.xselection.type = SelectionNotify;
    reply.xselection.display = display_;
    reply.xselection.requestor = request.requestor;
    reply.xselection.selection = request.selection;
    reply.xselection.target = request.target;
    reply.xselection.time = request.time;
    reply.xselection.property = 0;
    // Clients of old name no property and expect the target's name.
    const Atom property = request.property ? request.property : request.target;
    const long max_bytes =
        std::max(XExtendedMaxRequestSize(display_), XMaxRequestSize(display_)) *
            4 -
        64;
    const std::string* data = nullptr;
    if (request.target == atoms_[kUriList]) {
      data = &uri_list_;
    } else if (request.target == atoms_[kPlainUtf8] ||
               request.target == atoms_[kPlain] ||
               request.target == atoms_[kUtf8String]) {
      data = &text_;
    }
    if (request.selection != atoms_[kXdndSelection]) {
      // Not ours to answer beyond saying so.
    } else if (request.target == atoms_[kTargets]) {
      const Atom targets[] = {atoms_[kTargets], atoms_[kUriList],
                              atoms_[kPlainUtf8], atoms_[kPlain],
                              atoms_[kUtf8String]};
      XChangeProperty(display_, request.requestor, property, XA_ATOM, 32,
                      PropModeReplace,
                      reinterpret_cast<const unsigned char*>(targets), 5);
      reply.xselection.property = property;
    } else if (data && static_cast<long>(data->size()) <= max_bytes) {
      XChangeProperty(display_, request.requestor, property, request.target, 8,
                      PropModeReplace,
                      reinterpret_cast<const unsigned char*>(data->data()),
                      static_cast<int>(data->size()));
      reply.xselection.property = property;
    }
    XSendEvent(display_, request.requestor, False, NoEventMask, &reply);
    XFlush(display_);
  }

  Display* const display_;
  const Window root_;
  const std::string uri_list_;
  const std::string text_;
  Atom atoms_[kAtomCount] = {};
  KeyCode escape_ = 0;
  Window window_ = 0;
  // The server time the selection is owned from.
  Time time_ = 0;

  Target target_;
  int x_ = 0;
  int y_ = 0;
  // The pointer moved since the last position the target was sent.
  bool position_due_ = false;
  bool awaiting_status_ = false;
  bool accepted_ = false;
  bool finished_ = false;
  bool lost_selection_ = false;
};

void RunDrag(const std::string& uri_list, const std::string& text) {
  if (Display* display = XOpenDisplay(nullptr)) {
    {
      XdndSource source(display, uri_list, text);
      source.Run();
    }
    XCloseDisplay(display);
  }
  drag_running = false;
}

bool IsUnreserved(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_' || c == '~';
}

}  // namespace

std::vector<std::string> DraggableFiles(const std::string& json) {
  std::vector<std::string> paths;
  if (!PathListFromJson(json, paths)) {
    return {};
  }
  // "file://" followed by a relative path would name a host.
  paths.erase(std::remove_if(paths.begin(), paths.end(),
                             [](const std::string& path) {
                               return path[0] != '/' ||
                                      path.find('\0') != std::string::npos;
                             }),
              paths.end());
  return paths;
}

std::string FileUriList(const std::vector<std::string>& paths) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string list;
  for (const std::string& path : paths) {
    list += "file://";
    for (const unsigned char c : path) {
      if (c == '/' || IsUnreserved(c)) {
        list += static_cast<char>(c);
      } else {
        list += '%';
        list += kHex[c >> 4];
        list += kHex[c & 15];
      }
    }
    list += "\r\n";
  }
  return list;
}

void StartNativeFileDrag(const std::string& json) {
  const std::vector<std::string> paths = DraggableFiles(json);
  if (paths.empty() || drag_running.exchange(true)) {
    return;
  }
  std::string text;
  for (const std::string& path : paths) {
    text += (text.empty() ? "" : "\n") + path;
  }
  const std::string uri_list = FileUriList(paths);
  if (!RunDetached([uri_list, text] { RunDrag(uri_list, text); })) {
    drag_running = false;
  }
}
