#include "client/error_page.h"

#include "config/launch_config.h"
#include "include/cef_parser.h"

namespace {

constexpr std::string_view kClientVersionPlaceholder = "{{CLIENT_VERSION}}";
constexpr std::string_view kSystemArchPlaceholder = "{{SYSTEM_ARCH}}";
constexpr std::string_view kReloadUrlPlaceholder = "{{RELOAD_URL}}";

constexpr char kPlatformName[] = "Linux";
constexpr char kArchName[] = "x64";

// Searching resumes after the inserted text, so a replacement that itself
// contains `placeholder` is never replaced again.
void ReplaceAll(std::string& text,
                std::string_view placeholder,
                std::string_view replacement) {
  if (placeholder.empty()) {
    return;
  }
  size_t pos = 0;
  while ((pos = text.find(placeholder, pos)) != std::string::npos) {
    text.replace(pos, placeholder.size(), replacement);
    pos += replacement.size();
  }
}

}  // namespace

std::string EscapeForScriptString(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\t':
        escaped += "\\t";
        break;
      case '\n':
        escaped += "\\n";
        break;
      case '\r':
        escaped += "\\r";
        break;
      case '"':
        escaped += "\\\"";
        break;
      case '\\':
        escaped += "\\\\";
        break;
      // "</script>" or "<!--" inside the string would change how the HTML
      // parser ends the script element.
      case '<':
        escaped += "\\x3C";
        break;
      // The HTML parser turns a raw NUL in a script into U+FFFD.
      case '\0':
        escaped += "\\x00";
        break;
      default:
        escaped += c;
        break;
    }
  }
  return escaped;
}

std::string BuildErrorPageUrl(const std::string& reloadUrl) {
  std::string html(ErrorPageTemplate);
  ReplaceAll(html, kClientVersionPlaceholder,
             std::to_string(kClientBuildNumber));
  ReplaceAll(html, kSystemArchPlaceholder,
             std::string(kPlatformName) + "-" + kArchName);
  ReplaceAll(html, kReloadUrlPlaceholder, EscapeForScriptString(reloadUrl));

  const CefString base64 = CefBase64Encode(html.data(), html.size());
  const CefString encoded = CefURIEncode(base64, false);
  return "data:text/html;base64," + encoded.ToString();
}
