// Timing of the script bridge of the development engine, measured inside a
// real page of renderer_test_app:
//  - sync: one native function call (page -> renderer Execute -> page);
//  - round trip: a query (page -> Execute -> process message to the browser
//    -> reply message to the renderer -> script that resolves the page's
//    promise).
// Prints the median and 99th percentile of each in milliseconds; with
// --json, one JSON line instead with every sample (for bench/run).
//
// Run under an X server, e.g. tests/support/with-x build/bench/bridge_bench.
//
// Usage: bridge_bench [--json] [sync_calls] [round_trips]

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "tests/engine_renderer/app_runner.h"

namespace {

constexpr char kPage[] = R"HTML(<!doctype html>
<html><body><script>
function stats(samples) {
  const sorted = samples.slice().sort(function (a, b) { return a - b; });
  const at = function (q) {
    return sorted[Math.min(sorted.length - 1, Math.floor(sorted.length * q))];
  };
  let sum = 0;
  for (const s of samples) sum += s;
  return {median: at(0.5), p90: at(0.9), p99: at(0.99),
          mean: sum / samples.length, n: samples.length, samples: samples};
}
let pending = null;
window.onReply = function (n) { const resolve = pending; pending = null; resolve(n); };
async function run() {
  const params = new URLSearchParams(location.search);
  const syncCalls = +params.get('sync');
  const roundTrips = +params.get('trips');
  // Warm-up.
  for (let i = 0; i < 50; ++i) testext.echo(i);
  const sync = [];
  for (let i = 0; i < syncCalls; ++i) {
    const start = performance.now();
    testext.echo(i);
    sync.push(performance.now() - start);
  }
  const trips = [];
  for (let i = 0; i < roundTrips + 20; ++i) {
    const start = performance.now();
    await new Promise(function (resolve) {
      pending = resolve;
      testext.send('query', i);
    });
    if (i >= 20) trips.push(performance.now() - start);
  }
  testext.report({where: 'bench', sync: stats(sync), trip: stats(trips)});
}
window.addEventListener('load', function () { setTimeout(run, 500); });
</script></body></html>)HTML";

}  // namespace

int main(int argc, char* argv[]) {
  const bool json_out = argc > 1 && std::string(argv[1]) == "--json";
  if (json_out) {
    --argc;
    ++argv;
  }
  const int sync_calls = argc > 1 ? std::atoi(argv[1]) : 2000;
  const int round_trips = argc > 2 ? std::atoi(argv[2]) : 1000;
  engine_test::PageServer server(
      std::map<std::string, std::string>{{"/bench", kPage}});
  engine_test::AppRun app(RENDERER_TEST_APP,
                          server.Url("/bench") +
                              "?sync=" + std::to_string(sync_calls) +
                              "&trips=" + std::to_string(round_trips));
  const bool done = app.ReadUntil(
      [&](const std::vector<engine_test::json>&) {
        return !app.Reports("bench").empty();
      },
      std::chrono::milliseconds(300000));
  if (!done) {
    std::fprintf(stderr, "no result\n%s\n", app.Logs().c_str());
    return 1;
  }
  const engine_test::json data = app.Reports("bench").at(0)["data"];
  if (json_out) {
    std::printf("%s\n", data.dump().c_str());
    return 0;
  }
  for (const char* kind : {"sync", "trip"}) {
    const engine_test::json& stats = data[kind];
    std::printf("%-10s n=%-6d median=%.3f ms  p99=%.3f ms\n",
                std::string(kind) == "sync" ? "sync call" : "round trip",
                stats["n"].get<int>(), stats["median"].get<double>(),
                stats["p99"].get<double>());
  }
  return 0;
}
