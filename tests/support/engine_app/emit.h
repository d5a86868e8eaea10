// Event output of the engine test apps: one JSON object per line on stdout.

#ifndef TESTS_SUPPORT_ENGINE_APP_EMIT_H_
#define TESTS_SUPPORT_ENGINE_APP_EMIT_H_

#include <nlohmann/json.hpp>

namespace engine_test_app {

using json = nlohmann::json;

// Writes |event| as one line. Safe from any thread; each line goes out in a
// single write, so lines of the browser and renderer processes sharing the
// pipe never mix. Aborts when stdout is gone: the test has stopped
// listening and nothing the app does matters any more.
void Emit(const json& event);

}  // namespace engine_test_app

#endif  // TESTS_SUPPORT_ENGINE_APP_EMIT_H_
