// Base classes for objects that live as long as a scoped_refptr holds them.
// Only the thread-safe flavour is provided: every engine-facing object of
// this program may be referenced from more than one thread.

#ifndef CEF_INCLUDE_BASE_CEF_REF_COUNTED_H_
#define CEF_INCLUDE_BASE_CEF_REF_COUNTED_H_
#pragma once

#include "include/base/cef_atomic_ref_count.h"
#include "include/base/cef_scoped_refptr.h"

namespace base {

// Derive as `class Foo : public base::RefCountedThreadSafe<Foo>` and make
// base::RefCountedThreadSafe<Foo> a friend if the destructor is private.
template <class T>
class RefCountedThreadSafe {
 public:
  RefCountedThreadSafe(const RefCountedThreadSafe&) = delete;
  RefCountedThreadSafe& operator=(const RefCountedThreadSafe&) = delete;

  void AddRef() const { ref_count_.Increment(); }
  void Release() const {
    if (!ref_count_.Decrement()) {
      delete static_cast<const T*>(this);
    }
  }
  bool HasOneRef() const { return ref_count_.IsOne(); }
  bool HasAtLeastOneRef() const { return !ref_count_.IsZero(); }

 protected:
  RefCountedThreadSafe() = default;
  ~RefCountedThreadSafe() = default;

 private:
  mutable AtomicRefCount ref_count_{0};
};

// Keeps an arbitrary value alive as long as references to it remain.
template <typename T>
class RefCountedData
    : public base::RefCountedThreadSafe<base::RefCountedData<T>> {
 public:
  RefCountedData() : data() {}
  RefCountedData(const T& in_value) : data(in_value) {}
  RefCountedData(T&& in_value) : data(std::move(in_value)) {}

  T data;

 private:
  friend class base::RefCountedThreadSafe<base::RefCountedData<T>>;
  ~RefCountedData() = default;
};

}  // namespace base

#endif  // CEF_INCLUDE_BASE_CEF_REF_COUNTED_H_
