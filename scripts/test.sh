#!/usr/bin/env bash
# Builds everything and runs every test: native, under Wine (the 64-bit DLL), the export and
# import checks of both DLLs, AddressSanitizer/UBSan with a short fuzzing run, ThreadSanitizer.
# The Linux editor's window tests are part of the native run: CTest starts each of their
# programs on a private Xvfb (xvfb-run -a) and drives it with XTest.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
scripts/build.sh
ctest --preset linux --parallel "$jobs"
ctest --preset win64 --parallel "$jobs"
for preset in sanitize tsan; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --parallel "$jobs"
    ctest --preset "$preset" --parallel "$jobs"
done
echo "All tests passed."
