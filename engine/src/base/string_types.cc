// The C string functions. Owned buffers are allocated with new[] and one
// extra NUL so that str can be handed to C APIs as is.

#include <cstring>
#include <string>

#include "include/internal/cef_string_types.h"
#include "src/base/utf.h"

namespace {

template <typename CharT>
void DeleteBuffer(CharT* str) {
  delete[] str;
}

template <typename CharT, typename StructT>
void ClearString(StructT* str) {
  if (!str) {
    return;
  }
  if (str->str && str->dtor) {
    str->dtor(str->str);
  }
  str->str = nullptr;
  str->length = 0;
  str->dtor = nullptr;
}

template <typename CharT, typename StructT>
int SetString(const CharT* src, size_t src_len, StructT* output, int copy) {
  if (!output) {
    return 0;
  }
  if (!src || src_len == 0) {
    ClearString<CharT>(output);
    return 1;
  }
  if (!copy) {
    // Referencing our own buffer must not free it first.
    if (output->str != src) {
      ClearString<CharT>(output);
    }
    output->str = const_cast<CharT*>(src);
    output->length = src_len;
    output->dtor = nullptr;
    return 1;
  }
  // Copy before clearing: |src| may point into |output|'s own buffer.
  CharT* buffer = new CharT[src_len + 1];
  std::memcpy(buffer, src, src_len * sizeof(CharT));
  buffer[src_len] = 0;
  ClearString<CharT>(output);
  output->str = buffer;
  output->length = src_len;
  output->dtor = DeleteBuffer<CharT>;
  return 1;
}

template <typename StructT>
int CompareString(const StructT* a, const StructT* b) {
  const size_t a_len = a ? a->length : 0;
  const size_t b_len = b ? b->length : 0;
  const size_t n = a_len < b_len ? a_len : b_len;
  for (size_t i = 0; i < n; ++i) {
    if (a->str[i] != b->str[i]) {
      return a->str[i] < b->str[i] ? -1 : 1;
    }
  }
  return a_len == b_len ? 0 : (a_len < b_len ? -1 : 1);
}

template <typename StringT, typename StructT>
int Store(const StringT& value, StructT* output) {
  using CharT = typename StringT::value_type;
  return SetString<CharT>(value.data(), value.size(), output, true);
}

template <typename StructT>
StructT* AllocUserFree() {
  return new StructT();
}

}  // namespace

extern "C" {

int cef_string_wide_set(const wchar_t* src,
                        size_t src_len,
                        cef_string_wide_t* output,
                        int copy) {
  return SetString<wchar_t>(src, src_len, output, copy);
}

int cef_string_utf8_set(const char* src,
                        size_t src_len,
                        cef_string_utf8_t* output,
                        int copy) {
  return SetString<char>(src, src_len, output, copy);
}

int cef_string_utf16_set(const char16_t* src,
                         size_t src_len,
                         cef_string_utf16_t* output,
                         int copy) {
  return SetString<char16_t>(src, src_len, output, copy);
}

void cef_string_wide_clear(cef_string_wide_t* str) {
  ClearString<wchar_t>(str);
}

void cef_string_utf8_clear(cef_string_utf8_t* str) {
  ClearString<char>(str);
}

void cef_string_utf16_clear(cef_string_utf16_t* str) {
  ClearString<char16_t>(str);
}

int cef_string_wide_cmp(const cef_string_wide_t* str1,
                        const cef_string_wide_t* str2) {
  return CompareString(str1, str2);
}

int cef_string_utf8_cmp(const cef_string_utf8_t* str1,
                        const cef_string_utf8_t* str2) {
  // Byte order must be unsigned so that it matches code point order.
  const size_t a_len = str1 ? str1->length : 0;
  const size_t b_len = str2 ? str2->length : 0;
  const size_t n = a_len < b_len ? a_len : b_len;
  const int r = n ? std::memcmp(str1->str, str2->str, n) : 0;
  if (r != 0) {
    return r < 0 ? -1 : 1;
  }
  return a_len == b_len ? 0 : (a_len < b_len ? -1 : 1);
}

int cef_string_utf16_cmp(const cef_string_utf16_t* str1,
                         const cef_string_utf16_t* str2) {
  return CompareString(str1, str2);
}

int cef_string_wide_to_utf8(const wchar_t* src,
                            size_t src_len,
                            cef_string_utf8_t* output) {
  std::string out;
  const bool ok = cef_base::WideToUTF8(src, src ? src_len : 0, &out);
  Store(out, output);
  return ok;
}

int cef_string_utf8_to_wide(const char* src,
                            size_t src_len,
                            cef_string_wide_t* output) {
  std::wstring out;
  const bool ok = cef_base::UTF8ToWide(src, src ? src_len : 0, &out);
  Store(out, output);
  return ok;
}

int cef_string_wide_to_utf16(const wchar_t* src,
                             size_t src_len,
                             cef_string_utf16_t* output) {
  std::u16string out;
  const bool ok = cef_base::WideToUTF16(src, src ? src_len : 0, &out);
  Store(out, output);
  return ok;
}

int cef_string_utf16_to_wide(const char16_t* src,
                             size_t src_len,
                             cef_string_wide_t* output) {
  std::wstring out;
  const bool ok = cef_base::UTF16ToWide(src, src ? src_len : 0, &out);
  Store(out, output);
  return ok;
}

int cef_string_utf8_to_utf16(const char* src,
                             size_t src_len,
                             cef_string_utf16_t* output) {
  std::u16string out;
  const bool ok = cef_base::UTF8ToUTF16(src, src ? src_len : 0, &out);
  Store(out, output);
  return ok;
}

int cef_string_utf16_to_utf8(const char16_t* src,
                             size_t src_len,
                             cef_string_utf8_t* output) {
  std::string out;
  const bool ok = cef_base::UTF16ToUTF8(src, src ? src_len : 0, &out);
  Store(out, output);
  return ok;
}

int cef_string_ascii_to_wide(const char* src,
                             size_t src_len,
                             cef_string_wide_t* output) {
  std::wstring out;
  for (size_t i = 0; src && i < src_len; ++i) {
    if (static_cast<unsigned char>(src[i]) > 0x7F) {
      return 0;
    }
    out.push_back(static_cast<wchar_t>(src[i]));
  }
  return Store(out, output);
}

int cef_string_ascii_to_utf16(const char* src,
                              size_t src_len,
                              cef_string_utf16_t* output) {
  std::u16string out;
  for (size_t i = 0; src && i < src_len; ++i) {
    if (static_cast<unsigned char>(src[i]) > 0x7F) {
      return 0;
    }
    out.push_back(static_cast<char16_t>(src[i]));
  }
  return Store(out, output);
}

cef_string_userfree_wide_t cef_string_userfree_wide_alloc(void) {
  return AllocUserFree<cef_string_wide_t>();
}

cef_string_userfree_utf8_t cef_string_userfree_utf8_alloc(void) {
  return AllocUserFree<cef_string_utf8_t>();
}

cef_string_userfree_utf16_t cef_string_userfree_utf16_alloc(void) {
  return AllocUserFree<cef_string_utf16_t>();
}

void cef_string_userfree_wide_free(cef_string_userfree_wide_t str) {
  cef_string_wide_clear(str);
  delete str;
}

void cef_string_userfree_utf8_free(cef_string_userfree_utf8_t str) {
  cef_string_utf8_clear(str);
  delete str;
}

void cef_string_userfree_utf16_free(cef_string_userfree_utf16_t str) {
  cef_string_utf16_clear(str);
  delete str;
}

// Case mapping covers ASCII and Latin-1 only; the shell lower-cases ASCII
// text exclusively.
int cef_string_utf16_to_lower(const char16_t* src,
                              size_t src_len,
                              cef_string_utf16_t* output) {
  std::u16string out(src ? src : u"", src ? src_len : 0);
  for (char16_t& c : out) {
    if ((c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) {
      c = static_cast<char16_t>(c + 0x20);
    }
  }
  return Store(out, output);
}

int cef_string_utf16_to_upper(const char16_t* src,
                              size_t src_len,
                              cef_string_utf16_t* output) {
  std::u16string out(src ? src : u"", src ? src_len : 0);
  for (char16_t& c : out) {
    if ((c >= u'a' && c <= u'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
      c = static_cast<char16_t>(c - 0x20);
    }
  }
  return Store(out, output);
}

}  // extern "C"
