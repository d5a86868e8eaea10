#include "browser/process/renderer_host.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <utility>

#include "browser/prefs/prefs_service.h"
#include "common/channel.h"
#include "common/prefs_messages.h"
#include "common/switches.h"
#include "common/tasks.h"
#include "include/base/cef_logging.h"

extern char** environ;

namespace cefengine {

RendererHost::RendererHost() = default;

RendererHost::~RendererHost() {
  Stop(0);
}

bool RendererHost::Start(std::vector<std::string> argv) {
  int fds[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
    PLOG(ERROR) << "socketpair";
    return false;
  }
  // dup2 onto a different number clears close-on-exec for the child's copy.
  const int child_fd = fds[1] == 3 ? 4 : 3;
  argv.push_back(std::string("--") + switches::kRendererChannel + "=" +
                 std::to_string(child_fd));
  argv.push_back(std::string("--") + switches::kBrowserPid + "=" +
                 std::to_string(getpid()));

  std::vector<char*> args;
  for (std::string& arg : argv)
    args.push_back(&arg[0]);
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], child_fd);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none;
  sigemptyset(&none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (int sig : {SIGPIPE, SIGTERM, SIGINT, SIGCHLD, SIGHUP})
    sigaddset(&defaults, sig);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &defaults);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  pid_t pid = 0;
  const int error = posix_spawn(&pid, "/proc/self/exe", &actions, &attr,
                                args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attr);
  close(fds[1]);
  if (error != 0) {
    errno = error;
    PLOG(ERROR) << "Cannot start the renderer process";
    close(fds[0]);
    return false;
  }
  pid_ = pid;

  channel_ = std::make_unique<Channel>(fds[0]);
  std::weak_ptr<bool> alive = alive_;
  channel_->Start(
      [this, alive](ChannelMessage message) {
        // Answered on this thread: the renderer waits for it, perhaps while
        // the UI thread waits for the renderer.
        if (message.type == kPrefsRequest) {
          ChannelMessage reply;
          HandlePrefsRequest(message, &reply);
          channel_->Send(reply);
          return;
        }
        if (message.type == MessageType::kNativeResult) {
          std::lock_guard<std::mutex> lock(sink_mutex_);
          if (native_result_sink_) {
            native_result_sink_(&message);
            return;
          }
        }
        PostTask(TID_UI, [this, alive, message = std::move(message)] {
          if (alive.lock())
            Dispatch(std::move(message));
        });
      },
      [this, alive] {
        {
          std::lock_guard<std::mutex> lock(sink_mutex_);
          if (native_result_sink_)
            native_result_sink_(nullptr);
        }
        PostTask(TID_UI, [this, alive] {
          if (alive.lock())
            OnChannelClosed();
        });
      });
  return true;
}

void RendererHost::Stop(int timeout_ms) {
  if (channel_) {
    // The renderer ends its loop when its end of the channel closes.
    channel_->Close();
    channel_.reset();
  }
  if (pid_ <= 0)
    return;
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_ || (done < 0 && errno != EINTR))
      break;
    if (std::chrono::steady_clock::now() >= deadline) {
      LOG(WARNING) << "Renderer process " << pid_ << " did not exit; killing";
      kill(pid_, SIGKILL);
      while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
      }
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  pid_ = 0;
  ready_ = false;
}

bool RendererHost::Send(const ChannelMessage& message) {
  return channel_ && channel_->Send(message);
}

void RendererHost::SetHandler(MessageType type, MessageHandler handler) {
  if (type == MessageType::kRendererReady && unclaimed_ready_ && handler) {
    PostTask(TID_UI, [handler, message = std::move(*unclaimed_ready_)] {
      handler(message);
    });
    unclaimed_ready_.reset();
  }
  handlers_[type] = std::move(handler);
}

void RendererHost::SetNativeResultSink(
    std::function<void(const ChannelMessage*)> sink) {
  std::lock_guard<std::mutex> lock(sink_mutex_);
  native_result_sink_ = std::move(sink);
}

bool RendererHost::IsReady() const {
  return ready_;
}

void RendererHost::OnReady(std::function<void()> callback) {
  if (ready_)
    PostTask(TID_UI, std::move(callback));
  else
    ready_callbacks_.push_back(std::move(callback));
}

void RendererHost::Dispatch(ChannelMessage message) {
  if (message.type == MessageType::kRendererReady && !ready_) {
    ready_ = true;
    std::vector<std::function<void()>> callbacks;
    callbacks.swap(ready_callbacks_);
    for (auto& callback : callbacks)
      callback();
  }
  auto it = handlers_.find(message.type);
  if (it != handlers_.end() && it->second)
    it->second(message);
  else if (message.type == MessageType::kRendererReady)
    unclaimed_ready_ = std::move(message);
}

void RendererHost::OnChannelClosed() {
  ready_ = false;
  if (pid_ <= 0)
    return;
  LOG(ERROR) << "The renderer process " << pid_ << " went away";
  // Reap it now if it is already gone; Stop() waits for it otherwise.
  int status = 0;
  if (waitpid(pid_, &status, WNOHANG) == pid_)
    pid_ = 0;
}

}  // namespace cefengine
