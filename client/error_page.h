#ifndef KORVEL_CLIENT_ERROR_PAGE_H_
#define KORVEL_CLIENT_ERROR_PAGE_H_

#include <string>
#include <string_view>

// The built-in error page, client/resources/error_page.html, embedded at
// build time. Its placeholders "{{CLIENT_VERSION}}", "{{SYSTEM_ARCH}}" and
// "{{RELOAD_URL}}" are filled by BuildErrorPageUrl().
extern const std::string_view ErrorPageTemplate;

// Escapes `text` for the inside of a double-quoted script string that sits in
// an HTML script element: the string's value equals `text` byte for byte, and
// no "<" survives, so the text can neither end the string nor the element.
std::string EscapeForScriptString(std::string_view text);

// Fills the error page and returns it as a self-contained
// "data:text/html;base64," URL whose Reload button retries `reloadUrl`
// (UTF-8; may be empty). No side effects; any thread.
std::string BuildErrorPageUrl(const std::string& reloadUrl);

#endif  // KORVEL_CLIENT_ERROR_PAGE_H_
