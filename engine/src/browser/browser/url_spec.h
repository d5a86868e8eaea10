// URLs handed to the application, spelled the way Chromium's own URL class
// spells them: fully percent-encoded (Qt decodes spaces and the like for
// display unless told otherwise).

#ifndef CEFENGINE_BROWSER_BROWSER_URL_SPEC_H_
#define CEFENGINE_BROWSER_BROWSER_URL_SPEC_H_

#include <QUrl>

#include <string>

namespace cefengine {

inline std::string UrlSpec(const QUrl& url) {
  return url.toString(QUrl::FullyEncoded).toStdString();
}

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_URL_SPEC_H_
