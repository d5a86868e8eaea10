// Linux (X11) specific handle types and structures.

#ifndef CEF_INCLUDE_INTERNAL_CEF_TYPES_LINUX_H_
#define CEF_INCLUDE_INTERNAL_CEF_TYPES_LINUX_H_
#pragma once

#include "include/base/cef_build.h"
#include "include/internal/cef_export.h"
#include "include/internal/cef_string.h"
#include "include/internal/cef_types_color.h"
#include "include/internal/cef_types_geometry.h"
#include "include/internal/cef_types_runtime.h"

#define kNullCursorHandle 0
#define kNullEventHandle NULL
#define kNullWindowHandle 0

#ifdef __cplusplus
extern "C" {
#endif

#if defined(CEF_X11)
typedef union _XEvent XEvent;
typedef struct _XDisplay XDisplay;
typedef unsigned long cef_cursor_handle_t;
typedef XEvent* cef_event_handle_t;
#else
typedef void* cef_cursor_handle_t;
typedef void* cef_event_handle_t;
#endif

// An X window id.
typedef unsigned long cef_window_handle_t;

#if defined(CEF_X11)
// The X display the engine's browser process uses; valid on its UI thread
// after initialisation.
CEF_EXPORT XDisplay* cef_get_xdisplay(void);
#endif

typedef struct _cef_main_args_t {
  int argc;
  char** argv;
} cef_main_args_t;

// How a native browser window is created.
typedef struct _cef_window_info_t {
  size_t size;
  cef_string_t window_name;
  cef_rect_t bounds;
  cef_window_handle_t parent_window;
  int windowless_rendering_enabled;
  int shared_texture_enabled;
  int external_begin_frame_enabled;
  cef_window_handle_t window;
  cef_runtime_style_t runtime_style;
} cef_window_info_t;

#ifdef __cplusplus
}
#endif

#endif  // CEF_INCLUDE_INTERNAL_CEF_TYPES_LINUX_H_
