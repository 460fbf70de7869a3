#!/usr/bin/env bash
# Writes the built-in example material and renders it through every factory program of the
# Linux plug-in: out/example-dry.wav and one file per program, e.g. out/03-8-Stager.wav.
set -euo pipefail
cd "$(dirname "$0")/.."
host=dist/linux-x86_64/ksphaser-host
plugin=dist/linux-x86_64/KSPhaser64.so
for file in "$host" "$plugin"; do
    if [ ! -e "$file" ]; then
        echo "render-examples.sh: $file is missing; build it first (scripts/build.sh)" >&2
        exit 1
    fi
done

mkdir -p out
dry=out/example-dry.wav
"$host" example "$dry" >/dev/null
rendered=("$dry")

# The program list of `ksphaser-host info`: lines "  N   NAME" after "Programs (...)".
programs=$("$host" info "$plugin" | awk '/^Programs \(/ { listing = 1; next }
    listing && /^$/ { exit }
    listing { number = $1; sub(/^ *[0-9]+ +/, ""); print number "\t" $0 }')
if [ -z "$programs" ]; then
    echo "render-examples.sh: $plugin lists no programs" >&2
    exit 1
fi
while IFS=$'\t' read -r number name; do
    safe=$(printf '%s' "$name" | tr -c 'A-Za-z0-9._-' '-')
    output=$(printf 'out/%02d-%s.wav' "$number" "$safe")
    "$host" render "$plugin" "$dry" "$output" --program "$number" >/dev/null
    rendered+=("$output")
done <<<"$programs"

echo "Example material rendered through every program of $plugin:"
for file in "${rendered[@]}"; do
    echo "  $PWD/$file"
done
