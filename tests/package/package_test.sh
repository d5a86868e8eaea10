#!/usr/bin/env bash
# The Debian package as a user gets it: built by CPack from this build,
# lintian-clean with every override explained, a valid desktop entry, the
# expected files, and a shell that starts from its unpacked folder.
# Usage: package_test.sh SOURCE_DIR BUILD_DIR BACKEND
#        (in a private home and network, on a private X server)
set -uo pipefail
source_dir=$1 build_dir=$2 backend=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/korvel-package-test.XXXXXX")
shell_pid=
cleanup() {
  [ -n "$shell_pid" ] && kill -KILL -- "-$shell_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}
# Polls |condition| every 100 ms for at most |seconds|.
wait_for() {
  local seconds=$1
  shift
  for ((i = 0; i < seconds * 10; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

cpack --config "$build_dir/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack"; exit 1; }
deb=$(ls "$work"/out/korvel_*_amd64.deb)

# lintian: no error or warning beyond the overrides, and each override has
# its one-line reason right above it.
lintian --fail-on error,warning "$deb" || fail "lintian"
awk '!/^#/ && NF && prev !~ /^# ./ { bad = 1; print "unexplained: " $0 }
     { prev = $0 } END { exit bad }' "$source_dir/packaging/lintian-overrides" ||
  fail "lintian override without its reason"

# Only a library dependency analysis finds Qt WebEngine's process.
dpkg-deb -f "$deb" Depends | grep -q 'libqt6webenginecore6-bin' ||
  fail "no dependency on Qt WebEngine: $(dpkg-deb -f "$deb" Depends)"

root=$work/root
dpkg-deb -x "$deb" "$root"
entry=$root/usr/share/applications/korvel.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
for line in Exec=/opt/korvel/korvel Path=/opt/korvel StartupWMClass=KorVel \
  Icon=korvel; do
  grep -qx "$line" "$entry" || fail "desktop entry lacks $line"
done
[ -f "$root/usr/share/icons/hicolor/scalable/apps/korvel.svg" ] ||
  fail "no icon in the hicolor theme"
[ -x "$root/opt/korvel/korvel" ] || fail "no executable /opt/korvel/korvel"
cmp -s "$root/opt/korvel/loading.pixel" "$build_dir/splash/loading.pixel" ||
  fail "/opt/korvel/loading.pixel is not the built splash picture"
strays=$(cd "$root" && find . -type f ! -path './opt/korvel/*' \
  ! -path './usr/share/*')
[ -z "$strays" ] || fail "files outside /opt/korvel and /usr/share: $strays"

# Started from its own folder, as the desktop entry does, with the
# substitute backend where the shell looks for one when none is installed.
folder=$root/opt/korvel
cp "$backend" "$folder/korvel-backend"
(cd "$folder" && exec setsid ./korvel >"$work/stdout" 2>"$work/stderr") &
shell_pid=$!
main_window() {
  local id
  for id in $(xdotool search --class '^KorVel$' 2>/dev/null); do
    [[ "$(xdotool getwindowname "$id")" == *Korvel* ]] && return 0
  done
  return 1
}
wait_for 30 main_window || fail "no main window on the application"
grep -q 'Image data does not exist' "$work/stdout" &&
  fail "the splash picture was not found"
backend_pid=$(pgrep -P "$shell_pid" -x korvel-backend)
[ -n "$backend_pid" ] || fail "the shell runs no backend from its folder"
# A backend that ends unasked ends the shell, with status 0.
[ -n "$backend_pid" ] && kill "$backend_pid"
# Ended: gone, or a zombie waiting for this script.
shell_ended() { ! ps -o stat= -p "$shell_pid" | grep -qv '^Z'; }
wait_for 20 shell_ended ||
  fail "the shell outlived its backend"
wait "$shell_pid"
status=$?
[ "$status" -eq 0 ] || fail "the shell ended with status $status"
shell_pid=

[ "$failures" -eq 0 ] || { cat "$work/stderr"; exit 1; }
echo "package test passed: $(basename "$deb")"
