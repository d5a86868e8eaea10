// Callbacks that the engine waits on in a nested event loop because Qt wants
// the answer before its signal returns.

#ifndef CEFENGINE_BROWSER_BROWSER_AWAITED_CALLBACK_H_
#define CEFENGINE_BROWSER_BROWSER_AWAITED_CALLBACK_H_

#include <atomic>
#include <functional>
#include <mutex>

#include <QEventLoop>
#include <QMetaObject>

namespace cefengine {

// The engine holds one reference while it waits. When the client drops all
// of its own without answering, only the engine's is left and the wait ends,
// as if the client had declined.
template <class Interface>
class AwaitedCallback : public Interface {
 public:
  AwaitedCallback() = default;
  AwaitedCallback(const AwaitedCallback&) = delete;
  AwaitedCallback& operator=(const AwaitedCallback&) = delete;

  void AddRef() const override {
    ref_count_.fetch_add(1, std::memory_order_relaxed);
  }
  bool Release() const override {
    const int left = ref_count_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) {
      delete this;
      return true;
    }
    if (left == 1) {
      Wake();
    }
    return false;
  }
  bool HasOneRef() const override {
    return ref_count_.load(std::memory_order_acquire) == 1;
  }
  bool HasAtLeastOneRef() const override {
    return ref_count_.load(std::memory_order_acquire) >= 1;
  }

 protected:
  ~AwaitedCallback() override = default;

  // Runs nested event loops until |answered| holds or the client has let go.
  // UI thread; |answered| is called with no lock held.
  void Await(const std::function<bool()>& answered) {
    QEventLoop loop;
    {
      std::lock_guard<std::mutex> lock(loop_mutex_);
      loop_ = &loop;
    }
    while (!answered() && !HasOneRef()) {
      loop.exec();
    }
    std::lock_guard<std::mutex> lock(loop_mutex_);
    loop_ = nullptr;
  }

  // Ends the current Await so that it looks again. Any thread.
  void Wake() const {
    std::lock_guard<std::mutex> lock(loop_mutex_);
    if (loop_) {
      // Queued, so a wake that comes before exec() still ends it.
      QMetaObject::invokeMethod(loop_, "quit", Qt::QueuedConnection);
    }
  }

 private:
  mutable std::atomic<int> ref_count_{0};
  mutable std::mutex loop_mutex_;
  QEventLoop* loop_ = nullptr;
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_AWAITED_CALLBACK_H_
