// Engine side shared by every view: the Qt widget that shows the view, its
// place in the view tree, and the CefView methods that work the same for all
// kinds of view. Windows and browser views build on it.

#ifndef CEFENGINE_BROWSER_VIEWS_VIEW_BASE_H_
#define CEFENGINE_BROWSER_VIEWS_VIEW_BASE_H_

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "include/views/cef_browser_view.h"
#include "include/views/cef_panel.h"
#include "include/views/cef_view.h"
#include "include/views/cef_window.h"

namespace cefengine {

class CefWindowImpl;

// True on the Qt main thread, the engine's UI thread. Views refuse work
// elsewhere because Qt widgets are not thread-safe.
bool OnUiThread();

class ViewBase {
 public:
  ViewBase(const ViewBase&) = delete;
  ViewBase& operator=(const ViewBase&) = delete;

  // The engine object behind |view|, or null for a foreign implementation.
  static ViewBase* From(CefRefPtr<CefView> view);

  // The CefView this object implements.
  virtual CefView* cef_view() = 0;
  virtual CefRefPtr<CefViewDelegate> view_delegate() = 0;
  virtual CefWindowImpl* AsWindowImpl() { return nullptr; }
  virtual bool IsBrowserView() const { return false; }

  // The widget showing the view; null once it is destroyed.
  QWidget* widget() const { return widget_; }
  ViewBase* parent() const { return parent_; }
  const std::vector<CefRefPtr<CefView>>& children() const { return children_; }

  // The window at the top of this view's tree, or null.
  CefWindowImpl* GetWindowImpl();

  // Called on this view and its descendants when their tree enters or
  // leaves a window.
  virtual void OnWindowChanged(bool added);

  // Tears down the widget of this view and its descendants; the window does
  // this when it is destroyed. Subclasses release their engine objects first.
  virtual void DestroyWidget();

 protected:
  ViewBase() = default;
  virtual ~ViewBase();

  void set_widget(QWidget* widget) { widget_ = widget; }

  // Panel operations, public on windows.
  void AddChild(CefRefPtr<CefView> view, int index);
  void RemoveChild(CefRefPtr<CefView> view);
  void ReorderChild(CefRefPtr<CefView> view, int index);
  // Children fill this view, stacked in order.
  void LayoutChildren();

  // Shared CefView behaviour.
  CefRefPtr<CefWindow> GetWindowRef();
  CefRefPtr<CefView> FindViewForID(int id);
  CefRect GetWidgetBounds();
  CefRect GetWidgetBoundsInScreen();
  void SetWidgetBounds(const CefRect& bounds);
  enum class SizeKind { kPreferred, kMinimum, kMaximum };
  // The delegate's size of |kind|; a panel without one takes the largest of
  // its children's, as its children fill it.
  CefSize GetDelegateSize(SizeKind kind);
  bool HasWidgetFocus();
  void RequestWidgetFocus();
  void SetWidgetBackground(cef_color_t color);
  bool ConvertToScreen(CefPoint& point, bool to_screen);
  bool ConvertToWindow(CefPoint& point, bool to_window);

  int id_ = 0;
  int group_id_ = -1;
  bool focusable_ = false;
  // The view's own visibility flag; a view shows when it and its ancestors
  // are visible.
  bool visible_ = true;
  cef_color_t background_color_ = 0;

 private:
  QPointer<QWidget> widget_;
  ViewBase* parent_ = nullptr;
  std::vector<CefRefPtr<CefView>> children_;
};

// Runs |destroy| now on the UI thread, else posts it there: views own Qt
// widgets, which may only be deleted on the thread that made them. Without
// a running application the object is destroyed at once.
void DestroyOnUiThread(std::function<void()> destroy);

// Reference counting for views: the last reference may be dropped on any
// thread, the object is deleted on the UI thread.
#define IMPLEMENT_VIEW_REFCOUNTING(ClassName)                    \
 public:                                                         \
  void AddRef() const override {                                 \
    ref_count_.AddRef();                                         \
  }                                                              \
  bool Release() const override {                                \
    if (!ref_count_.Release()) {                                 \
      return false;                                              \
    }                                                            \
    const ClassName* self = static_cast<const ClassName*>(this); \
    ::cefengine::DestroyOnUiThread([self] { delete self; });     \
    return true;                                                 \
  }                                                              \
  bool HasOneRef() const override {                              \
    return ref_count_.HasOneRef();                               \
  }                                                              \
  bool HasAtLeastOneRef() const override {                       \
    return ref_count_.HasAtLeastOneRef();                        \
  }                                                              \
                                                                 \
 private:                                                        \
  CefRefCount ref_count_

// CefView methods over ViewBase for an interface derived from CefView.
template <class Interface>
class ViewImpl : public Interface, public ViewBase {
 public:
  CefView* cef_view() override { return this; }

  // CefView methods:
  CefRefPtr<CefBrowserView> AsBrowserView() override { return nullptr; }
  CefRefPtr<CefPanel> AsPanel() override { return nullptr; }
  CefString ToString(bool include_children) override {
    std::string text = this->GetTypeString().ToString();
    text += " id=" + std::to_string(id_);
    if (include_children) {
      for (const auto& child : children()) {
        text += " [" + child->ToString(true).ToString() + "]";
      }
    }
    return text;
  }
  bool IsValid() override { return widget() != nullptr; }
  bool IsAttached() override { return parent() != nullptr; }
  bool IsSame(CefRefPtr<CefView> that) override {
    return that && that->IsValid() && ViewBase::From(that) == this;
  }
  CefRefPtr<CefViewDelegate> GetDelegate() override { return view_delegate(); }
  CefRefPtr<CefWindow> GetWindow() override { return GetWindowRef(); }
  int GetID() override { return id_; }
  void SetID(int id) override { id_ = id; }
  int GetGroupID() override { return group_id_; }
  void SetGroupID(int group_id) override {
    if (group_id_ == -1 && group_id >= 0) {
      group_id_ = group_id;
    }
  }
  CefRefPtr<CefView> GetParentView() override {
    return parent() ? parent()->cef_view() : nullptr;
  }
  CefRefPtr<CefView> GetViewForID(int id) override { return FindViewForID(id); }
  void SetBounds(const CefRect& bounds) override { SetWidgetBounds(bounds); }
  CefRect GetBounds() override { return GetWidgetBounds(); }
  CefRect GetBoundsInScreen() override { return GetWidgetBoundsInScreen(); }
  void SetSize(const CefSize& size) override {
    CefRect bounds = GetBounds();
    this->SetBounds(CefRect(bounds.x, bounds.y, size.width, size.height));
  }
  CefSize GetSize() override {
    CefRect bounds = GetBounds();
    return CefSize(bounds.width, bounds.height);
  }
  void SetPosition(const CefPoint& position) override {
    CefRect bounds = GetBounds();
    this->SetBounds(
        CefRect(position.x, position.y, bounds.width, bounds.height));
  }
  CefPoint GetPosition() override {
    CefRect bounds = GetBounds();
    return CefPoint(bounds.x, bounds.y);
  }
  CefSize GetPreferredSize() override {
    return GetDelegateSize(SizeKind::kPreferred);
  }
  CefSize GetMinimumSize() override {
    return GetDelegateSize(SizeKind::kMinimum);
  }
  CefSize GetMaximumSize() override {
    return GetDelegateSize(SizeKind::kMaximum);
  }
  void SetVisible(bool visible) override {
    if (OnUiThread() && widget()) {
      visible_ = visible;
      widget()->setVisible(visible);
    }
  }
  bool IsVisible() override { return widget() && visible_; }
  bool IsDrawn() override { return widget() && widget()->isVisible(); }
  void SetEnabled(bool enabled) override {
    if (OnUiThread() && widget()) {
      widget()->setEnabled(enabled);
    }
  }
  bool IsEnabled() override { return widget() && widget()->isEnabled(); }
  void SetFocusable(bool focusable) override {
    focusable_ = focusable;
    if (!focusable && widget() && HasWidgetFocus()) {
      widget()->clearFocus();
    }
  }
  bool IsFocusable() override {
    return focusable_ && this->IsEnabled() && this->IsDrawn();
  }
  bool HasFocus() override { return HasWidgetFocus(); }
  void RequestFocus() override { RequestWidgetFocus(); }
  void SetBackgroundColor(cef_color_t color) override {
    SetWidgetBackground(color);
  }
  cef_color_t GetBackgroundColor() override { return background_color_; }
  bool ConvertPointToScreen(CefPoint& point) override {
    return ConvertToScreen(point, true);
  }
  bool ConvertPointFromScreen(CefPoint& point) override {
    return ConvertToScreen(point, false);
  }
  bool ConvertPointToWindow(CefPoint& point) override {
    return ConvertToWindow(point, true);
  }
  bool ConvertPointFromWindow(CefPoint& point) override {
    return ConvertToWindow(point, false);
  }
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_VIEWS_VIEW_BASE_H_
