// Plain types of the browser interfaces: request bodies, zoom commands, and
// those that only
// handler callbacks use (cursor changes, touch handles, accelerated paint),
// which the development engine never produces but which handlers written for
// the real engine name.

#ifndef CEF_INCLUDE_INTERNAL_CEF_TYPES_BROWSER_H_
#define CEF_INCLUDE_INTERNAL_CEF_TYPES_BROWSER_H_
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "include/internal/cef_types_color.h"
#include "include/internal/cef_types_geometry.h"
#include "include/internal/cef_types_wrappers.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
  PDE_TYPE_EMPTY = 0,
  PDE_TYPE_BYTES,
  PDE_TYPE_FILE,
  PDE_TYPE_NUM_VALUES,
} cef_postdataelement_type_t;

typedef enum {
  CEF_ZOOM_COMMAND_OUT,
  CEF_ZOOM_COMMAND_RESET,
  CEF_ZOOM_COMMAND_IN,
} cef_zoom_command_t;

typedef enum {
  CEF_HORIZONTAL_ALIGNMENT_LEFT,
  CEF_HORIZONTAL_ALIGNMENT_CENTER,
  CEF_HORIZONTAL_ALIGNMENT_RIGHT,
} cef_horizontal_alignment_t;

typedef enum {
  CT_POINTER,
  CT_CROSS,
  CT_HAND,
  CT_IBEAM,
  CT_WAIT,
  CT_HELP,
  CT_EASTRESIZE,
  CT_NORTHRESIZE,
  CT_NORTHEASTRESIZE,
  CT_NORTHWESTRESIZE,
  CT_SOUTHRESIZE,
  CT_SOUTHEASTRESIZE,
  CT_SOUTHWESTRESIZE,
  CT_WESTRESIZE,
  CT_NORTHSOUTHRESIZE,
  CT_EASTWESTRESIZE,
  CT_NORTHEASTSOUTHWESTRESIZE,
  CT_NORTHWESTSOUTHEASTRESIZE,
  CT_COLUMNRESIZE,
  CT_ROWRESIZE,
  CT_MIDDLEPANNING,
  CT_EASTPANNING,
  CT_NORTHPANNING,
  CT_NORTHEASTPANNING,
  CT_NORTHWESTPANNING,
  CT_SOUTHPANNING,
  CT_SOUTHEASTPANNING,
  CT_SOUTHWESTPANNING,
  CT_WESTPANNING,
  CT_MOVE,
  CT_VERTICALTEXT,
  CT_CELL,
  CT_CONTEXTMENU,
  CT_ALIAS,
  CT_PROGRESS,
  CT_NODROP,
  CT_COPY,
  CT_NONE,
  CT_NOTALLOWED,
  CT_ZOOMIN,
  CT_ZOOMOUT,
  CT_GRAB,
  CT_GRABBING,
  CT_MIDDLE_PANNING_VERTICAL,
  CT_MIDDLE_PANNING_HORIZONTAL,
  CT_CUSTOM,
  CT_DND_NONE,
  CT_DND_MOVE,
  CT_DND_COPY,
  CT_DND_LINK,
  CT_NUM_VALUES,
} cef_cursor_type_t;

typedef struct _cef_cursor_info_t {
  cef_point_t hotspot;
  float image_scale_factor;
  void* buffer;
  cef_size_t size;
} cef_cursor_info_t;

typedef enum {
  CEF_THS_FLAG_NONE = 0,
  CEF_THS_FLAG_ENABLED = 1 << 0,
  CEF_THS_FLAG_ORIENTATION = 1 << 1,
  CEF_THS_FLAG_ORIGIN = 1 << 2,
  CEF_THS_FLAG_ALPHA = 1 << 3,
} cef_touch_handle_state_flags_t;

typedef struct _cef_touch_handle_state_t {
  size_t size;
  int touch_handle_id;
  uint32_t flags;
  int enabled;
  cef_horizontal_alignment_t orientation;
  int mirror_vertical;
  int mirror_horizontal;
  cef_point_t origin;
  float alpha;
} cef_touch_handle_state_t;

typedef struct _cef_accelerated_paint_native_pixmap_plane_info_t {
  uint32_t stride;
  uint64_t offset;
  uint64_t size;
  int fd;
} cef_accelerated_paint_native_pixmap_plane_t;

#define kAcceleratedPaintMaxPlanes 4

typedef struct _cef_accelerated_paint_info_t {
  size_t size;
  cef_accelerated_paint_native_pixmap_plane_t
      planes[kAcceleratedPaintMaxPlanes];
  int plane_count;
  uint64_t modifier;
  cef_color_type_t format;
} cef_accelerated_paint_info_t;

#ifdef __cplusplus
}
#endif

class CefCursorInfo : public cef_cursor_info_t {
 public:
  CefCursorInfo() : cef_cursor_info_t{} {}
  CefCursorInfo(const cef_cursor_info_t& r) : cef_cursor_info_t(r) {}
};

using CefTouchHandleState = CefStructBaseSimple<cef_touch_handle_state_t>;
using CefAcceleratedPaintInfo =
    CefStructBaseSimple<cef_accelerated_paint_info_t>;

#endif  // CEF_INCLUDE_INTERNAL_CEF_TYPES_BROWSER_H_
