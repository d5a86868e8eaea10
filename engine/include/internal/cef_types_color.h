// Pixel formats of painted buffers.

#ifndef CEF_INCLUDE_INTERNAL_CEF_TYPES_COLOR_H_
#define CEF_INCLUDE_INTERNAL_CEF_TYPES_COLOR_H_
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
  CEF_COLOR_TYPE_RGBA_8888,
  CEF_COLOR_TYPE_BGRA_8888,
  CEF_COLOR_TYPE_NUM_VALUES,
} cef_color_type_t;

#ifdef __cplusplus
}
#endif

#endif  // CEF_INCLUDE_INTERNAL_CEF_TYPES_COLOR_H_
