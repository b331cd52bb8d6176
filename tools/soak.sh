#!/usr/bin/env bash
# The soak: the staged program headless on the virtual clock, driven by a
# random but reproducible script (a seed) of M minutes of device time over
# every page. Prints the real time it took, the resident memory from device
# minute 5 to the end, and the device's resource counts after a bare start
# and after the soak. See docs/soak.md.
#
#   tools/soak.sh [--seed N] [--minutes M] [--build DIR] [--no-build] [--keep]
#
# --build: the build folder (default build/release-soak, configured as a
# Release build and built here when the program or the generator is missing
# or out of date; --no-build takes it as it is). --keep: leave the work folder (script, hive, trace,
# samples) and print where it is. Exit status 0 when the program ended well,
# no sanitizer spoke, the resources match and the memory stayed flat.
set -euo pipefail

seed=1
minutes=60
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/release-soak"
keep=0
make=1
while [[ $# -gt 0 ]]; do
  case "$1" in
    --seed) seed=$2; shift 2 ;;
    --minutes) minutes=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --no-build) make=0; shift ;;
    -h|--help) sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "soak.sh: unknown argument $1 (see --help)" >&2; exit 2 ;;
  esac
done
if ! [[ "$seed" =~ ^[0-9]+$ && "$minutes" =~ ^[0-9]+$ && "$minutes" -ge 6 ]]; then
  echo "soak.sh: --seed takes a number, --minutes a number of 6 or more" >&2
  exit 2
fi

# ---- the program and the script generator, in Release ----
if [[ $make -eq 1 && ! -f "$build/CMakeCache.txt" ]]; then
  # clang: gcc 12 at -O3 reports false array-bounds errors in the drawing code
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DJOSTLEPAD_BENCH=OFF \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
fi
if [[ $make -eq 1 ]]; then nice -n 19 cmake --build "$build" --target jostlepad soak_script -j2 >/dev/null; fi
app="$build/Jostlepad"
program="$app/jostlepad"

work=$(mktemp -d "${TMPDIR:-/tmp}/jostlepad-soak.XXXXXX")
if [[ $keep -eq 0 ]]; then trap 'rm -rf "$work"' EXIT; fi
mkdir -p "$work/bare" "$work/soak"
"$build/soak_script" --seed "$seed" --minutes "$minutes" --script "$work/soak.txt" \
  --hive "$work/soak/registry.reg" --app-dir "$app"
cp "$work/soak/registry.reg" "$work/bare/registry.reg"
printf 'accel 0 0 -1000\nwait 8000\n' >"$work/bare.txt"

run() {  # device folder, script, trace
  nice -n 19 "$program" --headless --script "$2" --device "$1" --app-dir "$app" --trace "$3" --audio wav:/dev/null
}

# ---- after a bare start ----
run "$work/bare" "$work/bare.txt" "$work/bare-trace.txt" >"$work/bare-log.txt" 2>&1 ||
  { echo "soak.sh: the bare start failed:" >&2; cat "$work/bare-log.txt" >&2; exit 1; }

# ---- the soak, its memory sampled every real second ----
# A sample: real seconds, the device time of the trace's last line (the
# trace is flushed line by line), VmRSS in kB, and the CPU time used so far
# in clock ticks.
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
# CPU seconds (user + system) of this shell's finished children so far;
# `times` runs in this shell (a subshell's children would not count).
children_cpu() { awk 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/); print u[1] * 60 + u[2] + s[1] * 60 + s[2] }' "$1"; }
times >"$work/times-before.txt"
start=$(date +%s.%N)
# Not through run(): $! must be the program itself (nice execs it), not a subshell.
nice -n 19 "$program" --headless --script "$work/soak.txt" --device "$work/soak" --app-dir "$app" \
  --trace "$work/soak-trace.txt" --audio wav:/dev/null >"$work/soak-log.txt" 2>&1 &
pid=$!
: >"$work/samples.txt"
hung=0
still=0  # samples in a row with neither device time nor CPU time moving
last=""
while kill -0 "$pid" 2>/dev/null; do
  sleep 1
  rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  cpu=$(awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || true)
  ms=$(tail -n 1 "$work/soak-trace.txt" 2>/dev/null | cut -d' ' -f1 || true)
  if [[ -n "$rss" && -n "$cpu" && "$ms" =~ ^[0-9]+$ ]]; then
    echo "$(seconds "$start" "$(date +%s.%N)") $ms $rss $cpu" >>"$work/samples.txt"
    if [[ "$ms $cpu" == "$last" ]]; then still=$((still + 1)); else still=0; fi
    last="$ms $cpu"
  fi
  # A minute with nothing moving: the device is stuck (every thread waits).
  if [[ $still -ge 60 ]]; then
    hung=$ms
    kill "$pid"
    break
  fi
done
status=0
wait "$pid" || status=$?
end=$(date +%s.%N)
times >"$work/times-after.txt"

# ---- the figures ----
echo "soak: seed $seed, $minutes minutes of device time"
echo "real time: $(seconds "$start" "$end") s"
echo "CPU time (user + system): $(seconds "$(children_cpu "$work/times-before.txt")" "$(children_cpu "$work/times-after.txt")") s"

echo "exit status: $status"
if [[ $hung != 0 ]]; then
  echo "hung: device time stood at $hung ms for a minute with no CPU used; stopped"
  status=1
fi
rss_ok=0
awk -v from=$((5 * 60000)) -v to=$((minutes * 60000)) -v minutes="$minutes" '
  # At the end the program closes and frees: those samples are left out.
  $2 >= from && $2 < to {
    if (!seen) { first = $3; firstMs = $2; seen = 1 }
    last = $3; lastMs = $2
    if ($3 > max) max = $3
    if (min == "" || $3 < min) min = $3
    n++
  }
  END {
    if (!seen) { print "RSS: no samples between device minute 5 and " minutes; exit 1 }
    printf "RSS at device minute %.1f: %d kB\n", firstMs / 60000, first
    printf "RSS at device minute %.1f: %d kB\n", lastMs / 60000, last
    printf "RSS spread over %d samples from minute 5 to %d: %d kB (max %d, min %d)\n", n, minutes, max - min, max, min
    exit max - min > 1024
  }' "$work/samples.txt" || rss_ok=1
bare=$(grep -m1 ' resources ' "$work/bare-trace.txt" | cut -d' ' -f3- || true)
soak=$(grep -m1 ' resources ' "$work/soak-trace.txt" | cut -d' ' -f3- || true)
echo "resources after start-up: ${bare:-none}"
echo "resources after the soak: ${soak:-none}"
# The browser's preview player keeps one wave-out handle open (docs/soak.md).
expected=$(echo "$bare" | awk '{ for (i = 1; i <= NF; i++) if ($i ~ /^wave=/) $i = "wave=" substr($i, 6) + 1; print }')
if [[ -z "$soak" || "$soak" != "$expected" ]]; then
  echo "verdict: the resources differ from a bare start's (wave one more)"
  status=1
elif [[ $rss_ok -ne 0 ]]; then
  echo "verdict: resident memory moved more than 1 MB"
  status=1
else
  echo "verdict: resources as after start-up (wave one more), memory flat within 1 MB"
fi
if grep -q -i 'sanitizer\|runtime error' "$work/soak-log.txt"; then
  echo "sanitizer reports: yes (see the log)"
  status=1
fi
if [[ -s "$work/soak-log.txt" ]]; then
  echo "program's messages:"
  sed 's/^/  /' "$work/soak-log.txt" | head -20
fi
if [[ $keep -eq 1 ]]; then echo "work folder: $work"; fi
exit "$status"
