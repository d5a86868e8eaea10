// Symbol visibility and calling-convention macros of the engine's C API.

#ifndef CEF_INCLUDE_INTERNAL_CEF_EXPORT_H_
#define CEF_INCLUDE_INTERNAL_CEF_EXPORT_H_
#pragma once

#include "include/base/cef_build.h"

#define CEF_EXPORT __attribute__((visibility("default")))
#define CEF_CALLBACK

#endif  // CEF_INCLUDE_INTERNAL_CEF_EXPORT_H_
