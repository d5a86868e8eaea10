#!/usr/bin/env bash
# with-x: a test binary's listing runs without any X server, and a window
# manager that never finishes starting fails the run loudly instead of
# letting the tests meet a half-ready desktop.
set -uo pipefail
with_x=$(dirname "$0")/../with-x
fail() { echo "FAIL: $*" >&2; exit 1; }
fake=$(mktemp -d)
trap 'rm -rf "$fake"' EXIT

# No Xvfb on the path: listing must not need one.
mkdir "$fake/bin"
printf '#!/bin/sh\necho "listed $*"\n' >"$fake/bin/lister"
chmod +x "$fake/bin/lister"
out=$(PATH="$fake/bin" /bin/bash "$with_x" lister --gtest_list_tests 2>&1) ||
  fail "listing went through an X server: $out"
[ "$out" = "listed --gtest_list_tests" ] || fail "listing printed: $out"

# An openbox that dies before publishing its work area.
printf '#!/bin/sh\necho "openbox: cannot start" >&2\nexit 1\n' \
  >"$fake/bin/openbox"
chmod +x "$fake/bin/openbox"
out=$(PATH="$fake/bin:$PATH" "$with_x" true 2>&1) &&
  fail "the command ran without a window manager"
grep -q 'openbox did not finish starting' <<<"$out" ||
  fail "no reason given: $out"
grep -q 'openbox: cannot start' <<<"$out" || fail "no openbox log: $out"
echo PASS
