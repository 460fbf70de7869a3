#!/usr/bin/env bash
# Builds everything and runs every test: native, under Wine, and the checks on both DLLs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${JOBS:-$(nproc)}
scripts/build.sh
ctest --preset linux --parallel "$jobs"
ctest --preset win64 --parallel "$jobs"
