#!/usr/bin/env bash
# Checks the built VST 3 bundle in a real host: Ardour 7 from Debian's packages (package ardour),
# headless through ardour7-lua on Ardour's dummy audio backend, in a session of its own in a
# temporary folder. Prints one result per check:
#   1. Ardour's scan finds "Kestrunelle Phaser" (VST 3, by Kestrunelle Dadid)
#   2. the rendered session has the samples of ksphaser-host with the VST 2.4 plug-in
#   3. the parameters as Ardour lists them
#   4. the programs as Ardour's preset list has them, and loading one
#   5. settings saved with the session come back in a fresh ardour7-lua, and so does the render
#   6. what Ardour printed about the plug-in: warnings, errors, crashes
# Shares scripts/ardour/ with ardour-lv2-check.sh: the steps both run (common.sh) and the Lua and
# Python helpers. ardour7-lua cannot import audio without Ardour's editor: scripts/ardour/import.py
# writes the import of the test file into the saved session. Needs python3. Not part of
# scripts/test.sh: CI does not install Ardour. Exits 0 when checks 1 to 5 pass, 1 when one fails,
# 2 when it cannot run.
#
# usage: scripts/ardour-vst3-check.sh [--valgrind] [--keep] [BUILD_DIR]
#   BUILD_DIR   default build/linux; needs ksphaser_vst3, ksphaser_plugin and ksphaser-host built
#   --valgrind  also open the plug-in in ardour7-lua under valgrind and list bad memory accesses
#               in the plug-in (a few minutes)
#   --keep      keep the temporary folder (sessions, renders, logs)
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/ardour/common.sh
. "$root/scripts/ardour/common.sh"
options "$@"
bundle=$build/vst3/KSPhaser.vst3
scanner=/usr/lib/ardour7/ardour-vst3-scanner
need_ardour "$scanner"
need_built ksphaser_vst3 "$bundle/Contents/x86_64-linux/KSPhaser.so"
# Ardour's scan log goes to its home too; the plug-in is found through VST3_PATH.
setup ksphaser-ardour VST3_PATH

# ---------------------------------------------------------------------------------------------
echo
echo "== 1. Scan"
# ardour7-lua reads Ardour's plug-in cache but does not scan new plug-ins itself: before the
# scan it finds the bundle (its scan log marks it new) but lists no plug-in from it.
lua prescan.log scan.lua
echo "before the scan: $(grep "plug-ins named" "$work/prescan.log");" \
    "$(grep -o '<PluginScanLogEntry type="VST3"[^>]*>' "$HOME/.config/ardour7/plugin_metadata/scan_log")"
# So run the scanner that Ardour runs for each VST 3 bundle, which fills the cache.
LD_LIBRARY_PATH=/usr/lib/ardour7 "$scanner" -v "$bundle" >"$work/scanner.log" 2>&1
echo "scanner (exit $?):"
sed 's/^/  /' "$work/scanner.log"
lua scan.log scan.lua
sed 's/^/  /' "$work/scan.log" | grep -E "found:|module:|plug-ins named"
echo "Ardour's scan log:"
grep -o '<PluginScanLogEntry type="VST3"[^>]*>' "$HOME/.config/ardour7/plugin_metadata/scan_log" |
    sed 's/^/  /'
if grep -q 'found: "Kestrunelle Phaser" by "Kestrunelle Dadid", type VST3' "$work/scan.log"; then
    result1="PASS: listed as VST 3 \"Kestrunelle Phaser\" by \"Kestrunelle Dadid\""
else
    result1="FAIL: not in Ardour's plug-in list"
fi
echo "check 1: $result1"

# ---------------------------------------------------------------------------------------------
echo
echo "== 2. Render against the VST 2.4 plug-in"
new_session
render_program0
render_sync_bypass
if [ $depth0 -eq 0 ] && [ $bypass -eq 0 ]; then
    result2="PASS: with the LFO out of the sweep and when bypassed, Ardour's render has the same samples"
else
    result2="FAIL: the render differs where nothing depends on the LFO (see above)"
fi
result2="$result2; with the LFO sweeping, renders depend on what the plug-in processed before (see above)"
echo "check 2: $result2"

# ---------------------------------------------------------------------------------------------
echo
echo "== 3. Parameters"
lua show.log show.lua "$session" check
grep -E "^parameters|^  param" "$work/show.log"
names=$(sed -n 's/^  param *[0-9]*  \(.*[^ ]\) *range.*/\1/p' "$work/show.log" | sed 's/ *$//' | paste -sd '|')
expected="Stages|Manual|Spread|Feedback|LFOSpeed|LFODepth|Mix|Sync to Host|Stereo|Waveform|Bypass"
if [ "$names" = "$expected" ]; then
    result3="PASS: the ten parameters and Bypass; Program is not among them (Ardour keeps it for its preset list)"
else
    result3="FAIL: Ardour lists $names"
fi
echo "check 3: $result3"

# ---------------------------------------------------------------------------------------------
echo
echo "== 4. Programs"
grep -E "^programs|^  program|^presets|^last preset" "$work/show.log"
programs=$(grep -c "^  program" "$work/show.log")
# Loading a program through Ardour's preset list, in a process of its own with a time limit.
LUA_TIMEOUT=30 lua preset.log preset.lua "$session" check Orbitesque
rc=$?
sed 's/^/  /' "$work/preset.log" | grep -vE "MIDI buffer|Reasonable Synth|Butler drops"
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
    loading="loading \"Orbitesque\" never returned (ardour7-lua stopped after 30 s)"
elif [ $rc -eq 0 ]; then
    loading="loading \"Orbitesque\" works"
else
    loading="loading \"Orbitesque\" failed (exit $rc)"
fi
if [ "$programs" -eq 10 ] && [ $rc -eq 0 ]; then
    result4="PASS: the ten programs by name; $loading"
elif [ "$programs" -eq 10 ]; then
    result4="FAIL: the ten programs by name, but $loading"
else
    result4="FAIL: $programs programs; $loading"
fi
echo "check 4: $result4"

# ---------------------------------------------------------------------------------------------
echo
echo "== 5. Saved and reopened"
# Ardour's values: Stages 1 (8 stages), Manual 0.25, Feedback 0.5, LFODepth 0 (a render that
# does not depend on the LFO's phase). The VST 2.4 plug-in takes the same settings normalised:
# Manual's plain value is its normalised value squared, Feedback's runs from -1 to 1.
saved=$work/saved/check
mkdir -p "$work/saved"
cp -r "$session" "$saved"
lua save.log render.lua "$saved" check Stages=1 Manual=0.25 Feedback=0.5 LFODepth=0 save "$out/before.wav"
sed 's/^/  /' "$work/save.log" | grep -E "^  (set|saved)"
lua reopen-show.log show.lua "$saved" check
grep -E "^  param" "$work/reopen-show.log"
lua reopen.log render.lua "$saved" check "$out/after.wav"
vst2 "$out/vst2-saved.wav" --program 0 --set-normalized Stages=1 --set-normalized Manual=0.5 \
    --set-normalized Feedback=0.75 --set LFODepth=0
compare "  render after reopening against before closing" "$out/after.wav" "$out/before.wav"
same=$?
compare "  render before closing against the VST 2.4 plug-in" "$out/before.wav" "$out/vst2-saved.wav"
values=$(grep -E "^  param" "$work/reopen-show.log" | awk '{print $3 "=" $NF}' | paste -sd ' ')
echo "  values after reopening: $values"
ok=1
for v in Stages=1 Manual=0.25 Feedback=0.5 LFODepth=0; do
    case " $values " in *" $v "*) ;; *) ok=0 ;; esac
done
if [ $ok -eq 1 ] && [ $same -eq 0 ]; then
    result5="PASS: the four values came back and the render is the same"
else
    result5="FAIL: values or render changed (see above)"
fi
echo "check 5: $result5"

# ---------------------------------------------------------------------------------------------
if [ $valgrind -eq 1 ]; then
    echo
    echo "== valgrind"
    if command -v valgrind >/dev/null; then
        under_valgrind valgrind-show.log show.lua "$session" check
        valgrind_report
        grep -A3 -E "Invalid|uninitialised" "$work/valgrind.log" | grep -m 4 -E "at 0x|by 0x" |
            sed 's/^==[0-9]*== /  /'
    else
        echo "  valgrind is not installed"
    fi
fi

# ---------------------------------------------------------------------------------------------
echo
echo "== 6. What Ardour printed"
# Ardour's own messages (and the C library's) from all ardour7-lua runs, with how often each came.
grep -E '^\[(ERROR|WARNING|FATAL|INFO)\]|^Error:|glibc|corrupt|double free|free\(\)|malloc' "$work/all.log" |
    sort | uniq -c | sed 's/^/  /'
list_crashes
about=$(grep -E '^\[(ERROR|WARNING|FATAL|INFO)\]' "$work/all.log" | grep -ciE 'kestrunelle|ksphaser|vst3|5653546B')
result6="$about of Ardour's messages name the plug-in; ardour7-lua was ended by a signal $crashes times"
echo "check 6: $result6"
summary
