// The browser process of an engine test app from initialisation to
// shutdown.

#ifndef TESTS_SUPPORT_ENGINE_APP_RUN_ENGINE_H_
#define TESTS_SUPPORT_ENGINE_APP_RUN_ENGINE_H_

#include <functional>
#include <string>
#include <vector>

#include "include/cef_app.h"

namespace engine_test_app {

// Settings of a test app: no sandbox, the cache under |cache_root| and the
// engine's log in |cache_root|/engine.log.
CefSettings AppSettings(const std::string& cache_root);

// Initialises the engine with AppSettings(|cache_root|), runs the message
// loop until it quits, runs |after_loop| (to drop references to engine
// objects) and shuts the engine down. Returns main()'s exit code: 0, or 1
// when the engine did not start.
int RunBrowserProcess(const CefMainArgs& args,
                      CefRefPtr<CefApp> app,
                      const std::string& cache_root,
                      const std::function<void()>& after_loop = nullptr);

// All of main() for a test app whose browser process only needs its
// switches: a sub-process role runs and returns its exit code; the browser
// process without --cache-root or any switch named in |required| prints its
// usage and returns 2; otherwise RunBrowserProcess.
int AppMain(int argc,
            char* argv[],
            CefRefPtr<CefApp> app,
            const std::vector<std::string>& required = {});

}  // namespace engine_test_app

#endif  // TESTS_SUPPORT_ENGINE_APP_RUN_ENGINE_H_
