#!/bin/sh
# Makes the sound packs installed beside the executable (assets/Sounds/<pack>/):
# every WAV synthesised by sox or spoken by espeak-ng, every pack picture
# drawn as SVG in tools/art/packs/ and rendered by rsvg-convert.
#
# Each WAV is what the program's reader expects: the canonical 44-byte header
# (RIFF, a 16-byte fmt chunk, data), 16-bit PCM, mono, 44.1 kHz; shorter than
# two seconds, faded in and out so it starts and ends without a click, and
# normalised to a peak of -1 dBFS so the packs sound equally loud and nothing
# clips. Each pack has <pack>B.png (128 x 128, the Home grid's icon) and
# <pack>S.png (48 x 48, the Sounds page and the browser list); magenta is the
# program's transparent colour, so the tiles' corners are drawn without
# anti-aliasing.
#
# The results are committed, so a build never needs these tools; to regenerate:
#   tools/install-deps.sh --asset-tools   (sox, espeak-ng, librsvg2-bin)
#   tools/make-sounds.sh
# sox runs repeatable (-R: fixed seeds for its noise) and without dither (-D),
# so the same tools give the same bytes on every run.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/tools/art/packs"
out="$root/assets/Sounds"

for tool in sox espeak-ng rsvg-convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "make-sounds: $tool is missing (apt-get install sox espeak-ng librsvg2-bin)" >&2
    exit 1
  fi
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

SOX="sox -R -D -V1"
RAW="-r 44100 -c 1 -b 32 -e floating-point"  # working files: no rounding between steps
WAV="-r 44100 -c 1 -b 16 -e signed-integer"   # the shipped files

# tone FILE LENGTH SYNTH... [effects]: one synthesised layer into the work folder.
tone() {
  file=$1 length=$2
  shift 2
  $SOX -n $RAW "$work/$file" synth "$length" "$@"
}

# decay FILE LENGTH SYNTH...: a struck layer, dying away exponentially
# (sox's logarithmic fade drops 100 dB over its length).
decay() {
  file=$1 length=$2
  shift 2
  $SOX -n $RAW "$work/$file" synth "$length" "$@" fade l 0 "$length" "$length"
}

# mix OUT VOLUME FILE [VOLUME FILE ...]: layers summed with their volumes.
mix() {
  target=$1
  shift
  layers=""
  while [ $# -ge 2 ]; do
    layers="$layers -v $1 $work/$2"
    shift 2
  done
  $SOX -m $layers $RAW "$work/$target"
}

# finish FILE PACK NAME [effects]: shape, fade, normalise and write the pack's WAV.
finish() {
  file=$1 pack=$2 name=$3
  shift 3
  mkdir -p "$out/$pack"
  $SOX "$work/$file" $WAV "$out/$pack/$name.wav" "$@" fade q 0.003 0 0.02 gain -n -1
}

# say PACK NAME VOICE PITCH SPEED TEXT: a spoken word, trimmed of its silence.
say() {
  pack=$1 name=$2 voice=$3 pitch=$4 speed=$5 text=$6
  espeak-ng -v "$voice" -p "$pitch" -s "$speed" -w "$work/said.wav" "$text"
  $SOX "$work/said.wav" $RAW "$work/word.wav" \
    silence 1 0.002 0.2% reverse silence 1 0.002 0.2% reverse rate -v 44100
  finish word.wav "$pack" "$name"
}

rm -rf "$out"
mkdir -p "$out"

# ---- Drums ----
decay kick-body.wav 0.5 sine 150:42
decay kick-click.wav 0.02 whitenoise lowpass 3000
mix kick.wav 1 kick-body.wav 0.35 kick-click.wav
finish kick.wav Drums Kick

decay snare-body.wav 0.25 sine 190:160
decay snare-noise.wav 0.3 whitenoise highpass 1500
mix snare.wav 0.6 snare-body.wav 1 snare-noise.wav
finish snare.wav Drums Snare

decay hihat.wav 0.15 whitenoise highpass 7000
finish hihat.wav Drums HiHat

decay tom.wav 0.6 sine 210:105
finish tom.wav Drums Tom

decay clap-burst.wav 0.012 whitenoise
decay clap-tail.wav 0.25 whitenoise
$SOX "$work/clap-burst.wav" "$work/clap-burst.wav" "$work/clap-burst.wav" "$work/clap-tail.wav" \
  "$work/clap.wav" bandpass 1200 1.2q
finish clap.wav Drums Clap

# ---- Percussion ----
decay cowbell-low.wav 0.5 square 562
decay cowbell-high.wav 0.5 square 845
mix cowbell.wav 1 cowbell-low.wav 0.8 cowbell-high.wav
finish cowbell.wav Percussion Cowbell bandpass 800 1.4q

decay woodblock-tone.wav 0.12 sine 1050:900
decay woodblock-knock.wav 0.03 whitenoise bandpass 1000 2q
mix woodblock.wav 1 woodblock-tone.wav 0.4 woodblock-knock.wav
finish woodblock.wav Percussion Woodblock

tone shake.wav 0.16 whitenoise highpass 5000 fade h 0.06 0.16 0.1
$SOX "$work/shake.wav" "$work/shake.wav" "$work/shaker.wav"
finish shaker.wav Percussion Shaker

decay clave.wav 0.2 sine 2500
finish clave.wav Percussion Clave

decay bongo-skin.wav 0.35 sine 420:330
decay bongo-slap.wav 0.02 whitenoise bandpass 600 1q
mix bongo.wav 1 bongo-skin.wav 0.3 bongo-slap.wav
finish bongo.wav Percussion Bongo

# ---- Bells: partials of their own pitch, each dying away at its own rate ----
decay bell-1.wav 1.3 sine 660
decay bell-2.wav 0.9 sine 1822
decay bell-3.wav 0.6 sine 3564
decay bell-4.wav 0.4 sine 5894
mix bell.wav 1 bell-1.wav 0.5 bell-2.wav 0.25 bell-3.wav 0.12 bell-4.wav
finish bell.wav Bells Bell

decay chime-1.wav 1.0 sine 1320
decay chime-2.wav 0.6 sine 2640
decay chime-3.wav 0.4 sine 3973
mix chime.wav 1 chime-1.wav 0.3 chime-2.wav 0.2 chime-3.wav
finish chime.wav Bells Chime

decay gong-1.wav 1.7 sine 140
decay gong-2.wav 1.4 sine 207
decay gong-3.wav 1.1 sine 298
decay gong-4.wav 0.8 sine 406
mix gong.wav 1 gong-1.wav 0.6 gong-2.wav 0.5 gong-3.wav 0.3 gong-4.wav
finish gong.wav Bells Gong

decay triangle-1.wav 1.2 sine 1900
decay triangle-2.wav 0.8 sine 5510
decay triangle-3.wav 0.5 sine 9405
mix triangle.wav 1 triangle-1.wav 0.3 triangle-2.wav 0.15 triangle-3.wav
finish triangle.wav Bells Triangle

decay glock-1.wav 0.9 sine 1568
decay glock-2.wav 0.3 sine 4312
mix glock.wav 1 glock-1.wav 0.4 glock-2.wav
finish glock.wav Bells Glock

# ---- Effects ----
tone blip.wav 0.18 square 880 fade l 0 0.18 0.18
finish blip.wav Effects Blip

tone zap.wav 0.4 square 2000:100 fade l 0 0.4 0.4
finish zap.wav Effects Zap

tone rise.wav 0.5 sine 200:1600 fade l 0 0.5 0.5
finish rise.wav Effects Rise

tone laser.wav 0.3 sine 1800:400 synth 0.3 sine amod 30 fade l 0 0.3 0.3
finish laser.wav Effects Laser

tone boing.wav 0.7 sine 330:160 fade l 0 0.7 0.7
$SOX "$work/boing.wav" $RAW "$work/boing-wobble.wav" tremolo 14 60
finish boing-wobble.wav Effects Boing

# ---- Voices ----
say Voices Yes en+m3 50 150 "yes"
say Voices Jump en+f3 70 160 "jump"
say Voices Wow en+m1 35 120 "wow"
say Voices Hey en+f2 60 170 "hey"
say Voices Go en+m3 45 150 "go"
say Voices Oops en+f4 65 140 "oops"

# ---- the packs' pictures ----
for pack in Bells Drums Effects Percussion Voices; do
  rsvg-convert --width 128 --height 128 "$art/$pack.svg" --output "$out/$pack/${pack}B.png"
  rsvg-convert --width 48 --height 48 "$art/$pack.svg" --output "$out/$pack/${pack}S.png"
done

ls -l "$out"/*
