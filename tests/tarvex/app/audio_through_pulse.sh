#!/usr/bin/env bash
# Plays a tone through Tarvex.exe on real audio devices without sound
# hardware: Wine's PulseAudio driver on a PulseAudio server of this test's
# own. The program is started twice, since only a later start looks the
# stored device names up; the second plays the tone from the input device
# back out to the output device. Then the server stops while the program
# plays and starts again: Apply in the preferences brings the tone back on
# the same devices, ten more Applies each return soon and leave no threads
# behind, every stream stops within the audio library, and Quit ends the
# program cleanly. Last the program starts while there is no server: once one
# starts, the preferences list its devices, Apply plays, and the program still
# closes within a few seconds once the server has gone again while it plays.
#
#   audio_through_pulse.sh TARVEX_EXE PREFERENCES_REMOTE WORK_FOLDER
#
# WORK_FOLDER holds the recordings, the logs and a Wine prefix whose audio
# driver is PulseAudio, kept apart from the prefix the other tests share
# (where there are no audio devices). The server's socket and state live in
# a short folder of their own under /tmp, since a Unix socket's name holds
# only 107 characters and a build folder may lie deeper. Needs an X server.
set -euo pipefail
. "$(dirname "$(realpath -- "$0")")/../../../scripts/wine-prefix.sh"
name_failed_commands
exe=$(realpath -- "$1")
remote_exe=$(realpath -- "$2")
work=$(realpath -m -- "$3")
tone="$(dirname "$(realpath -- "$0")")/tone.py"

# Wine's DirectSound capture may hand the server's 48000 Hz samples over at
# the stream's 44100 Hz, and the tone then comes out at 1000 * 44100 / 48000
# Hz in the program's own frequency scale; either is the tone passed through.
readonly played_hz=1000 amplitude=0.5 expected_hz=1000,918.75
# The preferences dialog's controls.
readonly apply_button=40024 ok_button=1 input_list=40010 output_list=40011
# What a user may wait for an Apply on a working device, and for Quit.
readonly apply_limit_s=1.5 quit_limit_s=10

rm -rf -- "$work"
mkdir -p "$work/pulse" "$work/home"
runtime=$(mktemp -d /tmp/tarvex-pulse.XXXXXX)
export HOME="$work/home" XDG_RUNTIME_DIR="$runtime" PULSE_RUNTIME_PATH="$runtime"
export PULSE_STATE_PATH="$runtime" PULSE_SERVER="unix:$runtime/native"
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64

pulse_pid=
program_pid=
cleanup() {
  # What has ended already fails to end again, and says nothing of the test.
  trap - ERR
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  wineserver -k 2>/dev/null || true
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
  rm -rf -- "$runtime"
}
trap cleanup EXIT
# A test stopped from outside cleans up as well.
trap 'exit 143' TERM INT HUP

# Waits up to $1 seconds for the command after it to succeed.
wait_for() {
  local seconds=$1; shift
  for ((i = 0; i < seconds * 10; i++)); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

cat >"$work/pulse/server.pa" <<PA
load-module module-native-protocol-unix socket=$runtime/native auth-anonymous=1
load-module module-null-sink sink_name=program_out rate=48000 channels=2
load-module module-null-sink sink_name=signal_in rate=48000 channels=2
load-module module-remap-source source_name=program_in master=signal_in.monitor
set-default-sink program_out
set-default-source program_in
PA
start_server() {
  pulseaudio -n -F "$work/pulse/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    --system=no --disable-shm=yes --log-target=file:"$work/pulse/server.log" &
  pulse_pid=$!
  wait_for 20 pactl info || { echo "the PulseAudio server did not start"; cat "$work/pulse/server.log"; exit 1; }
}
stop_server() {
  kill "$pulse_pid"
  wait "$pulse_pid" 2>/dev/null || true
  pulse_pid=
}
start_server

prepare_prefix
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1
wineserver -w

# The program's stream runs once its output plays and its input records.
# (The remapped source records through a stream of the server's own.)
streams_run() {
  pactl list short sink-inputs | grep -q protocol-native &&
    pactl list short source-outputs | grep -q protocol-native
}

# Starts the program; its errors go to $1.
start_program() {
  wine "$exe" >"$1" 2>&1 &
  program_pid=$!
}

# Asks the program to close as its user would, once its window shows, and
# waits up to $1 seconds for it to end.
stop_program() {
  remote threads >/dev/null
  wine taskkill /im Tarvex.exe >/dev/null 2>&1 || true
  wait_for "$1" bash -c "! kill -0 $program_pid" || { echo "the program did not close"; exit 1; }
  wait "$program_pid" 2>/dev/null || true
  program_pid=
}

# Works the program's menu and preferences dialog (see preferences_remote).
remote() {
  wine "$remote_exe" "$@" | tr -d '\r'
  return "${PIPESTATUS[0]}"
}

# Presses a preferences button $2 times; every press must end without a
# message box within $1 seconds.
press() {
  local limit=$1 times=$2 button=$3 took
  took=$(remote press "$button" "$times") || { echo "a press failed: $took"; exit 1; }
  echo "seconds each press took:" $took
  for t in $took; do
    python3 -c "import sys; sys.exit(0 if $t <= $limit else 1)" ||
      { echo "a press took $t s, more than $limit s"; exit 1; }
  done
}

# Records the program's output into $1.raw while $2 seconds of the tone
# play in.
record_tone() {
  parec -d program_out.monitor --raw --format=s16le --rate=48000 --channels=2 >"$work/$1.raw" &
  local recorder=$!
  python3 "$tone" play "$played_hz" "$amplitude" "$2" |
    pacat -d signal_in --raw --format=s16le --rate=48000 --channels=2
  sleep 0.5
  kill "$recorder"
  wait "$recorder" 2>/dev/null || true
}

# Checks the program's output while the tone plays in: $1 names the
# recording. A fresh stream may take seconds to roll, longer on a busy
# machine, so the check begins once a little of the tone comes out.
tone_passes() {
  local try
  for ((try = 0; try < 20; try++)); do
    record_tone probe 0.5
    python3 "$tone" heard "$work/probe.raw" && break
  done
  record_tone "$1" 3
  echo "$1: a $played_hz Hz tone of amplitude $amplitude played in; out came:"
  python3 "$tone" check "$work/$1.raw" "$expected_hz" "$amplitude"
}

# The dialog's devices are the server's two, each under Wine's two names.
lists_devices() {
  for list in "$input_list" "$output_list"; do
    remote list "$list" | grep -qx PulseAudio || return 1
  done
}

settings() {
  find "$WINEPREFIX/drive_c/users" -path '*/Tarvex/settings.ini' -exec iconv -f UTF-16 -t UTF-8 {} \;
}

# The first start finds no stored names and stores the default devices'.
start_program "$work/first.log"
if ! wait_for 60 streams_run; then
  echo "the first start opened no stream:"; cat "$work/first.log"; exit 1
fi
stop_program 20
echo "stored after the first start:"; settings | grep -E 'dev=' || true

start_program "$work/second.log"
if ! wait_for 60 streams_run; then
  echo "the second start opened no stream:"; cat "$work/second.log"; exit 1
fi
echo "the program's streams (output, then input):"
pactl list short sink-inputs
pactl list short source-outputs
tone_passes out
stored_before=$(settings | grep -E 'dev=')
threads_before=$(remote threads)

# The devices go away while the program plays and come back.
stop_server
sleep 1
start_server
remote open
press "$apply_limit_s" 1 "$apply_button"
wait_for 10 streams_run || { echo "Apply opened no stream on the returned server"; exit 1; }
tone_passes after-return
press "$apply_limit_s" 10 "$apply_button"
threads_after=$(remote threads)
echo "threads before the dropout: $threads_before, after ten more Applies: $threads_after"
[ "$threads_after" -le $((threads_before + 3)) ] || { echo "the Applies left threads behind"; exit 1; }
tone_passes after-applies
press 5 1 "$ok_button"
remote quit
quit_began=$(date +%s.%N)
wait_for "$quit_limit_s" bash -c "! kill -0 $program_pid" || { echo "Quit did not end the program"; exit 1; }
echo "Quit took $(python3 -c "print(round($(date +%s.%N) - $quit_began, 2))") s"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || { echo "Quit ended the program with status $status"; cat "$work/second.log"; exit 1; }
[ "$(settings | grep -E 'dev=')" = "$stored_before" ] ||
  { echo "the stored devices changed:"; settings | grep -E 'dev='; exit 1; }
# Every stream stopped within the audio library, the dead device's too: none
# had to be left behind to a call that never returned.
! grep -q "stream is let go" "$work/second.log" ||
  { echo "a stream did not stop in time:"; cat "$work/second.log"; exit 1; }

# A server that starts only after the program: the preferences list its
# devices, and Apply plays on them.
stop_server
start_program "$work/third.log"
remote dismiss || { echo "a start without devices showed no message"; exit 1; }
start_server
remote open
lists_devices || { echo "the preferences do not list the new server's devices"; exit 1; }
press 5 1 "$apply_button"
wait_for 10 streams_run || { echo "Apply opened no stream on the new server"; exit 1; }
tone_passes server-after-program

# The devices go away while the program plays: it still closes within a few
# seconds.
press 5 1 "$ok_button"
stop_server
sleep 1
stop_program 5
