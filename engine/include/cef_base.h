// The root of every reference-counted engine and client interface, and the
// macro that gives a client class its thread-safe reference count.

#ifndef CEF_INCLUDE_CEF_BASE_H_
#define CEF_INCLUDE_CEF_BASE_H_
#pragma once

#include "include/base/cef_atomic_ref_count.h"
#include "include/base/cef_build.h"
#include "include/base/cef_macros.h"
#include "include/internal/cef_linux.h"
#include "include/internal/cef_ptr.h"
#include "include/internal/cef_types_wrappers.h"

// Engine interfaces derive virtually from this class so that an object
// implementing several of them carries one count.
class CefBaseRefCounted {
 public:
  virtual void AddRef() const = 0;
  // Returns true when this call dropped the last reference and deleted the
  // object.
  virtual bool Release() const = 0;
  virtual bool HasOneRef() const = 0;
  virtual bool HasAtLeastOneRef() const = 0;

 protected:
  virtual ~CefBaseRefCounted() {}
};

// For objects owned by one holder (CefOwnPtr) rather than counted.
class CefBaseScoped {
 public:
  virtual ~CefBaseScoped() {}
};

// The counter behind IMPLEMENT_REFCOUNTING; starts at zero, so the first
// CefRefPtr takes the first reference.
class CefRefCount {
 public:
  CefRefCount() = default;
  CefRefCount(const CefRefCount&) = delete;
  CefRefCount& operator=(const CefRefCount&) = delete;

  void AddRef() const { ref_count_.Increment(); }
  bool Release() const { return !ref_count_.Decrement(); }
  bool HasOneRef() const { return ref_count_.IsOne(); }
  bool HasAtLeastOneRef() const { return !ref_count_.IsZero(); }
  int SubtleRefCountForDebug() const {
    return ref_count_.SubtleRefCountForDebug();
  }

 private:
  mutable base::AtomicRefCount ref_count_{0};
};

// Put inside the class body of a concrete client class. Leaves the class in
// the private section.
#define IMPLEMENT_REFCOUNTING(ClassName)          \
 public:                                          \
  void AddRef() const override {                  \
    ref_count_.AddRef();                          \
  }                                               \
  bool Release() const override {                 \
    if (ref_count_.Release()) {                   \
      delete static_cast<const ClassName*>(this); \
      return true;                                \
    }                                             \
    return false;                                 \
  }                                               \
  bool HasOneRef() const override {               \
    return ref_count_.HasOneRef();                \
  }                                               \
  bool HasAtLeastOneRef() const override {        \
    return ref_count_.HasAtLeastOneRef();         \
  }                                               \
                                                  \
 private:                                         \
  CefRefCount ref_count_

#endif  // CEF_INCLUDE_CEF_BASE_H_
