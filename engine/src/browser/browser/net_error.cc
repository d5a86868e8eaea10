#include "browser/browser/net_error.h"

namespace cefengine {

cef_errorcode_t ToCefErrorCode(QWebEngineLoadingInfo::ErrorDomain domain,
                               int code) {
  if (domain == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
    return ERR_NONE;
  }
  // Network errors are negative; anything else is not a code we can pass on.
  if (code >= 0) {
    return ERR_FAILED;
  }
  return static_cast<cef_errorcode_t>(code);
}

std::string ErrorCodeName(cef_errorcode_t code) {
  switch (static_cast<int>(code)) {
#define NET_ERROR(label, value) \
  case value:                   \
    return "ERR_" #label;
#include "include/base/internal/cef_net_error_list.h"
#undef NET_ERROR
  }
  return "ERR_FAILED";
}

}  // namespace cefengine
