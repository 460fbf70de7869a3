#!/usr/bin/env bash
# Draws what a factory program does to white noise: 10 s of stereo white noise (the same on every
# run) rendered through the plug-in by ksphaser-host, then a spectrogram of the left channel.
# Usage: scripts/spectrogram.sh [PROGRAM [OUT.png]]; needs a build (scripts/build.sh) and sox.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-8-Stager}
out=${2:-docs/spectrogram-8-stager.png}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -R -n -r 44100 -c 2 -b 32 -e floating-point "$work/noise.wav" synth 10 whitenoise vol 0.25
dist/linux-x86_64/ksphaser-host render dist/linux-x86_64/KSPhaser64.so "$work/noise.wav" "$work/wet.wav" \
    --program "$program" >/dev/null
mkdir -p "$(dirname "$out")"
sox -V1 "$work/wet.wav" -n remix 1 rate 22050 spectrogram -x 800 -y 300 -z 60 \
    -t "White noise through KSPhaser, program $program" -c "ksphaser-host render, sox spectrogram" -o "$out"
echo "Wrote $out"
