#include "browser/browser/browser_page.h"

#include <QCoreApplication>

#include "browser/bridge/script_bridge.h"
#include "browser/browser/browser_impl.h"
#include "browser/browser/resource_interceptor.h"

namespace cefengine {

namespace {

// Qt asks its leave-page question through javaScriptConfirm with this fixed
// (translated) text; a page's own confirm() cannot be told apart when it
// uses the very same words.
QString BeforeUnloadQuestion() {
  return QCoreApplication::translate(
      "QWebEnginePage",
      "Are you sure you want to leave this page? Changes that you made may "
      "not be saved.");
}

}  // namespace

BrowserPage::BrowserPage(QWebEngineProfile* profile, CefBrowserImpl* browser)
    : QWebEnginePage(profile, nullptr),
      browser_(browser),
      interceptor_(new ResourceInterceptor(browser, this)) {
  setUrlRequestInterceptor(interceptor_);
}

BrowserPage::~BrowserPage() {
  setUrlRequestInterceptor(nullptr);
}

void BrowserPage::ReinstallInterceptor() {
  setUrlRequestInterceptor(interceptor_);
}

void BrowserPage::Detach() {
  browser_ = nullptr;
  interceptor_->Detach();
}

bool BrowserPage::acceptNavigationRequest(const QUrl& url,
                                          NavigationType type,
                                          bool isMainFrame) {
  return browser_ && browser_->OnNavigationRequest(url, type, isMainFrame);
}

void BrowserPage::javaScriptAlert(const QUrl& securityOrigin,
                                  const QString& msg) {
  if (!browser_) {
    return;
  }
  if (browser_->RunScriptDialog(JSDIALOGTYPE_ALERT, securityOrigin, msg,
                                QString(), nullptr) ==
      CefBrowserImpl::DialogOutcome::kUseDefault) {
    QWebEnginePage::javaScriptAlert(securityOrigin, msg);
  }
}

bool BrowserPage::javaScriptConfirm(const QUrl& securityOrigin,
                                    const QString& msg) {
  if (!browser_) {
    return false;
  }
  CefBrowserImpl::DialogOutcome outcome =
      msg == BeforeUnloadQuestion()
          ? browser_->RunBeforeUnloadDialog(msg)
          : browser_->RunScriptDialog(JSDIALOGTYPE_CONFIRM, securityOrigin, msg,
                                      QString(), nullptr);
  if (outcome != CefBrowserImpl::DialogOutcome::kUseDefault) {
    return outcome == CefBrowserImpl::DialogOutcome::kAccepted;
  }
  const bool accepted = QWebEnginePage::javaScriptConfirm(securityOrigin, msg);
  if (browser_ && msg == BeforeUnloadQuestion()) {
    browser_->OnBeforeUnloadAnswered(accepted);
  }
  return accepted;
}

bool BrowserPage::javaScriptPrompt(const QUrl& securityOrigin,
                                   const QString& msg,
                                   const QString& defaultValue,
                                   QString* result) {
  bool answered = false;
  if (HandleBridgePrompt(this, browser_, msg, defaultValue, result,
                         &answered)) {
    return answered;
  }
  if (!browser_) {
    return false;
  }
  CefBrowserImpl::DialogOutcome outcome = browser_->RunScriptDialog(
      JSDIALOGTYPE_PROMPT, securityOrigin, msg, defaultValue, result);
  if (outcome == CefBrowserImpl::DialogOutcome::kUseDefault) {
    return QWebEnginePage::javaScriptPrompt(securityOrigin, msg, defaultValue,
                                            result);
  }
  return outcome == CefBrowserImpl::DialogOutcome::kAccepted;
}

void BrowserPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level,
                                           const QString& message,
                                           int lineNumber,
                                           const QString& sourceID) {
  if (browser_) {
    browser_->OnConsoleMessage(level, message, lineNumber, sourceID);
  }
}

}  // namespace cefengine
