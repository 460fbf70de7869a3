#!/usr/bin/env bash
# Builds the three targets (Linux x86_64, Windows x86_64, Windows x86) and fills dist/.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
for preset in linux win64 win32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --parallel "$jobs"
    cmake --install "build/$preset" --prefix dist >/dev/null
done
echo "Built: $(cd dist && find . -type f | sort | tr '\n' ' ')"
