#!/usr/bin/env bash
# Tap-to-sound latency through a real sound server: for each server, SDL
# driver and period, the program runs in a window under Xvfb, grid slot 1 is
# pressed through XTest, and the default sink's monitor is recorded; the time
# from each press to the first audible sample is printed as min / median / max,
# with nothing playing and with the slot's own sound still playing. See
# docs/latency.md.
#
#   tools/latency.sh [--program PATH] [--servers "pipewire pulseaudio"]
#                    [--drivers "pulseaudio pipewire default"] [--periods "128 256 512"]
#                    [--pairs N] [--smoke] [--keep]
#                    [--no-install] [--load [--seconds S] [--beside "COMMAND"]]
#                    [-- program options]
#
# --program: the jostlepad binary, beside its Skin/ (default: the release
# build's staged one, built if missing). --drivers: SDL's audio drivers to
# try on each server where they apply (default: pulseaudio, and on PipeWire
# also pipewire); "default" leaves SDL_AUDIODRIVER unset, so the program
# chooses. --pairs: press pairs per run (each a
# press in silence and one 250 ms later; default 20). --smoke: one short run
# (3 pairs, the first server, the program's own driver, period 256) that
# fails unless every press's sound is found. --load: a minute of five slots re-triggered
# every 100 ms for S seconds (default 60) per server, driver and period, counting dropouts (an underrun,
# the server's or SDL's, is 2 ms or more of nothing in the sink) instead of
# timing presses; --beside runs COMMAND meanwhile (e.g. a build), started
# afresh for each run and ended with it. --keep: leave the work folder.
# Packages it needs are installed first (unless --no-install).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
program="$root/build/release/Jostlepad/jostlepad"
servers="pipewire pulseaudio"
periods="128 256 512"
pairs=20
smoke=0
keep=0
install=1
load=0
beside=""
seconds=60
drivers_given=""
extra=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --program) program=$2; shift 2 ;;
    --servers) servers=$2; shift 2 ;;
    --periods) periods=$2; shift 2 ;;
    --drivers) drivers_given=$2; shift 2 ;;
    --pairs) pairs=$2; shift 2 ;;
    --smoke) smoke=1; shift ;;
    --keep) keep=1; shift ;;
    --no-install) install=0; shift ;;
    --load) load=1; shift ;;
    --beside) beside=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --) shift; extra=("$@"); break ;;
    -h|--help) sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "latency.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done
if [[ $smoke -eq 1 ]]; then
  servers=${servers%% *}
  drivers_given=default
  periods=256
  pairs=3
fi

if [[ $install -eq 1 ]]; then
  need="pipewire pipewire-pulse wireplumber pulseaudio pulseaudio-utils dbus libpulse-dev libpipewire-0.3-dev libx11-dev libxtst-dev xvfb cmake ninja-build gcc pkg-config"
  missing=""
  for p in $need; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
  done
  if [[ -n "$missing" ]]; then
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO=sudo
    $SUDO apt-get update >/dev/null
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing >/dev/null
  fi
fi

probe_build="$root/build/latency-probe"
cmake -S "$root/tools/latency" -B "$probe_build" -G Ninja >/dev/null
cmake --build "$probe_build" >/dev/null
probe="$probe_build/latency_probe"
if [[ ! -x "$program" ]]; then
  cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build/release" --target jostlepad -j2 >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/jostlepad-latency.XXXXXX")
pids=()
stop() {  # every process we started, by its pid, newest first
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
  done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    for _ in $(seq 50); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.1; done
    kill -9 "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  pids=()
}
beside_pid=""
finish() {
  # the command beside a load run leads its own process group
  if [[ -n $beside_pid ]]; then kill -- "-$beside_pid" 2>/dev/null || true; fi
  stop
  if [[ $keep -eq 1 ]]; then echo "work folder: $work"; else rm -rf "$work"; fi
}
trap finish EXIT
trap 'exit 130' INT TERM

# ---- the program's folder: its skin, one pack with the edged sound, a hive ----
app="$work/app"
mkdir -p "$app/Sounds/Probe" "$work/device"
ln -s "$(dirname "$program")/Skin" "$app/Skin"
"$probe" --write-wav "$app/Sounds/Probe/Edge.wav"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Marrowfen\\Jostlepad\\Settings]\r\n'
  for n in 1 2 3 4 5; do printf '"SoundSlot%sFolder"="Probe"\r\n"SoundSlot%sName"="Edge.wav"\r\n' $n $n; done
  printf '"AnimationsOn"=dword:00000000\r\n"VibrationsOn"=dword:00000000\r\n\r\n'
} >"$work/registry.reg"
traces_latency=0
"$program" --help | grep -q -- '--trace-latency' && traces_latency=1

# ---- X: a private Xvfb ----
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.1; done
[[ -s "$work/display" ]] || { echo "latency.sh: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"

# ---- sound servers, each in its own runtime folder, a null sink as default ----
start_server() {  # server
  local rt="$work/rt-$1"
  mkdir -p "$rt" "$work/home-$1"
  chmod 700 "$rt"
  export XDG_RUNTIME_DIR="$rt" HOME="$work/home-$1" PULSE_SERVER="unix:$rt/pulse/native"
  export XDG_CONFIG_HOME="$work/home-$1/.config" XDG_STATE_HOME="$work/home-$1/.state"
  unset PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR
  case "$1" in
    pulseaudio)
      cat >"$work/server.pa" <<EOF
load-module module-null-sink sink_name=probe rate=48000 channels=2
load-module module-native-protocol-unix
set-default-sink probe
EOF
      pulseaudio -n -F "$work/server.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
        --realtime=yes --high-priority=yes \
        --disallow-exit --log-target=file:"$work/pulseaudio.log" >/dev/null 2>&1 &
      pids+=($!)
      ;;
    pipewire)
      # Real time as under rtkit: module-rt (already in these files) takes it
      # directly as root, but rtkit would cap the priority at 20.
      local f
      for f in pipewire/pipewire.conf pipewire/pipewire-pulse.conf pipewire/client-rt.conf \
               wireplumber/wireplumber.conf; do
        mkdir -p "$XDG_CONFIG_HOME/$(dirname "$f")"
        sed 's/#rt\.prio *= *[0-9]*/rt.prio = 20/' "/usr/share/$f" >"$XDG_CONFIG_HOME/$f"
      done
      dbus-daemon --session --nofork --nopidfile --address="unix:path=$rt/bus" >/dev/null 2>&1 &
      pids+=($!)
      export DBUS_SESSION_BUS_ADDRESS="unix:path=$rt/bus"
      pipewire >"$work/pipewire.log" 2>&1 &
      pids+=($!)
      for _ in $(seq 50); do [[ -S "$rt/pipewire-0" ]] && break; sleep 0.1; done
      wireplumber >"$work/wireplumber.log" 2>&1 &
      pids+=($!)
      pipewire-pulse >"$work/pipewire-pulse.log" 2>&1 &
      pids+=($!)
      ;;
  esac
  for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
  pactl info >/dev/null 2>&1 || { echo "latency.sh: $1 did not start" >&2; return 1; }
  if [[ $1 == pipewire ]]; then
    pactl load-module module-null-sink sink_name=probe rate=48000 channels=2 >/dev/null
    pactl set-default-sink probe
  fi
  for _ in $(seq 50); do [[ $(pactl get-default-sink 2>/dev/null) == probe ]] && break; sleep 0.1; done
  [[ $(pactl get-default-sink 2>/dev/null) == probe ]] || { echo "latency.sh: no null sink on $1" >&2; return 1; }
  case "$1" in
    pipewire) server_label="PipeWire $(pipewire --version | sed -n 's/.*libpipewire \([0-9.]*\).*/\1/p' | head -n1)" ;;
    pulseaudio) server_label="PulseAudio $(pactl info | sed -n 's/^Server Version: //p')" ;;
  esac
}

drivers_for() {  # server: the SDL drivers worth measuring on it
  if [[ -n $drivers_given ]]; then
    local d
    for d in $drivers_given; do [[ $d != pipewire || $1 == pipewire ]] && echo "$d"; done
    return
  fi
  case "$1" in
    pipewire) echo "pulseaudio pipewire" ;;
    pulseaudio) echo "pulseaudio" ;;
  esac
}

run_program() {  # driver, period, trace; the program's pid in $program_pid
  rm -f "$work/device/registry.reg"
  cp "$work/registry.reg" "$work/device/registry.reg"
  # No trace in a load run: its file writes, which a build's writes can hold
  # up for a long while, are no part of the player's sound.
  local trace_args=()
  if [[ $load -eq 0 ]]; then
    trace_args=(--trace "$3")
    [[ $traces_latency -eq 1 ]] && trace_args+=(--trace-latency)
  fi
  local driver_env=(env SDL_AUDIODRIVER="$1")
  [[ $1 == default ]] && driver_env=(env -u SDL_AUDIODRIVER)
  "${driver_env[@]}" "$program" --device "$work/device" --app-dir "$app" --scale 1 --sensor keys \
    --vibrator none --audio-period "$2" "${trace_args[@]}" "${extra[@]}" >"$work/program.log" 2>&1 &
  program_pid=$!
  pids+=($program_pid)
}

stop_program() {
  kill -TERM "$program_pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$program_pid" 2>/dev/null || true
  wait "$program_pid" 2>/dev/null || true
  local kept=()
  for p in "${pids[@]}"; do [[ $p == "$program_pid" ]] || kept+=("$p"); done
  pids=("${kept[@]}")
}

# The program's share from its own trace: the press's SDL event to its sound
# queued in the mixer, and to the output's first pull of it, in ms (min /
# median / max), for the presses in silence and those while a sound plays
# (they alternate).
program_share() {  # trace
  awk '
    # the write and the pull stamp from two threads: either may come first
    / latency pen-down / { down = $4; kind = (n++ % 2) ? "playing" : "quiet"; wrote = pulled = 0 }
    / latency wave-write / && down && !wrote { q[kind, nq[kind]++] = ($4 - down) / 1000; wrote = 1 }
    / latency first-mix / && down && !pulled { m[kind, nm[kind]++] = ($4 - down) / 1000; pulled = 1 }
    function stats(a, k, n,    i, j, t, v) {
      for (i = 0; i < n; i++) v[i] = a[k, i]
      for (i = 0; i < n; i++) for (j = i + 1; j < n; j++) if (v[j] < v[i]) { t = v[i]; v[i] = v[j]; v[j] = t }
      return n ? sprintf("%.2f / %.2f / %.2f", v[0], (n % 2 ? v[int(n / 2)] : (v[n / 2 - 1] + v[n / 2]) / 2), v[n - 1]) : "-"
    }
    END {
      printf "quiet: queued %s, pulled %s ms; ", stats(q, "quiet", nq["quiet"]), stats(m, "quiet", nm["quiet"])
      printf "playing: queued %s, pulled %s ms", stats(q, "playing", nq["playing"]), stats(m, "playing", nm["playing"])
    }' "$1"
}

# The probe in the background, so that a signal is handled at once (bash
# waits for a foreground child before it runs a trap). Its status is returned.
run_probe() {
  "$probe" "$@" >"$work/probe.txt" 2>"$work/probe.err" &
  local pid=$!
  pids+=($pid)
  local code=0 polls=0
  realtime=""
  while kill -0 "$pid" 2>/dev/null; do
    sleep 0.2
    # the latest while everything runs, the probe's recorder too
    (( ++polls % 25 == 15 )) && realtime=$(sched_report)
  done
  wait "$pid" || code=$?
  local kept=()
  for p in "${pids[@]}"; do [[ $p == "$pid" ]] || kept+=("$p"); done
  pids=("${kept[@]}")
  return $code
}

# The scheduling of every thread of the program and the servers that runs
# other than as an ordinary time-shared one, e.g. "pipewire/data-loop.0 FF 20".
sched_report() {
  local p out=""
  for p in "${pids[@]}"; do
    out+=$(ps -L -o comm=,cls=,rtprio=,ni= -p "$p" 2>/dev/null | awk -v pid="$p" '
      NR == 1 { name = $1 }
      { t = substr($0, 1, 16); gsub(/ +$/, "", t)
        n = split(substr($0, 17), f, " ")
        if (f[1] != "TS") printf "%s/%s %s %s; ", name, t, f[1], f[2] }' || true)
  done
  echo "${out:-none}"
}

status=0
# Slot 1's middle on the Home page at zoom 1.
slot_x=240
slot_y=132
# All five: top, right, bottom, left, centre.
load_slots="240,132 400,292 240,452 80,292 240,292"
echo "load: $(uptime)"
for server in $servers; do
  base=("${pids[@]}")
  start_server "$server" || { status=1; stop; continue; }
  drivers=$(drivers_for "$server" | paste -sd " ")
  [[ $smoke -eq 1 ]] && drivers=${drivers%% *}
  for driver in $drivers; do
    for period in $periods; do
      label="$server_label, SDL $driver, period $period"
      trace="$work/trace-$server-$driver-$period.txt"
      run_program "$driver" "$period" "$trace"
      if [[ $load -eq 1 ]]; then
        if [[ -n $beside ]]; then
          setsid bash -c "$beside" >"$work/beside.log" 2>&1 &
          beside_pid=$!
        fi
        run_probe --recorder "$server" --load "$seconds" --slots "$load_slots" || status=1
        stop_program
        if [[ -n $beside_pid ]]; then
          kill -- "-$beside_pid" 2>/dev/null || true
          wait "$beside_pid" 2>/dev/null || true
          beside_pid=""
        fi
        echo "| $label | $(sed -n 's/^load //p' "$work/probe.txt") $(cat "$work/probe.err") |"
        echo "  real-time threads: ${realtime:-not seen (a short run)}"
        continue
      fi
      if run_probe --recorder "$server" --x $slot_x --y $slot_y --pairs "$pairs"; then
        result=ok
      else
        result=FAILED
        status=1
      fi
      stop_program
      quiet=$(sed -n 's/^summary quiet n=\([0-9]*\) min=\(.*\) median=\(.*\) max=\(.*\)$/\2 \/ \3 \/ \4 ms (n=\1)/p' "$work/probe.txt")
      playing=$(sed -n 's/^summary playing n=\([0-9]*\) min=\(.*\) median=\(.*\) max=\(.*\)$/\2 \/ \3 \/ \4 ms (n=\1)/p' "$work/probe.txt")
      calibration=$(sed -n 's/^calibration //p' "$work/probe.txt")
      early=$(sed -n 's/^summary early=//p' "$work/probe.txt")
      [[ -n $early ]] && calibration="$calibration; $early left out, timed before their press"
      echo "| $label | ${quiet:--} | ${playing:--} | $result; $calibration |"
      [[ $traces_latency -eq 1 ]] && echo "  program: $(program_share "$trace")"
      echo "  real-time threads: ${realtime:-not seen (a short run)}"
      if [[ $result != ok ]]; then
        sed 's/^/  probe: /' "$work/probe.err" "$work/probe.txt" | grep -v '^  probe: press ' || true
        sed 's/^/  program: /' "$work/program.log" | tail -n 5
      fi
    done
  done
  # this server's processes only; Xvfb stays
  kept=()
  for p in "${pids[@]}"; do
    keep_it=0
    for b in "${base[@]}"; do [[ $p == "$b" ]] && keep_it=1; done
    [[ $keep_it -eq 1 ]] || kept+=("$p")
  done
  pids=("${kept[@]}")
  stop
  pids=("${base[@]}")
done
exit $status
