#include "client/ui_task.h"

#include <utility>

#include "include/cef_task.h"

namespace {

class FunctionTask : public CefTask {
 public:
  explicit FunctionTask(std::function<void()> function)
      : function_(std::move(function)) {}

  // CefTask methods:
  void Execute() override { function_(); }

 private:
  std::function<void()> function_;

  IMPLEMENT_REFCOUNTING(FunctionTask);
};

}  // namespace

void PostUiTask(std::function<void()> task) {
  CefPostTask(TID_UI, new FunctionTask(std::move(task)));
}
