// Smart pointer names of the engine's C++ API.

#ifndef CEF_INCLUDE_INTERNAL_CEF_PTR_H_
#define CEF_INCLUDE_INTERNAL_CEF_PTR_H_
#pragma once

#include <memory>

#include "include/base/cef_build.h"
#include "include/base/cef_ref_counted.h"

// Holds a reference-counted engine or client object.
template <class T>
using CefRefPtr = scoped_refptr<T>;

// Sole ownership of an object that is not reference counted.
template <class T, class D = std::default_delete<T>>
using CefOwnPtr = std::unique_ptr<T, D>;

// A pointer that neither owns nor counts.
template <class T>
using CefRawPtr = T*;

#endif  // CEF_INCLUDE_INTERNAL_CEF_PTR_H_
