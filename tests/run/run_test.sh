#!/usr/bin/env bash
# tools/run without a display, as a user without a desktop runs it: it must
# lay out the output folder, show the application on a private X server,
# save a screenshot of it and end the shell without leaving a process.
# Usage: run_test.sh SOURCE_DIR BUILD_DIR   (in a private home and network)
set -uo pipefail
source_dir=$1 build_dir=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/korvel-run-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

out=$work/out
screen=1600x900
env -u DISPLAY KORVEL_BUILD_DIR="$build_dir" KORVEL_OUT_DIR="$out" \
  KORVEL_RUN_SCREEN=$screen KORVEL_RUN_TIMEOUT=120 \
  "$source_dir/tools/run" --no-build >"$work/run.log" 2>&1
status=$?
cat "$work/run.log"
[ "$status" -eq 0 ] || fail "tools/run ended with status $status"

# The folder the shell ran from: the shell, the backend under the name the
# shell looks for, and the splash picture, a complete file of its size.
for program in korvel korvel-backend; do
  [ -x "$out/$program" ] || fail "$program is not in the output folder"
done
if [ -f "$out/loading.pixel" ]; then
  read -r width height < <(od -An -tu2 -N4 --endian=little "$out/loading.pixel")
  size=$(stat -c %s "$out/loading.pixel")
  [ "$size" -eq $((4 + 4 * width * height)) ] ||
    fail "loading.pixel of ${width}x$height holds $size bytes"
else
  fail "loading.pixel is not in the output folder"
fi

# Nothing the shell started runs on: every process of the shell, its
# renderers and its backend had the output folder as working directory.
for proc in /proc/[0-9]*; do
  if [ "$(readlink "$proc/cwd" 2>/dev/null)" = "$out" ]; then
    fail "process ${proc#/proc/} is left: $(tr '\0' ' ' <"$proc/cmdline")"
  fi
done

# The screenshot: the whole screen, with the application's window on it.
shot=$out/screenshot.png
if [ ! -f "$shot" ]; then
  fail "no screenshot at $shot"
else
  [ "$(identify -format '%wx%h' "$shot")" = "$screen" ] ||
    fail "the screenshot is $(identify -format '%wx%h' "$shot"), not $screen"
  where=$(sed -n 's/.*application window (\([0-9x+-]*\)) is shown.*/\1/p' \
    "$work/run.log")
  if [ -z "$where" ]; then
    fail "tools/run did not say where the window was"
  else
    window=$work/window.png
    convert "$shot" -crop "$where" +repage "$window"
    # A window that is drawn has text and pictures: many colours and
    # visible contrast, not one blank or uniform area.
    colours=$(identify -format '%k' "$window")
    deviation=$(convert "$window" -colorspace gray -format '%[fx:int(1000*standard_deviation)]' info:)
    echo "window $where: $colours colours, grey deviation $deviation/1000"
    [ "$colours" -ge 64 ] || fail "the window has only $colours colours"
    [ "$deviation" -ge 20 ] || fail "the window is nearly uniform"
    # It is the application, not the loading splash still lying on it.
    splash=$work/splash.png
    read -r width height < <(od -An -tu2 -N4 --endian=little "$out/loading.pixel")
    tail -c +5 "$out/loading.pixel" |
      convert -size "${width}x$height" -depth 8 bgra:- -alpha off "$splash"
    sw=${screen%x*} sh=${screen#*x}
    centre="${width}x$height+$(((sw - width) / 2))+$(((sh - height) / 2))"
    convert "$shot" -crop "$centre" +repage "$work/centre.png"
    difference=$(compare -metric AE -fuzz 5% "$work/centre.png" "$splash" \
      null: 2>&1)
    echo "pixels unlike the splash in the screen's centre: $difference"
    [ "${difference%.*}" -gt $((width * height / 4)) ] ||
      fail "the loading splash is still on the screen"
  fi
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed" >&2
  exit 1
fi
echo "tools/run showed the application and ended cleanly"
