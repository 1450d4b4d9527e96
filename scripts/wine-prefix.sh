# shellcheck shell=bash
# Sourced by the scripts that run Windows programs under Wine. Every step
# before a program starts can fail on its own; each says which one it was, so
# that a test that fails there tells why instead of ending without a word.

# Wine's loader lies at a fixed address and the kernel starts its heap a
# random distance above it; now and then the heap lands on the page that Wine
# maps for every Windows program, which then ends at once with status 1 and
# nothing said ("failed to map the shared user data"). The script that sources
# this therefore starts itself once more without that randomness, which every
# program it starts inherits, wherever the system lets it.
if (((16#$(</proc/$$/personality) & 16#0040000) == 0)) &&
  setarch "$(uname -m)" --addr-no-randomize true 2>/dev/null; then
  exec setarch "$(uname -m)" --addr-no-randomize "$BASH" "$0" "$@"
fi

# Writes "SCRIPT: STEP failed with status N" on the standard error stream and
# ends the script with that status: step_failed STATUS STEP...
step_failed() {
  local status=$1
  shift
  echo "${0##*/}: $* failed with status $status" >&2
  exit "$status"
}

# Makes the prefix $WINEPREFIX ready once, under its lock, so that parallel
# runs never race to initialise it, and then runs the command after it (if
# any) still under the lock, on fd 9: the command ends the script itself when
# it fails, and keeps fd 9 from the programs it starts.
prepare_prefix() {
  locked_prepare "$@" 9>"$WINEPREFIX.lock" ||
    step_failed $? "opening the prefix's lock $WINEPREFIX.lock"
}

locked_prepare() {
  flock 9 || step_failed $? "taking the prefix's lock $WINEPREFIX.lock"
  if [ ! -f "$WINEPREFIX/.tarvex-ready" ]; then
    wineboot --init >/dev/null 2>&1 9>&- || true
    wineserver -w 9>&- || true
    touch "$WINEPREFIX/.tarvex-ready" || step_failed $? "marking the prefix $WINEPREFIX ready"
  fi
  if [ $# -gt 0 ]; then "$@"; fi
}

# Takes, on fd 8, the lock under which programs that open windows run in the
# prefix one at a time; it is held until the script ends.
take_run_lock() {
  exec 8>"$WINEPREFIX.run.lock" || step_failed $? "opening the lock $WINEPREFIX.run.lock"
  flock 8 || step_failed $? "taking the lock $WINEPREFIX.run.lock"
}

# For scripts under set -e: the command that ends the script names itself.
name_failed_commands() {
  trap 'echo "${0##*/}: line $LINENO: \"$BASH_COMMAND\" failed with status $?" >&2' ERR
}
