// The QWebEnginePage of a browser: routes Qt's navigation decisions and
// script dialogs to its CefBrowserImpl, and sends every resource request of
// the page through the client's resource handler.

#ifndef CEFENGINE_BROWSER_BROWSER_BROWSER_PAGE_H_
#define CEFENGINE_BROWSER_BROWSER_BROWSER_PAGE_H_

#include <QWebEnginePage>

class QWebEngineProfile;

namespace cefengine {

class CefBrowserImpl;
class ResourceInterceptor;

class BrowserPage : public QWebEnginePage {
  Q_OBJECT

 public:
  // |browser| outlives the page: it deletes the page when it closes.
  BrowserPage(QWebEngineProfile* profile, CefBrowserImpl* browser);
  ~BrowserPage() override;

  // Qt gives an adopted page (QWebEngineNewWindowRequest::openIn) new
  // internals without the interceptor: put it back.
  void ReinstallInterceptor();

  // Detaches the page from its browser; later calls from Qt get default
  // answers (navigations refused, dialogs cancelled).
  void Detach();

 protected:
  // QWebEnginePage methods:
  bool acceptNavigationRequest(const QUrl& url,
                               NavigationType type,
                               bool isMainFrame) override;
  void javaScriptAlert(const QUrl& securityOrigin, const QString& msg) override;
  bool javaScriptConfirm(const QUrl& securityOrigin,
                         const QString& msg) override;
  bool javaScriptPrompt(const QUrl& securityOrigin,
                        const QString& msg,
                        const QString& defaultValue,
                        QString* result) override;
  void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                const QString& message,
                                int lineNumber,
                                const QString& sourceID) override;

 private:
  CefBrowserImpl* browser_;
  ResourceInterceptor* interceptor_;
};

}  // namespace cefengine

#endif  // CEFENGINE_BROWSER_BROWSER_BROWSER_PAGE_H_
