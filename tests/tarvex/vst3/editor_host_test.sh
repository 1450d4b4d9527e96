#!/usr/bin/env bash
# Opens the Windows module's editor in the VST3 SDK's editor host under Wine
# on a virtual X server: the driver starts the host, resizes its window and
# closes it; this script pictures the editor after opening and after the
# resize and checks that it drew something of the expected size.
#
#   editor_host_test.sh PREFIX DRIVER HOST BUNDLE OUT_FOLDER
#
# PREFIX is the build's Wine prefix (its display twin is used, one program
# at a time, as scripts/wine-run does); BUNDLE is the bundle's Linux path.
# Everything runs under a watchdog: a host that stops in a message box or
# never ends fails the test instead of hanging it.
set -euo pipefail

if [ -z "${TARVEX_EDITOR_HOST_INNER:-}" ]; then
  exec timeout --kill-after=10 180 env TARVEX_EDITOR_HOST_INNER=1 \
    xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

. "$(dirname "$(realpath -- "$0")")/../../../scripts/wine-prefix.sh"
name_failed_commands
prefix="$(realpath -m -- "$1")-display"
driver=$2
host=$3
bundle=$4
out=$5
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

prepare_prefix
take_run_lock

windows_path() { echo "Z:${1//\//\\}"; }

rm -rf "$out"
mkdir -p "$out"
log="$out/driver.log"
wine "$driver" "$(windows_path "$host")" "$(windows_path "$bundle")" "$(windows_path "$out")" \
  >"$log" 2>&1 &
driver_pid=$!

fail() {
  echo "FAIL: $*"
  cat "$log"
  wineserver -k 2>/dev/null || true
  exit 1
}

# Wine draws a GL child window into an offscreen X window of its own, which
# has no name: it is found by its size.
picture() {
  local n=$1 width=$2 height=$3 id png="$out/editor-$1.png"
  id=$(xwininfo -root -tree | awk -v size=" ${width}x${height}+" \
    'index($0, "(has no name): ()") && index($0, size) { print $1; exit }')
  [ -n "$id" ] || fail "no X window of ${width}x${height} holds the editor"
  import -window "$id" "$png"
  read -r got_width got_height mean deviation < <(convert "$png" -format \
    '%w %h %[fx:mean] %[fx:standard_deviation]\n' info:)
  echo "picture $n: ${got_width}x${got_height}, mean $mean, deviation $deviation"
  # The offscreen window sits at (-1, -1): its first row and column lie off
  # the screen and are not read.
  [ $((width - got_width)) -le 1 ] && [ $((height - got_height)) -le 1 ] ||
    fail "picture $n has the wrong size"
  awk -v m="$mean" -v d="$deviation" 'BEGIN { exit !(m > 0.05 && d > 0.03) }' ||
    fail "picture $n is blank"
  touch "$out/shot$n"
}

for n in 1 2; do
  line=""
  for _ in $(seq 1 600); do
    line=$(grep -s '^ready' "$log" | sed -n "${n}p" || true)
    [ -n "$line" ] && break
    kill -0 "$driver_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$line" ] || fail "the driver never had editor $n ready"
  read -r _ width height <<<"$line"
  picture "$n" "${width%$'\r'}" "${height%$'\r'}"
done

status=0
wait "$driver_pid" || status=$?
cat "$log"
wineserver -w || true
[ "$status" = 0 ] || fail "the driver failed"
echo "PASS"
