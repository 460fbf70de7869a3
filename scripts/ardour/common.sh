# Shared by ardour-vst3-check.sh and ardour-lv2-check.sh, sourced once they have set root: their
# options, the checks that Ardour and the build are there, the temporary folder with a home of
# Ardour's own, running the ardour7-lua scripts, the renders of check 2 and the summary. The
# variables it reads and sets are the scripts' (so shellcheck is told not to look for them here).
# shellcheck shell=bash disable=SC2034,SC2154

lua_dir=$root/scripts/ardour

# options ARGS...: [--valgrind] [--keep] [BUILD_DIR] into valgrind, keep and build; vst2 and host
# are the VST 2.4 plug-in and ksphaser-host of that build.
options() {
    valgrind=0
    keep=0
    build=$root/build/linux
    local a
    for a in "$@"; do
        case $a in
            --valgrind) valgrind=1 ;;
            --keep) keep=1 ;;
            *) build=$(cd "$a" && pwd) ;;
        esac
    done
    vst2=$build/formats/vst2/KSPhaser64.so
    host=$build/tools/host/ksphaser-host
}

# need_ardour [PROGRAM...]: exits 2 unless ardour7-lua and each PROGRAM are installed.
need_ardour() {
    local p
    for p in ardour7-lua "$@"; do
        if ! command -v "$p" >/dev/null; then
            echo "Ardour 7 is not installed (Debian: apt-get install ardour); nothing checked."
            exit 2
        fi
    done
}

# need_built TARGET FILE...: exits 2 unless each FILE, the VST 2.4 plug-in and ksphaser-host are
# there; TARGET is the build target of the FILEs.
need_built() {
    local target=$1 f
    shift
    for f in "$@" "$vst2" "$host"; do
        if [ ! -e "$f" ]; then
            echo "$f is missing: build $target, ksphaser_plugin and ksphaser-host first."
            exit 2
        fi
    done
}

# setup NAME PATH_VAR: the temporary folder $work (NAME.XXXXXX, removed at exit without --keep)
# with the renders' folder $out; Ardour's settings, plug-in cache and export presets go to a home
# in it; PATH_VAR (the variable through which Ardour finds the format's plug-ins) names the
# folder of $bundle alone. Prints the versions and folders.
setup() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
    if [ "$keep" -eq 0 ]; then trap 'rm -rf "$work"' EXIT; fi
    out=$work/out
    mkdir -p "$out"
    export HOME=$work/home
    unset XDG_CONFIG_HOME XDG_CACHE_HOME XDG_DATA_HOME
    export "$2=$(dirname "$bundle")"
    mkdir -p "$HOME/.config/ardour7/export"
    cp "$lua_dir/float-wav.format" "$lua_dir/float-wav.preset" "$HOME/.config/ardour7/export/"

    echo "Ardour: $(ardour7-lua --version 2>&1 | head -n 1) (package ardour $(dpkg-query -W -f '${Version}' ardour 2>/dev/null))"
    echo "Bundle: $bundle"
    echo "Work:   $work"
}

# lua LOG SCRIPT ARGS...: runs an ardour7-lua script (output in $work/LOG, also added to
# all.log). Ardour 7.3's export sometimes ends the process with a corrupted heap, also with no
# plug-in in the session. Each script prints "done" before it closes the session: a run ended by
# a signal after that counts, one ended before is tried again (three tries at most). Every such
# end is listed in crashes.log. FRESH=DIR removes DIR before each try.
lua() {
    local log=$1 script=$2 rc try
    shift 2
    for try in 1 2 3; do
        if [ -n "${FRESH:-}" ]; then rm -rf "$FRESH"; fi
        # In a subshell whose errors are dropped: bash's own note of a crash would land here.
        (
            timeout -k 5 "${LUA_TIMEOUT:-300}" ardour7-lua "$lua_dir/$script" "$@" >"$work/$log" 2>&1
            exit $?
        ) 2>/dev/null
        rc=$?
        { echo "== $log (try $try, exit $rc)"; cat "$work/$log"; } >>"$work/all.log"
        if [ $rc -le 128 ] || [ $rc -eq 124 ] || [ $rc -eq 137 ]; then break; fi
        if grep -qx "done" "$work/$log"; then
            echo "$log: ardour7-lua was ended by signal $((rc - 128)) while closing (try $try)" >>"$work/crashes.log"
            rc=0
            break
        fi
        echo "$log: ardour7-lua was ended by signal $((rc - 128)) (try $try)" >>"$work/crashes.log"
    done
    return $rc
}

# compare [--within DB] LABEL A.wav B.wav: one line, exit 0 when the samples are the same (or,
# with --within, differ by no more than DB below the peak).
compare() {
    python3 "$lua_dir/compare.py" "$@"
}

# vst2 OUT.wav ARGS...: the reference render of the dry file with the VST 2.4 plug-in.
vst2() {
    local wav=$1
    shift
    "$host" render "$vst2" "$work/dry.wav" "$wav" "$@" >>"$work/host.log" 2>&1
}

# new_session [TYPE]: the session $session with KSPhaser (VST 3, or TYPE) on a track that plays
# the dry test file $work/dry.wav.
new_session() {
    session=$work/session/check
    "$host" example "$work/dry.wav" --seconds 4 >>"$work/host.log" 2>&1
    FRESH=$session lua create.log create.lua "$session" check "$@"
    sed 's/^/  /' "$work/create.log" | grep "create:"
    python3 "$lua_dir/import.py" "$session" check Phased "$work/dry.wav" | sed 's/^/  /'
}

# render_program0 [--within DB]: the session's renders of program 0 against the VST 2.4 plug-in's.
# depth0 is 0 when the one with the LFO out of the sweep matches (within DB below the peak).
render_program0() {
    # The plug-in as it starts (program 0's values), its LFO free-running: exported twice in one
    # process. Ardour runs the plug-in while the session sits idle, so the LFO's phase at the
    # export's start depends on how long that was; the two exports show whether Ardour's renders
    # repeat.
    lua render-default.log render.lua "$session" check "$out/default.wav" "$out/default-again.wav"
    vst2 "$out/vst2-default.wav" --program 0
    compare "  program 0" "$out/default.wav" "$out/vst2-default.wav"
    compare "  program 0, Ardour's second export against its first" \
        "$out/default-again.wav" "$out/default.wav"
    # The LFO out of the sweep (LFODepth 0): nothing depends on the LFO.
    lua render-depth0.log render.lua "$session" check LFODepth=0 "$out/depth0.wav"
    vst2 "$out/vst2-depth0.wav" --program 0 --set LFODepth=0
    compare "$@" "  program 0, LFODepth 0" "$out/depth0.wav" "$out/vst2-depth0.wav"
    depth0=$?
}

# render_sync_bypass: the session's renders with the LFO locked to the host, against the VST 2.4
# plug-in's, and with the insert bypassed in Ardour. bypass is 0 when the latter is the dry file.
render_sync_bypass() {
    # The LFO locked to the host: its phase restarts when the transport starts.
    lua render-sync.log render.lua "$session" check "Sync to Host=1" "$out/sync.wav" "$out/sync-again.wav"
    vst2 "$out/vst2-sync.wav" --program 0 --set "Sync to Host=on" --playing --tempo 120
    compare "  program 0, Sync to Host on" "$out/sync.wav" "$out/vst2-sync.wav"
    compare "  program 0, Sync to Host on, Ardour's second export against its first" \
        "$out/sync-again.wav" "$out/sync.wav"
    # Ardour's bypass of the insert: the dry signal.
    lua render-bypass.log render.lua "$session" check bypass "$out/bypass.wav"
    sed 's/^/  /' "$work/render-bypass.log" | grep "bypassed:"
    compare "  bypassed in Ardour, against the dry file" "$out/bypass.wav" "$work/dry.wav"
    bypass=$?
}

# under_valgrind LOG SCRIPT ARGS...: runs an ardour7-lua script under valgrind (output in
# $work/LOG, valgrind's in valgrind.log). ardour7-lua is a shell script around luasession;
# valgrind runs luasession itself.
under_valgrind() {
    local log=$1 script=$2
    shift 2
    LD_LIBRARY_PATH=/usr/lib/ardour7 ARDOUR_DATA_PATH=/usr/share/ardour7 \
        ARDOUR_CONFIG_PATH=/etc/ardour7 ARDOUR_DLL_PATH=/usr/lib/ardour7 \
        ARDOUR_RUNNING_UNDER_VALGRIND=1 timeout 1200 valgrind --error-limit=no \
        --log-file="$work/valgrind.log" /usr/lib/ardour7/luasession "$lua_dir/$script" "$@" \
        >"$work/$log" 2>&1
}

# valgrind_report: valgrind's error summary and each report whose stack passes through the
# plug-in, by its first line.
valgrind_report() {
    grep "ERROR SUMMARY" "$work/valgrind.log" | sed 's/^==[0-9]*== /  valgrind: /'
    awk '/^==[0-9]+== [A-Z]/ { head = $0 } /KSPhaser/ && head != "" { print head; head = "" }' \
        "$work/valgrind.log" | sed 's/^==[0-9]*== /  in the plug-in: /' | sort | uniq -c
}

# list_crashes: the runs that ardour7-lua ended by a signal, their number in crashes.
list_crashes() {
    crashes=0
    if [ -s "$work/crashes.log" ]; then
        sed 's/^/  /' "$work/crashes.log"
        crashes=$(wc -l <"$work/crashes.log")
    fi
}

# summary: the results result1 to result6 (of result3 its first line); exits 1 when one of
# checks 1 to 5 failed.
summary() {
    echo
    echo "Summary"
    echo "  1. $result1"
    echo "  2. $result2"
    echo "  3. $(echo "$result3" | head -n 1)"
    echo "  4. $result4"
    echo "  5. $result5"
    echo "  6. $result6"
    case "$result1$result2$result3$result4$result5" in *FAIL*) exit 1 ;; esac
}
