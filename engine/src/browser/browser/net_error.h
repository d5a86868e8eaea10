// Load failures as Qt WebEngine reports them, in the engine's terms.

#ifndef CEFENGINE_BROWSER_BROWSER_NET_ERROR_H_
#define CEFENGINE_BROWSER_BROWSER_NET_ERROR_H_

#include <string>

#include <QWebEngineLoadingInfo>

#include "include/internal/cef_types.h"

namespace cefengine {

// Qt reports Chromium's network error codes unchanged in every domain but
// the HTTP status domain, where the "code" is an HTTP status. Returns
// ERR_NONE for an HTTP status (a response arrived: not a load error),
// otherwise the network error, or ERR_FAILED when Qt gave no usable code.
cef_errorcode_t ToCefErrorCode(QWebEngineLoadingInfo::ErrorDomain domain,
                               int code);

// "ERR_CONNECTION_REFUSED" for ERR_CONNECTION_REFUSED, as the real engine
// words its error texts; "ERR_FAILED" for unknown codes.
std::string ErrorCodeName(cef_errorcode_t code);

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_NET_ERROR_H_
