// CefStringBase: a C++ wrapper around one of the C string structures. It
// either owns its structure or refers to one that belongs to someone else
// (for example a field of a settings struct); writes through a referring
// wrapper land in the referenced structure.

#ifndef CEF_INCLUDE_INTERNAL_CEF_STRING_WRAPPERS_H_
#define CEF_INCLUDE_INTERNAL_CEF_STRING_WRAPPERS_H_
#pragma once

#include <cstring>
#include <ostream>
#include <string>
#include <utility>

#include "include/internal/cef_string_types.h"

// Per-encoding operations used by CefStringBase. Each converts to and from
// the three standard string types.

struct CefStringTraitsWide {
  typedef wchar_t char_type;
  typedef cef_string_wide_t struct_type;
  typedef cef_string_userfree_wide_t userfree_struct_type;

  static inline void clear(struct_type* s) { cef_string_wide_clear(s); }
  static inline int set(const char_type* src,
                        size_t src_size,
                        struct_type* output,
                        int copy) {
    return cef_string_wide_set(src, src_size, output, copy);
  }
  static inline int compare(const struct_type* s1, const struct_type* s2) {
    return cef_string_wide_cmp(s1, s2);
  }
  static inline userfree_struct_type userfree_alloc() {
    return cef_string_userfree_wide_alloc();
  }
  static inline void userfree_free(userfree_struct_type ufs) {
    cef_string_userfree_wide_free(ufs);
  }

  static inline bool from_ascii(const char* str, size_t len, struct_type* s) {
    return cef_string_ascii_to_wide(str, len, s) != 0;
  }
  static inline std::string to_string(const struct_type* s) {
    cef_string_utf8_t tmp = {};
    cef_string_wide_to_utf8(s->str, s->length, &tmp);
    std::string result(tmp.str ? tmp.str : "", tmp.length);
    cef_string_utf8_clear(&tmp);
    return result;
  }
  static inline bool from_string(const char* data,
                                 size_t length,
                                 struct_type* s) {
    return cef_string_utf8_to_wide(data, length, s) != 0;
  }
  static inline bool from_string(const std::string& str, struct_type* s) {
    return from_string(str.data(), str.length(), s);
  }
  static inline std::wstring to_wstring(const struct_type* s) {
    return std::wstring(s->str, s->length);
  }
  static inline bool from_wstring(const wchar_t* data,
                                  size_t length,
                                  struct_type* s) {
    return cef_string_wide_set(data, length, s, true) != 0;
  }
  static inline bool from_wstring(const std::wstring& str, struct_type* s) {
    return from_wstring(str.data(), str.length(), s);
  }
  static inline std::u16string to_string16(const struct_type* s) {
    cef_string_utf16_t tmp = {};
    cef_string_wide_to_utf16(s->str, s->length, &tmp);
    std::u16string result(tmp.str ? tmp.str : u"", tmp.length);
    cef_string_utf16_clear(&tmp);
    return result;
  }
  static inline bool from_string16(const char16_t* data,
                                   size_t length,
                                   struct_type* s) {
    return cef_string_utf16_to_wide(data, length, s) != 0;
  }
  static inline bool from_string16(const std::u16string& str, struct_type* s) {
    return from_string16(str.data(), str.length(), s);
  }
};

struct CefStringTraitsUTF8 {
  typedef char char_type;
  typedef cef_string_utf8_t struct_type;
  typedef cef_string_userfree_utf8_t userfree_struct_type;

  static inline void clear(struct_type* s) { cef_string_utf8_clear(s); }
  static inline int set(const char_type* src,
                        size_t src_size,
                        struct_type* output,
                        int copy) {
    return cef_string_utf8_set(src, src_size, output, copy);
  }
  static inline int compare(const struct_type* s1, const struct_type* s2) {
    return cef_string_utf8_cmp(s1, s2);
  }
  static inline userfree_struct_type userfree_alloc() {
    return cef_string_userfree_utf8_alloc();
  }
  static inline void userfree_free(userfree_struct_type ufs) {
    cef_string_userfree_utf8_free(ufs);
  }

  static inline bool from_ascii(const char* str, size_t len, struct_type* s) {
    return cef_string_utf8_copy(str, len, s) != 0;
  }
  static inline std::string to_string(const struct_type* s) {
    return std::string(s->str, s->length);
  }
  static inline bool from_string(const char* data,
                                 size_t length,
                                 struct_type* s) {
    return cef_string_utf8_copy(data, length, s) != 0;
  }
  static inline bool from_string(const std::string& str, struct_type* s) {
    return from_string(str.data(), str.length(), s);
  }
  static inline std::wstring to_wstring(const struct_type* s) {
    cef_string_wide_t tmp = {};
    cef_string_utf8_to_wide(s->str, s->length, &tmp);
    std::wstring result(tmp.str ? tmp.str : L"", tmp.length);
    cef_string_wide_clear(&tmp);
    return result;
  }
  static inline bool from_wstring(const wchar_t* data,
                                  size_t length,
                                  struct_type* s) {
    return cef_string_wide_to_utf8(data, length, s) != 0;
  }
  static inline bool from_wstring(const std::wstring& str, struct_type* s) {
    return from_wstring(str.data(), str.length(), s);
  }
  static inline std::u16string to_string16(const struct_type* s) {
    cef_string_utf16_t tmp = {};
    cef_string_utf8_to_utf16(s->str, s->length, &tmp);
    std::u16string result(tmp.str ? tmp.str : u"", tmp.length);
    cef_string_utf16_clear(&tmp);
    return result;
  }
  static inline bool from_string16(const char16_t* data,
                                   size_t length,
                                   struct_type* s) {
    return cef_string_utf16_to_utf8(data, length, s) != 0;
  }
  static inline bool from_string16(const std::u16string& str, struct_type* s) {
    return from_string16(str.data(), str.length(), s);
  }
};

struct CefStringTraitsUTF16 {
  typedef char16_t char_type;
  typedef cef_string_utf16_t struct_type;
  typedef cef_string_userfree_utf16_t userfree_struct_type;

  static inline void clear(struct_type* s) { cef_string_utf16_clear(s); }
  static inline int set(const char_type* src,
                        size_t src_size,
                        struct_type* output,
                        int copy) {
    return cef_string_utf16_set(src, src_size, output, copy);
  }
  static inline int compare(const struct_type* s1, const struct_type* s2) {
    return cef_string_utf16_cmp(s1, s2);
  }
  static inline userfree_struct_type userfree_alloc() {
    return cef_string_userfree_utf16_alloc();
  }
  static inline void userfree_free(userfree_struct_type ufs) {
    cef_string_userfree_utf16_free(ufs);
  }

  static inline bool from_ascii(const char* str, size_t len, struct_type* s) {
    return cef_string_ascii_to_utf16(str, len, s) != 0;
  }
  static inline std::string to_string(const struct_type* s) {
    cef_string_utf8_t tmp = {};
    cef_string_utf16_to_utf8(s->str, s->length, &tmp);
    std::string result(tmp.str ? tmp.str : "", tmp.length);
    cef_string_utf8_clear(&tmp);
    return result;
  }
  static inline bool from_string(const char* data,
                                 size_t length,
                                 struct_type* s) {
    return cef_string_utf8_to_utf16(data, length, s) != 0;
  }
  static inline bool from_string(const std::string& str, struct_type* s) {
    return from_string(str.data(), str.length(), s);
  }
  static inline std::wstring to_wstring(const struct_type* s) {
    cef_string_wide_t tmp = {};
    cef_string_utf16_to_wide(s->str, s->length, &tmp);
    std::wstring result(tmp.str ? tmp.str : L"", tmp.length);
    cef_string_wide_clear(&tmp);
    return result;
  }
  static inline bool from_wstring(const wchar_t* data,
                                  size_t length,
                                  struct_type* s) {
    return cef_string_wide_to_utf16(data, length, s) != 0;
  }
  static inline bool from_wstring(const std::wstring& str, struct_type* s) {
    return from_wstring(str.data(), str.length(), s);
  }
  static inline std::u16string to_string16(const struct_type* s) {
    return std::u16string(s->str, s->length);
  }
  static inline bool from_string16(const char16_t* data,
                                   size_t length,
                                   struct_type* s) {
    return cef_string_utf16_set(data, length, s, true) != 0;
  }
  static inline bool from_string16(const std::u16string& str, struct_type* s) {
    return from_string16(str.data(), str.length(), s);
  }
};

template <class traits>
class CefStringBase final {
 public:
  typedef typename traits::char_type char_type;
  typedef typename traits::struct_type struct_type;
  typedef typename traits::userfree_struct_type userfree_struct_type;

  CefStringBase() = default;
  CefStringBase(const CefStringBase& str) {
    FromString(str.c_str(), str.length(), true);
  }
  CefStringBase(const std::string& src) { FromString(src); }
  CefStringBase(const char* src, size_t length = 0) {
    if (src) {
      FromString(src, length);
    }
  }
  CefStringBase(const std::wstring& src) { FromWString(src); }
  CefStringBase(const wchar_t* src, size_t length = 0) {
    if (src) {
      FromWString(src, length);
    }
  }
  CefStringBase(const std::u16string& src) { FromString16(src); }
  CefStringBase(const char16_t* src, size_t length = 0) {
    if (src) {
      FromString16(src, length);
    }
  }
  // Native-encoding data; without |copy| the wrapper only refers to |src|,
  // which must then outlive it.
  CefStringBase(const char_type* src, size_t src_len, bool copy) {
    if (src && src_len > 0) {
      FromString(src, src_len, copy);
    }
  }
  // Refers to |src| without owning it.
  CefStringBase(const struct_type* src) {
    if (src) {
      Attach(const_cast<struct_type*>(src), false);
    }
  }

  ~CefStringBase() { ClearAndFree(); }

  const char_type* c_str() const { return string_ ? string_->str : nullptr; }
  size_t length() const { return string_ ? string_->length : 0; }
  size_t size() const { return length(); }
  bool empty() const { return !string_ || string_->length == 0; }

  // An empty string sorts before every non-empty one.
  int compare(const CefStringBase& str) const {
    if (empty() || str.empty()) {
      return empty() == str.empty() ? 0 : (empty() ? -1 : 1);
    }
    return traits::compare(string_, str.GetStruct());
  }

  // Empties the structure; a referenced structure is emptied too.
  void clear() {
    if (string_) {
      traits::clear(string_);
    }
  }

  void swap(CefStringBase& str) {
    std::swap(string_, str.string_);
    std::swap(owner_, str.owner_);
  }

  bool IsOwner() const { return owner_; }
  const struct_type* GetStruct() const { return string_; }
  // Allocates an owned, empty structure when there is none.
  struct_type* GetWritableStruct() {
    AllocIfNeeded();
    return string_;
  }

  // Frees an owned structure and its data; drops a reference otherwise.
  void ClearAndFree() {
    if (string_ && owner_) {
      traits::clear(string_);
      delete string_;
    }
    string_ = nullptr;
    owner_ = false;
  }

  // Uses |str|; with |owner| the wrapper deletes it (allocated with new).
  void Attach(struct_type* str, bool owner) {
    ClearAndFree();
    string_ = str;
    owner_ = owner;
  }

  // Takes over the data of a userfree structure and frees that structure.
  void AttachToUserFree(userfree_struct_type str) {
    ClearAndFree();
    if (!str) {
      return;
    }
    AllocIfNeeded();
    *string_ = *str;
    std::memset(str, 0, sizeof(struct_type));
    traits::userfree_free(str);
  }

  // Forgets the structure without freeing it.
  void Detach() {
    string_ = nullptr;
    owner_ = false;
  }

  // Hands the data over in a new userfree structure; nullptr when empty.
  userfree_struct_type DetachToUserFree() {
    if (empty()) {
      return nullptr;
    }
    userfree_struct_type result = traits::userfree_alloc();
    if (owner_) {
      *result = *string_;
      std::memset(string_, 0, sizeof(struct_type));
    } else {
      traits::set(string_->str, string_->length, result, true);
    }
    ClearAndFree();
    return result;
  }

  bool FromString(const char_type* src, size_t src_len, bool copy) {
    if (!src || src_len == 0) {
      clear();
      return true;
    }
    AllocIfNeeded();
    return traits::set(src, src_len, string_, copy) != 0;
  }

  bool FromASCII(const char* str) {
    const size_t len = str ? std::strlen(str) : 0;
    if (len == 0) {
      clear();
      return true;
    }
    AllocIfNeeded();
    return traits::from_ascii(str, len, string_);
  }

  std::string ToString() const {
    return empty() ? std::string() : traits::to_string(string_);
  }
  bool FromString(const std::string& str) {
    return FromString(str.data(), str.length());
  }
  // A zero |length| means |data| is NUL-terminated.
  bool FromString(const std::string::value_type* data, size_t length = 0) {
    if (data && length == 0) {
      length = std::strlen(data);
    }
    if (!data || length == 0) {
      clear();
      return true;
    }
    AllocIfNeeded();
    return traits::from_string(data, length, string_);
  }

  std::wstring ToWString() const {
    return empty() ? std::wstring() : traits::to_wstring(string_);
  }
  bool FromWString(const std::wstring& str) {
    return FromWString(str.data(), str.length());
  }
  bool FromWString(const std::wstring::value_type* data, size_t length = 0) {
    if (data && length == 0) {
      length = std::char_traits<wchar_t>::length(data);
    }
    if (!data || length == 0) {
      clear();
      return true;
    }
    AllocIfNeeded();
    return traits::from_wstring(data, length, string_);
  }

  std::u16string ToString16() const {
    return empty() ? std::u16string() : traits::to_string16(string_);
  }
  bool FromString16(const std::u16string& str) {
    return FromString16(str.data(), str.length());
  }
  bool FromString16(const std::u16string::value_type* data, size_t length = 0) {
    if (data && length == 0) {
      length = std::char_traits<char16_t>::length(data);
    }
    if (!data || length == 0) {
      clear();
      return true;
    }
    AllocIfNeeded();
    return traits::from_string16(data, length, string_);
  }

  bool operator<(const CefStringBase& str) const { return compare(str) < 0; }
  bool operator<=(const CefStringBase& str) const { return compare(str) <= 0; }
  bool operator>(const CefStringBase& str) const { return compare(str) > 0; }
  bool operator>=(const CefStringBase& str) const { return compare(str) >= 0; }
  bool operator==(const CefStringBase& str) const { return compare(str) == 0; }
  bool operator!=(const CefStringBase& str) const { return compare(str) != 0; }

  CefStringBase& operator=(const CefStringBase& str) {
    if (this != &str) {
      FromString(str.c_str(), str.length(), true);
    }
    return *this;
  }
  operator std::string() const { return ToString(); }
  CefStringBase& operator=(const std::string& str) {
    FromString(str);
    return *this;
  }
  CefStringBase& operator=(const std::string::value_type* str) {
    FromString(str);
    return *this;
  }
  operator std::wstring() const { return ToWString(); }
  CefStringBase& operator=(const std::wstring& str) {
    FromWString(str);
    return *this;
  }
  CefStringBase& operator=(const std::wstring::value_type* str) {
    FromWString(str);
    return *this;
  }
  operator std::u16string() const { return ToString16(); }
  CefStringBase& operator=(const std::u16string& str) {
    FromString16(str);
    return *this;
  }
  CefStringBase& operator=(const std::u16string::value_type* str) {
    FromString16(str);
    return *this;
  }

 private:
  void AllocIfNeeded() {
    if (!string_) {
      string_ = new struct_type();
      owner_ = true;
    }
  }

  struct_type* string_ = nullptr;
  bool owner_ = false;
};

typedef CefStringBase<CefStringTraitsWide> CefStringWide;
typedef CefStringBase<CefStringTraitsUTF8> CefStringUTF8;
typedef CefStringBase<CefStringTraitsUTF16> CefStringUTF16;

template <class traits>
inline std::ostream& operator<<(std::ostream& out,
                                const CefStringBase<traits>& str) {
  return out << str.ToString();
}

#endif  // CEF_INCLUDE_INTERNAL_CEF_STRING_WRAPPERS_H_
