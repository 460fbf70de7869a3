#!/usr/bin/env bash
# Checks the built LV2 bundle in a real host: Ardour 7 from Debian's packages (package ardour),
# headless through ardour7-lua on Ardour's dummy audio backend, in a session of its own in a
# temporary folder, the bundle found through LV2_PATH (the build tree's lv2/ folder alone).
# Prints one result per check:
#   1. Ardour lists "Kestrunelle Phaser" as LV2 (urn:kestrunelle:phaser, by Kestrunelle Dadid)
#   2. the rendered session has the samples of ksphaser-host with the VST 2.4 plug-in
#   3. the parameters as Ardour lists them: names, port symbols, ranges, defaults, lists, units
#   4. the presets as Ardour's preset list has them, and loading each of them
#   5. settings and a preset saved with the session come back in a fresh ardour7-lua, and so does
#      the render; the plug-in's own state (LV2 state extension) as Ardour saved it
#   6. what Ardour printed about the plug-in: warnings, errors, crashes
# Shares scripts/ardour/ with ardour-vst3-check.sh: the steps both run (common.sh) and the Lua and
# Python helpers. ardour7-lua cannot import audio without Ardour's editor: scripts/ardour/import.py
# writes the import of the test file into the saved session. Needs python3. Not part of
# scripts/test.sh: CI does not install Ardour. Exits 0 when checks 1 to 5 pass, 1 when one fails,
# 2 when it cannot run.
#
# usage: scripts/ardour-lv2-check.sh [--valgrind] [--keep] [BUILD_DIR]
#   BUILD_DIR   default build/linux; needs ksphaser_lv2, ksphaser_plugin and ksphaser-host built
#   --valgrind  also run the saved session in ardour7-lua under valgrind (state restored, a preset,
#               Sync to Host, an export, the state saved) and list bad memory accesses in the
#               plug-in (a minute or two)
#   --keep      keep the temporary folder (sessions, renders, logs)
set -u

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/ardour/common.sh
. "$root/scripts/ardour/common.sh"
options "$@"
bundle=$build/lv2/KSPhaser.lv2
need_ardour
need_built ksphaser_lv2 "$bundle/KSPhaser.so" "$bundle/manifest.ttl" "$bundle/presets.ttl"
# lilv finds LV2 bundles in the folders of LV2_PATH only, so no other copy of the plug-in (~/.lv2,
# /usr/lib/lv2) takes part.
setup ksphaser-ardour-lv2 LV2_PATH

# ---------------------------------------------------------------------------------------------
echo
echo "== 1. Plug-in list"
# LV2 needs no scan of its own: Ardour reads the bundles' Turtle files through lilv at start.
lua scan.log scan.lua
sed 's/^/  /' "$work/scan.log" | grep -E "found:|module:|plug-ins named"
expected1='found: "Kestrunelle Phaser" by "Kestrunelle Dadid", type LV2, category "[^"]*", 2 in / 2 out, id urn:kestrunelle:phaser$'
if grep -qE "$expected1" "$work/scan.log" && grep -q "plug-ins named Kestrunelle Phaser: 1" "$work/scan.log"; then
    result1="PASS: listed once as LV2 \"Kestrunelle Phaser\" by \"Kestrunelle Dadid\", urn:kestrunelle:phaser, 2 in / 2 out"
else
    result1="FAIL: not in Ardour's plug-in list as expected"
fi
# The plug-in class (lv2:PhaserPlugin) has its label in LV2's own vocabulary (Debian's lv2-dev
# puts it in /usr/lib/lv2), which LV2_PATH above leaves out: list once more with it.
if [ -d /usr/lib/lv2/core.lv2 ]; then
    LV2_PATH=$build/lv2:/usr/lib/lv2 lua scan-vocabulary.log scan.lua
    category=$(sed -n 's/^found: "Kestrunelle Phaser".*type LV2, category "\([^"]*\)".*/\1/p' "$work/scan-vocabulary.log")
    echo "  with LV2's vocabulary too (LV2_PATH=$build/lv2:/usr/lib/lv2): category \"$category\""
    result1="$result1; category \"$(sed -n 's/.*type LV2, category "\([^"]*\)".*/\1/p' "$work/scan.log")\", with LV2's vocabulary \"$category\""
fi
echo "check 1: $result1"

# ---------------------------------------------------------------------------------------------
echo
echo "== 2. Render against the VST 2.4 plug-in"
new_session LV2
render_program0 --within 100
# Every other parameter away from program 0, in the ports' units (Hz, %, 0 to 1, list index),
# the LFO again out of the sweep. The VST 2.4 plug-in takes Mix and Stereo normalised (0 to 1,
# as the ports) and the rest as the values it shows.
lua render-settings.log render.lua "$session" check Stages=1 Manual=2000 Spread=40 Feedback=-30 \
    LFODepth=0 Mix=0.7 Stereo=0.25 Waveform=0 "$out/settings.wav"
sed 's/^/  /' "$work/render-settings.log" | grep "^  set" | paste -sd ' ' | sed 's/  set / /g; s/^/  Ardour:/'
vst2 "$out/vst2-settings.wav" --program 0 --set Stages=8 --set Manual=2000Hz --set Spread=40 \
    --set Feedback=-30 --set LFODepth=0 --set-normalized Mix=0.7 --set-normalized Stereo=0.25 \
    --set Waveform=Sine
compare --within 100 "  8 stages, 2000 Hz, Spread 40 %, Feedback -30 %, Mix 0.7, Stereo 0.25, sine, LFODepth 0" \
    "$out/settings.wav" "$out/vst2-settings.wav"
settings=$?
# Sync to Host: the LFO steps every 44 frames (at 44.1 kHz) counted from the plug-in's activation,
# so the steps fall elsewhere in the export's first block unless Ardour ran a multiple of 11 blocks
# of 1024 before it; and Ardour 7 gives the position (time:barBeat) in whole ticks of 1/1920 beat,
# which the LFO follows where they run ahead of it. ksphaser-host plays from the first frame, at
# exact positions. Bypass: the plug-in has no bypass port of its own.
render_sync_bypass
if [ $depth0 -eq 0 ] && [ $settings -eq 0 ] && [ $bypass -eq 0 ]; then
    result2="PASS: with the LFO out of the sweep the renders are within -100 dB of the VST 2.4 plug-in's (numbers above), bypassed the same samples as the dry file"
else
    result2="FAIL: a render differs where nothing depends on the LFO (see above)"
fi
result2="$result2; with the LFO sweeping, renders depend on what the plug-in processed before (see above)"
echo "check 2: $result2"

# ---------------------------------------------------------------------------------------------
echo
echo "== 3. Parameters"
lua show.log show.lua "$session" check
grep -E "^parameters|^  param|^    (entries|format):" "$work/show.log"
# Label, range, default and kind as show.lua prints them, with each list's entries.
have=$(awk '
    /^  param/ {
        if (line != "") print line
        sub(/^  param *[0-9]+  /, "")
        label = $0; sub(/ *range .*/, "", label)
        split($0, rest, / *range /); split(rest[2], f, / +/)
        line = label "|" f[1] "|" f[3] "|" f[5] "|" f[6]
    }
    /^    entries:/ { sub(/^    entries: /, ""); line = line "|" $0 }
    END { if (line != "") print line }' "$work/show.log")
want='Stages|0|1|0|list|0 "4", 1 "8"
Manual|0|16000|1000|continuous
Spread|0|100|0|continuous
Feedback|-100|100|0|continuous
LFOSpeed|0|1|0.077|continuous
LFODepth|0|100|50|continuous
Mix|0|1|0.5|continuous
Sync to Host|0|1|0|toggle|0 "OFF", 1 "ON"
Stereo|0|1|0.5|continuous
Waveform|0|1|1|list|0 "Sine", 1 "Triangle"'
# The port symbols, from the session file Ardour saved.
symbols=$(python3 "$lua_dir/lv2.py" symbols "$session/check.ardour" | awk '{print $1}' | paste -sd ' ')
echo "  port symbols in the saved session: $symbols"
# Units: Ardour takes a port's display format from its unit's definition in LV2's vocabulary,
# so they show only with it on LV2_PATH (see check 1).
if [ -d /usr/lib/lv2/units.lv2 ]; then
    LV2_PATH=$build/lv2:/usr/lib/lv2 lua show-vocabulary.log show.lua "$session" check
    formats=$(awk '/^  param/ { sub(/^  param *[0-9]+  /, ""); label = $0; sub(/ *range .*/, "", label) }
        /^    format:/ { sub(/^    format: /, ""); printf "%s%s \"%s\"", sep, label, $0; sep = ", " }' \
        "$work/show-vocabulary.log")
    echo "  display formats with LV2's vocabulary on LV2_PATH: ${formats:-none}"
fi
if [ "$have" = "$want" ] &&
    [ "$symbols" = "stages manual spread feedback lfo_speed lfo_depth mix sync stereo waveform" ]; then
    result3="PASS: the ten parameters by name and symbol, with their ranges, defaults and lists"
else
    result3="FAIL: Ardour lists them otherwise; expected:"$'\n'"$want"
fi
echo "check 3: $result3"

# ---------------------------------------------------------------------------------------------
echo
echo "== 4. Presets"
grep -E "^programs|^  program|^presets|^last preset" "$work/show.log"
listed=$(sed -n 's/^  program [0-9]*  \(.*[^ ]\) *urn:kestrunelle:phaser#program-[0-9]*$/\1/p' "$work/show.log" | sort | paste -sd '|')
# The VST 2.4 plug-in's programs, with their values, from ksphaser-host.
names=()
for n in 0 1 2 3 4 5 6 7 8 9; do
    "$host" info "$vst2" --program $n >"$work/program-$n.txt" 2>&1
    names+=("$(sed -n 's/^Program [0-9]*: //p' "$work/program-$n.txt")")
done
expected4=$(printf '%s\n' "${names[@]}" | sort | paste -sd '|')
echo "  the VST 2.4 plug-in's programs: $(printf '%s, ' "${names[@]}" | sed 's/, $//')"
# Every preset through Ardour's preset list, in one process with a time limit: programs 1 to 9
# then 0, so that each load changes values.
LUA_TIMEOUT=60 lua preset.log preset.lua "$session" check "${names[@]:1}" "${names[0]}"
rc=$?
python3 "$lua_dir/lv2.py" presets "$bundle/presets.ttl" "$work/preset.log" "$work"
values=$?
if [ $rc -eq 124 ] || [ $rc -eq 137 ]; then
    loading="loading the presets never returned (ardour7-lua stopped after 60 s)"
elif [ $rc -ne 0 ]; then
    loading="loading the presets failed (exit $rc)"
elif [ $values -ne 0 ]; then
    loading="after loading, the ports do not all hold the preset's values (see above)"
else
    loading="each load sets the ten ports to the values of presets.ttl and of the VST 2.4 program"
fi
# A user preset: Ardour saves it as a bundle of its own in ~/.lv2 (the ports' values and the
# plug-in's state); a fresh ardour7-lua finds it once ~/.lv2 is on LV2_PATH (lilv's default
# path has it; the LV2_PATH above leaves it out).
lua user-save.log user-preset.lua "$session" check save "KSPhaser check" Stages=1 Manual=2345.5 \
    Feedback=42 LFOSpeed=0.3 Waveform=0
sed 's/^/  /' "$work/user-save.log" | grep "^  saved"
preset_file=$(sed -n 's|^saved .* (file://\(.*\.ttl\), user true)$|\1|p' "$work/user-save.log")
if [ -n "$preset_file" ] && [ -f "$preset_file" ]; then
    python3 "$lua_dir/lv2.py" preset-file "$preset_file" | sed 's/^/    /'
    user_file=${PIPESTATUS[0]}
else
    echo "    Ardour wrote no preset file"
    user_file=1
fi
LV2_PATH=$build/lv2:$HOME/.lv2 lua user-load.log user-preset.lua "$session" check load "KSPhaser check"
sed 's/^/  /' "$work/user-load.log" | grep "^  loading"
saved_values=$(grep -E '^  [A-Z]' "$work/user-save.log" | awk '{print $1 "=" $NF}' | paste -sd ' ')
loaded_values=$(grep -E '^  [A-Z]' "$work/user-load.log" | awk '{print $1 "=" $NF}' | paste -sd ' ')
echo "    values when saved:              $saved_values"
echo "    values after loading, fresh process: $loaded_values"
if [ -n "$saved_values" ] && [ "$saved_values" = "$loaded_values" ] && [ $user_file -eq 0 ]; then
    user_ok=1
    user="a user preset saved through Ardour (ports and the plug-in's state) loads back in a fresh process with the same values"
else
    user_ok=0
    user="a user preset saved through Ardour does not come back as saved (see above)"
fi
if [ "$listed" = "$expected4" ] && [ $rc -eq 0 ] && [ $values -eq 0 ] && [ $user_ok -eq 1 ]; then
    result4="PASS: the ten presets by name; $loading; $user"
else
    result4="FAIL: Ardour lists $(echo "$listed" | tr '|' '\n' | grep -c .) of the ten presets; $loading; $user"
fi
echo "check 4: $result4"

# ---------------------------------------------------------------------------------------------
echo
echo "== 5. Saved and reopened"
# A preset, then four parameters away from it (LFODepth 0: a render that does not depend on the
# LFO's phase), saved with the session.
saved=$work/saved/check
mkdir -p "$work/saved"
cp -r "$session" "$saved"
lua save.log render.lua "$saved" check preset:8-Stager Manual=1234.5 Feedback=-30 Spread=25 \
    LFODepth=0 save "$out/before.wav"
sed 's/^/  /' "$work/save.log" | grep -E "^  (preset|set|saved)"
echo "  Ardour's session file after saving:"
python3 "$lua_dir/lv2.py" symbols "$saved/check.ardour" | paste -sd ' ' | sed 's/^/    ports: /'
grep -o '<lv2 [^>]*>' "$saved/check.ardour" | sed 's/^/    /'
echo "  the plug-in's state (LV2 state extension) that Ardour saved:"
python3 "$lua_dir/lv2.py" state "$saved" "$saved/check.ardour" | sed 's/^/    /'
state=${PIPESTATUS[0]}
lua reopen-show.log show.lua "$saved" check
lua reopen.log render.lua "$saved" check "$out/after.wav"
# ksphaser-host takes Manual as the whole Hz that the plug-in shows: 1234.5 Hz goes normalised.
vst2 "$out/vst2-saved.wav" --program 8-Stager --set-normalized "Manual=$(python3 -c 'print((1234.5 / 16000) ** 0.5)')" \
    --set Feedback=-30 --set Spread=25 --set LFODepth=0
compare "  render after reopening against before closing" "$out/after.wav" "$out/before.wav"
same=$?
compare --within 100 "  render before closing against the VST 2.4 plug-in" "$out/before.wav" "$out/vst2-saved.wav"
values=$(grep -E "^  param" "$work/reopen-show.log" | awk '{print $3 "=" $NF}' | paste -sd ' ')
echo "  values after reopening: $values"
echo "  after reopening, $(grep '^last preset' "$work/reopen-show.log")"
# Expected: 8-Stager's values from presets.ttl, with the four set above.
expected5=$(python3 "$lua_dir/lv2.py" expected "$bundle/presets.ttl" 8-Stager manual=1234.5 feedback=-30 \
    spread=25 lfo_depth=0)
echo "  expected (8-Stager with the four changes): $expected5"
if [ "$values" = "$expected5" ] && [ $same -eq 0 ] && [ "$state" -eq 0 ]; then
    result5="PASS: the ten values came back and the render is the same; the plug-in's saved state agrees with the ports"
else
    result5="FAIL: values, render or saved state differ (see above)"
fi
echo "check 5: $result5"

# ---------------------------------------------------------------------------------------------
if [ $valgrind -eq 1 ]; then
    echo
    echo "== valgrind"
    if command -v valgrind >/dev/null; then
        # On a copy of the saved session: Ardour restores the plug-in's state, loads a preset,
        # sets Sync to Host (the transport's atom events), exports and saves the state again.
        cp -r "$saved" "$work/valgrind-session"
        under_valgrind valgrind-render.log render.lua "$work/valgrind-session" check preset:Aliens \
            "Sync to Host=1" save "$out/valgrind.wav"
        echo "  luasession exit $?: $(grep -E '^(preset|set|exported|saved|done)' "$work/valgrind-render.log" | paste -sd ';' | sed 's/;/; /g')"
        valgrind_report
    else
        echo "  valgrind is not installed"
    fi
fi

# ---------------------------------------------------------------------------------------------
echo
echo "== 6. What Ardour printed"
# Ardour's own messages (and the C library's) from all ardour7-lua runs, with how often each came.
# Messages of lilv (which reads the bundle) start with "lilv_...(): error:", "error:" (Turtle)
# or "warning:"; the scripts' own lines start otherwise.
messages='^\[(ERROR|WARNING|FATAL|INFO)\]|^Error:|^(lilv|LV2|error|warning)'
grep -iE "$messages|glibc|corrupt|double free|free\(\)|malloc" "$work/all.log" | sort | uniq -c | sed 's/^/  /'
list_crashes
about=$(grep -iE "$messages" "$work/all.log" | grep -ciE 'kestrunelle|ksphaser|phaser|lv2')
result6="$about of Ardour's messages name the plug-in or LV2; ardour7-lua was ended by a signal $crashes times"
echo "check 6: $result6"
summary
