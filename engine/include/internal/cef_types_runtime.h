// Which browser UI style a window or browser uses.

#ifndef CEF_INCLUDE_INTERNAL_CEF_TYPES_RUNTIME_H_
#define CEF_INCLUDE_INTERNAL_CEF_TYPES_RUNTIME_H_
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
  CEF_RUNTIME_STYLE_DEFAULT,
  CEF_RUNTIME_STYLE_CHROME,
  CEF_RUNTIME_STYLE_ALLOY,
} cef_runtime_style_t;

#ifdef __cplusplus
}
#endif

#endif  // CEF_INCLUDE_INTERNAL_CEF_TYPES_RUNTIME_H_
