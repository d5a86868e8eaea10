#!/usr/bin/env bash
# tools/run-tests on a suite of stand-in tests: only engine, e2e and X
# tests are run again, a test that passes on a later run is reported as
# FLAKY (and the suite still passes), one that fails every run fails it, and
# skips are listed.
set -uo pipefail
run_tests=$(cd "$(dirname "$0")/../../../tools" && pwd)/run-tests
fail() { echo "FAIL: $*" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# A test counts as an X test by its launcher.
printf '#!/bin/sh\nexec "$@"\n' >"$dir/with-x"
chmod +x "$dir/with-x"

cat >"$dir/CTestTestfile.cmake" <<CMAKE
add_test(unit.fails sh -c "echo >>$dir/unit.runs; exit 1")
set_tests_properties(unit.fails PROPERTIES LABELS unit)
add_test(engine.flaky sh -c "echo >>$dir/flaky.runs; [ -e $dir/flag ] || { touch $dir/flag; exit 1; }")
set_tests_properties(engine.flaky PROPERTIES LABELS engine)
add_test(x.broken $dir/with-x sh -c "echo >>$dir/x.runs; exit 1")
set_tests_properties(x.broken PROPERTIES LABELS integration)
add_test(unit.skips sh -c "echo '[  SKIPPED ] no display'")
set_tests_properties(unit.skips PROPERTIES LABELS unit SKIP_REGULAR_EXPRESSION "SKIPPED")
add_test(unit.passes true)
set_tests_properties(unit.passes PROPERTIES LABELS unit)
CMAKE

out=$("$run_tests" "$dir" 2>&1) && fail "a suite with failures passed: $out"
summary=$(sed -n '/^=== Summary/,$p' <<<"$out")
for line in "SKIPPED: unit.skips" "FLAKY: engine.flaky (passed on run 2 of 3)" \
  "FAILED: unit.fails" "FAILED: x.broken"; do
  grep -qxF "$line" <<<"$summary" || fail "summary lacks '$line': $summary"
done
[ "$(wc -l <"$dir/unit.runs")" -eq 1 ] || fail "a unit test was run again"
[ "$(wc -l <"$dir/x.runs")" -eq 3 ] || fail "an X test was not run three times"
grep -qx "engine.flaky (passed on run 2 of 3)" "$dir/flaky-tests.txt" ||
  fail "flaky file: $(cat "$dir/flaky-tests.txt")"

# Flaky but otherwise green: the suite passes and still names the flake.
rm "$dir/flag"
out=$("$run_tests" "$dir" -R 'flaky|passes' 2>&1) || fail "flaky suite failed: $out"
grep -qxF "FLAKY: engine.flaky (passed on run 2 of 3)" <<<"$out" ||
  fail "flake not reported: $out"
# A filter that selects nothing is an error, not a pass.
"$run_tests" "$dir" -R nothing-matches >/dev/null 2>&1 &&
  fail "an empty selection passed"
echo PASS
