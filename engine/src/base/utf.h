// UTF-8, UTF-16 and UTF-32 conversions shared by the string functions, the
// URL code and the JSON code. Malformed input is replaced by U+FFFD, one per
// maximal ill-formed subsequence, and reported through the return value.

#ifndef ENGINE_SRC_BASE_UTF_H_
#define ENGINE_SRC_BASE_UTF_H_

#include <stddef.h>

#include <string>

namespace cef_base {

constexpr char32_t kReplacementChar = 0xFFFD;

// Decodes one code point at |*pos| of |s| (length |len|) and advances |*pos|
// past it. Returns false (and kReplacementChar in |*cp|) for a malformed
// sequence.
bool DecodeUTF8(const char* s, size_t len, size_t* pos, char32_t* cp);
bool DecodeUTF16(const char16_t* s, size_t len, size_t* pos, char32_t* cp);

void AppendUTF8(char32_t cp, std::string* out);
void AppendUTF16(char32_t cp, std::u16string* out);

// Whole-string conversions; false when the input was malformed.
bool UTF8ToUTF16(const char* s, size_t len, std::u16string* out);
bool UTF16ToUTF8(const char16_t* s, size_t len, std::string* out);
bool UTF8ToWide(const char* s, size_t len, std::wstring* out);
bool WideToUTF8(const wchar_t* s, size_t len, std::string* out);
bool UTF16ToWide(const char16_t* s, size_t len, std::wstring* out);
bool WideToUTF16(const wchar_t* s, size_t len, std::u16string* out);

// Convenience forms that ignore malformation.
std::u16string ToUTF16(const std::string& utf8);
std::string ToUTF8(const std::u16string& utf16);

bool IsValidCodePoint(char32_t cp);

}  // namespace cef_base

#endif  // ENGINE_SRC_BASE_UTF_H_
