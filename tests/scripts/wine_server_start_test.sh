#!/usr/bin/env bash
# Starting the test run's Wine server survives a server that a program of the
# old one brings up in the moment it is killed: the persistent server's start
# ends with status 2 then, and the start is tried again after another kill.
# A program then starts without address randomization, which would now and
# then put Wine's heap on a page that Wine needs, with its arguments whole.
#
#   wine_server_start_test.sh WINE_RUN
set -euo pipefail
wine_run=$(realpath -- "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/bin"
# Stand-ins that log every call; the first persistent start meets a server.
cat >"$work/bin/wineserver" <<'FAKE'
#!/usr/bin/env bash
echo "wineserver $*" >>"$TEST_CALLS"
if [ "$1" = -p ] && [ ! -e "$TEST_CALLS.refused" ]; then
  touch "$TEST_CALLS.refused"
  exit 2
fi
FAKE
cat >"$work/bin/wineboot" <<'FAKE'
#!/usr/bin/env bash
echo "wineboot $*" >>"$TEST_CALLS"
FAKE
cat >"$work/bin/wine" <<'FAKE'
#!/usr/bin/env bash
echo "$(</proc/self/personality)" >"$TEST_CALLS.personality"
printf '%s\n' "$@" >"$TEST_CALLS.arguments"
FAKE
chmod +x "$work/bin/wineserver" "$work/bin/wineboot" "$work/bin/wine"
mkdir -p "$work/prefix"
touch "$work/prefix/.tarvex-ready"

export TEST_CALLS="$work/calls"
if ! PATH="$work/bin:$PATH" "$wine_run" "$work/prefix" --start-server 2>"$work/stderr"; then
  echo "FAIL: the start was not tried again"
  exit 1
fi
expected="wineserver -k
wineserver -w
wineserver -p
wineserver -k
wineserver -w
wineserver -p
wineboot "
if [ "$(cat "$TEST_CALLS")" != "$expected" ]; then
  echo "FAIL: calls were:"
  cat "$TEST_CALLS"
  exit 1
fi
grep -q "status 2" "$work/stderr" || {
  echo "FAIL: the refused start was not reported"
  exit 1
}
PATH="$work/bin:$PATH" "$wine_run" "$work/prefix" 'Z:\a folder\program.exe' 'one argument'
if (((16#$(<"$TEST_CALLS.personality") & 16#0040000) == 0)); then
  echo "FAIL: the program started with address randomization"
  exit 1
fi
if [ "$(cat "$TEST_CALLS.arguments")" != $'Z:\\a folder\\program.exe\none argument' ]; then
  echo "FAIL: the program was started as:"
  cat "$TEST_CALLS.arguments"
  exit 1
fi
echo "PASS"
