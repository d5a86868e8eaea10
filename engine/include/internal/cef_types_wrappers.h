// C++ wrappers of the plain C structures. Wrappers built on CefStructBase
// own the strings inside their structure and free them when destroyed.

#ifndef CEF_INCLUDE_INTERNAL_CEF_TYPES_WRAPPERS_H_
#define CEF_INCLUDE_INTERNAL_CEF_TYPES_WRAPPERS_H_
#pragma once

#include <algorithm>
#include <cstring>
#include <limits>

#include "include/internal/cef_string.h"
#include "include/internal/cef_string_list.h"
#include "include/internal/cef_types.h"

// Wraps traits::struct_type. The traits supply init(), clear() (free the
// strings) and set() (copy or reference every field).
template <class traits>
class CefStructBase : public traits::struct_type {
 public:
  using struct_type = typename traits::struct_type;

  CefStructBase() { Init(); }
  ~CefStructBase() {
    if (!attached_to_) {
      Clear(this);
    }
  }

  CefStructBase(const CefStructBase& r) {
    Init();
    *this = r;
  }
  CefStructBase(const struct_type& r) {
    Init();
    *this = r;
  }

  // Takes over the contents of |source| without copying strings; |source|
  // must not be freed by anyone else until DetachTo() hands them back.
  void AttachTo(struct_type& source) {
    if (!attached_to_) {
      Clear(this);
    }
    attached_to_ = &source;
    const size_t source_size = std::min(source.size, sizeof(struct_type));
    std::memcpy(static_cast<struct_type*>(this), &source, source_size);
    this->size = source_size;
  }

  // Moves the contents into |target| (which then owns the strings) and
  // leaves this wrapper empty.
  void DetachTo(struct_type& target) {
    if (attached_to_ != &target) {
      Clear(&target);
    }
    const size_t target_size = std::min(target.size, sizeof(struct_type));
    std::memcpy(&target, static_cast<struct_type*>(this), target_size);
    if (target_size < sizeof(struct_type)) {
      // The fields |target| has no room for still belong to us: free them.
      std::memset(static_cast<struct_type*>(this), 0, target_size);
      this->size = sizeof(struct_type);
      Clear(this);
    }
    Init();
  }

  // Copies (or, without |copy|, references) every field of |source|.
  void Set(const struct_type& source, bool copy) {
    if (source.size < sizeof(struct_type)) {
      // Fields |source| lacks are not overwritten below; reset them.
      Clear(this);
    }
    traits::set(&source, this, copy);
  }

  CefStructBase& operator=(const CefStructBase& s) {
    return operator=(static_cast<const struct_type&>(s));
  }
  CefStructBase& operator=(const struct_type& s) {
    Set(s, true);
    return *this;
  }

 protected:
  void Init() {
    std::memset(static_cast<struct_type*>(this), 0, sizeof(struct_type));
    attached_to_ = nullptr;
    traits::init(this);
  }

  static void Clear(struct_type* s) { traits::clear(s); }

  struct_type* attached_to_ = nullptr;
};

// For structures without strings: only |size| needs care.
template <class struct_type>
class CefStructBaseSimple : public struct_type {
 public:
  CefStructBaseSimple() : struct_type{} { this->size = sizeof(struct_type); }
  CefStructBaseSimple(const struct_type& r) : struct_type{} { *this = r; }

  CefStructBaseSimple& operator=(const struct_type& r) {
    std::memcpy(static_cast<struct_type*>(this), &r,
                std::min(r.size, sizeof(struct_type)));
    this->size = sizeof(struct_type);
    return *this;
  }
};

class CefPoint : public cef_point_t {
 public:
  CefPoint() : cef_point_t{} {}
  CefPoint(const cef_point_t& r) : cef_point_t(r) {}
  CefPoint(int x, int y) : cef_point_t{x, y} {}

  bool IsEmpty() const { return x <= 0 && y <= 0; }
  void Set(int x_val, int y_val) { x = x_val, y = y_val; }
};

inline bool operator==(const CefPoint& a, const CefPoint& b) {
  return a.x == b.x && a.y == b.y;
}
inline bool operator!=(const CefPoint& a, const CefPoint& b) {
  return !(a == b);
}

class CefRect : public cef_rect_t {
 public:
  CefRect() : cef_rect_t{} {}
  CefRect(const cef_rect_t& r) : cef_rect_t(r) {}
  CefRect(int x, int y, int width, int height)
      : cef_rect_t{x, y, width, height} {}

  bool IsEmpty() const { return width <= 0 || height <= 0; }
  void Set(int x_val, int y_val, int width_val, int height_val) {
    x = x_val, y = y_val, width = width_val, height = height_val;
  }
  // The right and bottom edges are outside the rectangle.
  bool Contains(int point_x, int point_y) const {
    return point_x >= x && point_x < x + width && point_y >= y &&
           point_y < y + height;
  }
  bool Contains(const CefPoint& point) const {
    return Contains(point.x, point.y);
  }
};

inline bool operator==(const CefRect& a, const CefRect& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}
inline bool operator!=(const CefRect& a, const CefRect& b) {
  return !(a == b);
}

class CefSize : public cef_size_t {
 public:
  CefSize() : cef_size_t{} {}
  CefSize(const cef_size_t& r) : cef_size_t(r) {}
  CefSize(int width, int height) : cef_size_t{width, height} {}

  bool IsEmpty() const { return width <= 0 || height <= 0; }
  void Set(int width_val, int height_val) {
    width = width_val, height = height_val;
  }
};

inline bool operator==(const CefSize& a, const CefSize& b) {
  return a.width == b.width && a.height == b.height;
}
inline bool operator!=(const CefSize& a, const CefSize& b) {
  return !(a == b);
}

class CefRange : public cef_range_t {
 public:
  CefRange() : cef_range_t{} {}
  CefRange(const cef_range_t& r) : cef_range_t(r) {}
  CefRange(uint32_t from, uint32_t to) : cef_range_t{from, to} {}

  static CefRange InvalidRange() {
    return CefRange((std::numeric_limits<uint32_t>::max)(),
                    (std::numeric_limits<uint32_t>::max)());
  }
  void Set(int from_val, int to_val) { from = from_val, to = to_val; }
};

inline bool operator==(const CefRange& a, const CefRange& b) {
  return a.from == b.from && a.to == b.to;
}
inline bool operator!=(const CefRange& a, const CefRange& b) {
  return !(a == b);
}

class CefInsets : public cef_insets_t {
 public:
  CefInsets() : cef_insets_t{} {}
  CefInsets(const cef_insets_t& r) : cef_insets_t(r) {}
  CefInsets(int top, int left, int bottom, int right)
      : cef_insets_t{top, left, bottom, right} {}

  void Set(int top_val, int left_val, int bottom_val, int right_val) {
    top = top_val, left = left_val, bottom = bottom_val, right = right_val;
  }
};

inline bool operator==(const CefInsets& a, const CefInsets& b) {
  return a.top == b.top && a.left == b.left && a.bottom == b.bottom &&
         a.right == b.right;
}
inline bool operator!=(const CefInsets& a, const CefInsets& b) {
  return !(a == b);
}

class CefDraggableRegion : public cef_draggable_region_t {
 public:
  CefDraggableRegion() : cef_draggable_region_t{} {}
  CefDraggableRegion(const cef_draggable_region_t& r)
      : cef_draggable_region_t(r) {}
  CefDraggableRegion(const cef_rect_t& bounds, bool draggable)
      : cef_draggable_region_t{bounds, draggable} {}

  void Set(const CefRect& bounds_val, bool draggable_val) {
    bounds = bounds_val, draggable = draggable_val;
  }
};

inline bool operator==(const CefDraggableRegion& a,
                       const CefDraggableRegion& b) {
  return a.bounds == b.bounds && a.draggable == b.draggable;
}
inline bool operator!=(const CefDraggableRegion& a,
                       const CefDraggableRegion& b) {
  return !(a == b);
}

class CefScreenInfo : public CefStructBaseSimple<cef_screen_info_t> {
 public:
  using base_type = CefStructBaseSimple<cef_screen_info_t>;
  using base_type::CefStructBaseSimple;
  using base_type::operator=;

  CefScreenInfo(float device_scale_factor,
                int depth,
                int depth_per_component,
                bool is_monochrome,
                const cef_rect_t& rect,
                const cef_rect_t& available_rect) {
    Set(device_scale_factor, depth, depth_per_component, is_monochrome, rect,
        available_rect);
  }

  void Set(float device_scale_factor_val,
           int depth_val,
           int depth_per_component_val,
           bool is_monochrome_val,
           const CefRect& rect_val,
           const CefRect& available_rect_val) {
    device_scale_factor = device_scale_factor_val;
    depth = depth_val;
    depth_per_component = depth_per_component_val;
    is_monochrome = is_monochrome_val;
    rect = rect_val;
    available_rect = available_rect_val;
  }
};

using CefKeyEvent = CefStructBaseSimple<cef_key_event_t>;

class CefMouseEvent : public cef_mouse_event_t {
 public:
  CefMouseEvent() : cef_mouse_event_t{} {}
  CefMouseEvent(const cef_mouse_event_t& r) : cef_mouse_event_t(r) {}
};

using CefPopupFeatures = CefStructBaseSimple<cef_popup_features_t>;

// Copies or references one string field.
#define CEF_SET_STRING_FIELD_(src, target, field, copy) \
  cef_string_set((src)->field.str, (src)->field.length, &(target)->field, copy)

struct CefSettingsTraits {
  using struct_type = cef_settings_t;

  static inline void init(struct_type* s) { s->size = sizeof(struct_type); }

  static inline void clear(struct_type* s) {
    cef_string_clear(&s->browser_subprocess_path);
    cef_string_clear(&s->framework_dir_path);
    cef_string_clear(&s->main_bundle_path);
    cef_string_clear(&s->cache_path);
    cef_string_clear(&s->root_cache_path);
    cef_string_clear(&s->user_agent);
    cef_string_clear(&s->user_agent_product);
    cef_string_clear(&s->locale);
    cef_string_clear(&s->log_file);
    cef_string_clear(&s->javascript_flags);
    cef_string_clear(&s->resources_dir_path);
    cef_string_clear(&s->locales_dir_path);
    cef_string_clear(&s->accept_language_list);
    cef_string_clear(&s->cookieable_schemes_list);
    cef_string_clear(&s->chrome_policy_id);
  }

  static inline void set(const struct_type* src,
                         struct_type* target,
                         bool copy) {
    target->no_sandbox = src->no_sandbox;
    CEF_SET_STRING_FIELD_(src, target, browser_subprocess_path, copy);
    CEF_SET_STRING_FIELD_(src, target, framework_dir_path, copy);
    CEF_SET_STRING_FIELD_(src, target, main_bundle_path, copy);
    target->multi_threaded_message_loop = src->multi_threaded_message_loop;
    target->external_message_pump = src->external_message_pump;
    target->windowless_rendering_enabled = src->windowless_rendering_enabled;
    target->command_line_args_disabled = src->command_line_args_disabled;
    CEF_SET_STRING_FIELD_(src, target, cache_path, copy);
    CEF_SET_STRING_FIELD_(src, target, root_cache_path, copy);
    target->persist_session_cookies = src->persist_session_cookies;
    CEF_SET_STRING_FIELD_(src, target, user_agent, copy);
    CEF_SET_STRING_FIELD_(src, target, user_agent_product, copy);
    CEF_SET_STRING_FIELD_(src, target, locale, copy);
    CEF_SET_STRING_FIELD_(src, target, log_file, copy);
    target->log_severity = src->log_severity;
    target->log_items = src->log_items;
    CEF_SET_STRING_FIELD_(src, target, javascript_flags, copy);
    CEF_SET_STRING_FIELD_(src, target, resources_dir_path, copy);
    CEF_SET_STRING_FIELD_(src, target, locales_dir_path, copy);
    target->remote_debugging_port = src->remote_debugging_port;
    target->uncaught_exception_stack_size = src->uncaught_exception_stack_size;
    target->background_color = src->background_color;
    CEF_SET_STRING_FIELD_(src, target, accept_language_list, copy);
    CEF_SET_STRING_FIELD_(src, target, cookieable_schemes_list, copy);
    target->cookieable_schemes_exclude_defaults =
        src->cookieable_schemes_exclude_defaults;
    CEF_SET_STRING_FIELD_(src, target, chrome_policy_id, copy);
    target->chrome_app_icon_id = src->chrome_app_icon_id;
    target->disable_signal_handlers = src->disable_signal_handlers;
  }
};

using CefSettings = CefStructBase<CefSettingsTraits>;

struct CefBrowserSettingsTraits {
  using struct_type = cef_browser_settings_t;

  static inline void init(struct_type* s) { s->size = sizeof(struct_type); }

  static inline void clear(struct_type* s) {
    cef_string_clear(&s->standard_font_family);
    cef_string_clear(&s->fixed_font_family);
    cef_string_clear(&s->serif_font_family);
    cef_string_clear(&s->sans_serif_font_family);
    cef_string_clear(&s->cursive_font_family);
    cef_string_clear(&s->fantasy_font_family);
    cef_string_clear(&s->default_encoding);
  }

  static inline void set(const struct_type* src,
                         struct_type* target,
                         bool copy) {
    target->windowless_frame_rate = src->windowless_frame_rate;
    CEF_SET_STRING_FIELD_(src, target, standard_font_family, copy);
    CEF_SET_STRING_FIELD_(src, target, fixed_font_family, copy);
    CEF_SET_STRING_FIELD_(src, target, serif_font_family, copy);
    CEF_SET_STRING_FIELD_(src, target, sans_serif_font_family, copy);
    CEF_SET_STRING_FIELD_(src, target, cursive_font_family, copy);
    CEF_SET_STRING_FIELD_(src, target, fantasy_font_family, copy);
    target->default_font_size = src->default_font_size;
    target->default_fixed_font_size = src->default_fixed_font_size;
    target->minimum_font_size = src->minimum_font_size;
    target->minimum_logical_font_size = src->minimum_logical_font_size;
    CEF_SET_STRING_FIELD_(src, target, default_encoding, copy);
    target->remote_fonts = src->remote_fonts;
    target->javascript = src->javascript;
    target->javascript_close_windows = src->javascript_close_windows;
    target->javascript_access_clipboard = src->javascript_access_clipboard;
    target->javascript_dom_paste = src->javascript_dom_paste;
    target->image_loading = src->image_loading;
    target->image_shrink_standalone_to_fit =
        src->image_shrink_standalone_to_fit;
    target->text_area_resize = src->text_area_resize;
    target->tab_to_links = src->tab_to_links;
    target->local_storage = src->local_storage;
    target->webgl = src->webgl;
    target->background_color = src->background_color;
    target->chrome_status_bubble = src->chrome_status_bubble;
    target->chrome_zoom_bubble = src->chrome_zoom_bubble;
  }
};

using CefBrowserSettings = CefStructBase<CefBrowserSettingsTraits>;

struct CefURLPartsTraits {
  using struct_type = cef_urlparts_t;

  static inline void init(struct_type* s) { s->size = sizeof(struct_type); }

  static inline void clear(struct_type* s) {
    cef_string_clear(&s->spec);
    cef_string_clear(&s->scheme);
    cef_string_clear(&s->username);
    cef_string_clear(&s->password);
    cef_string_clear(&s->host);
    cef_string_clear(&s->port);
    cef_string_clear(&s->origin);
    cef_string_clear(&s->path);
    cef_string_clear(&s->query);
    cef_string_clear(&s->fragment);
  }

  static inline void set(const struct_type* src,
                         struct_type* target,
                         bool copy) {
    CEF_SET_STRING_FIELD_(src, target, spec, copy);
    CEF_SET_STRING_FIELD_(src, target, scheme, copy);
    CEF_SET_STRING_FIELD_(src, target, username, copy);
    CEF_SET_STRING_FIELD_(src, target, password, copy);
    CEF_SET_STRING_FIELD_(src, target, host, copy);
    CEF_SET_STRING_FIELD_(src, target, port, copy);
    CEF_SET_STRING_FIELD_(src, target, origin, copy);
    CEF_SET_STRING_FIELD_(src, target, path, copy);
    CEF_SET_STRING_FIELD_(src, target, query, copy);
    CEF_SET_STRING_FIELD_(src, target, fragment, copy);
  }
};

using CefURLParts = CefStructBase<CefURLPartsTraits>;

#endif  // CEF_INCLUDE_INTERNAL_CEF_TYPES_WRAPPERS_H_
