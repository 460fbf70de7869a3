#!/usr/bin/env python3
"""What ardour-lv2-check.sh reads from files: the LV2 bundle's presets, Ardour's saved session and
the plug-in's state that Ardour saved with it, and ksphaser-host's listing of the VST 2.4 plug-in.

usage: lv2.py symbols SESSION.ardour
         the LV2 insert's port symbols and values as Ardour saved them, one "symbol value" a line
       lv2.py presets PRESETS.ttl PRESET.log INFO_DIR
         compares the values that Ardour's ports held after each preset load (PRESET.log from
         preset.lua) with the bundle's presets.ttl and with INFO_DIR/program-N.txt (ksphaser-host
         info of the VST 2.4 plug-in after --program N); exits 1 on a mismatch
       lv2.py state SESSION_DIR SESSION.ardour
         the plug-in's state file that Ardour saved for the insert: its properties, and the
         program chunk's values against the port values in the session; exits 1 when they differ
       lv2.py preset-file PRESET.ttl
         the same for a user preset that Ardour saved: its port values and its state
       lv2.py expected PRESETS.ttl LABEL SYMBOL=VALUE...
         the port values of the bundle's preset LABEL with the SYMBOLs changed, as 32-bit numbers,
         on one line of "Label=value" (the label up to its first space, as the check reads it
         from show.lua's listing)
"""
import base64
import math
import os
import re
import struct
import sys
import xml.etree.ElementTree as ET

# Port symbol, Ardour's label and the conversion between the VST 2.4 plug-in's normalised value
# (what ksphaser-host info lists) and the port's value in the parameter's own unit.
PARAMS = [
    ("stages", "Stages", lambda n: 1.0 if n >= 0.5 else 0.0),
    ("manual", "Manual", lambda n: 16000.0 * n * n),
    ("spread", "Spread", lambda n: 100.0 * n),
    ("feedback", "Feedback", lambda n: 200.0 * n - 100.0),
    ("lfo_speed", "LFOSpeed", lambda n: n),
    ("lfo_depth", "LFODepth", lambda n: 100.0 * n),
    ("mix", "Mix", lambda n: n),
    ("sync", "Sync to Host", lambda n: 1.0 if n >= 0.5 else 0.0),
    ("stereo", "Stereo", lambda n: n),
    ("waveform", "Waveform", lambda n: 1.0 if n >= 0.5 else 0.0),
]
# The same values as the plug-in's state holds them (plain doubles): the port's unit per unit of
# the stored value.
STATE_SCALE = [1.0, 16000.0, 100.0, 100.0, 1.0, 100.0, 1.0, 1.0, 1.0, 1.0]


def f32(x):
    """x as a 32-bit float, as an LV2 control port holds it."""
    return struct.unpack("<f", struct.pack("<f", x))[0]


def lv2_node(path):
    root = ET.parse(path).getroot()
    for proc in root.iter("Processor"):
        if proc.get("type") == "lv2":
            return proc, proc.find("lv2")
    sys.exit(f"{path}: no LV2 insert")


def symbols(path):
    _, node = lv2_node(path)
    for port in node.iter("Port"):
        print(port.get("symbol"), port.get("value"))


def read_presets(path):
    """{label: {symbol: value}} from the bundle's presets.ttl."""
    text = open(path).read()
    presets = {}
    for block in re.split(r"\n\s*\n", text):
        label = re.search(r'rdfs:label "([^"]*)"', block)
        if not label:
            continue
        values = dict((s, float(v)) for s, v in
                      re.findall(r'lv2:symbol "([^"]+)" ; pset:value ([-+0-9.eE]+)', block))
        presets[label.group(1)] = values
    return presets


def read_loads(path):
    """[(label, {Ardour's label: value}, last preset)] from preset.lua's output."""
    loads = []
    for line in open(path):
        m = re.match(r"loading (.*) \((.*)\)$", line.rstrip("\n"))
        if m:
            loads.append([m.group(1), {}, None])
            continue
        m = re.match(r"  (.*[^ ]) +([-+0-9.eE]+|nan|-?inf)$", line.rstrip("\n"))
        if m and loads:
            loads[-1][1][m.group(1)] = float(m.group(2))
            continue
        m = re.match(r"last preset: (.*)$", line.rstrip("\n"))
        if m and loads:
            loads[-1][2] = m.group(1)
    return loads


def read_info(path):
    """(program name, [normalised values]) from ksphaser-host info."""
    text = open(path).read()
    name = re.search(r"^Program \d+: (.*)$", text, re.M).group(1)
    values = [float(v) for v in re.findall(r"^  \d+\s+.*?\s+(\d\.\d{6})\s", text, re.M)][:len(PARAMS)]
    return name, values


def presets(ttl, log, info_dir):
    bundle = read_presets(ttl)
    loads = read_loads(log)
    infos = {}
    for n in range(len(bundle)):
        path = os.path.join(info_dir, f"program-{n}.txt")
        if os.path.exists(path):
            name, values = read_info(path)
            infos[name] = (n, values)
    bad = 0
    worst_vst2 = 0.0
    for label, ports, last in loads:
        expected = bundle.get(label)
        if expected is None:
            print(f"  {label}: not in presets.ttl")
            bad += 1
            continue
        wrong = []
        for symbol, name, _ in PARAMS:
            have = ports.get(name)
            if have is None or f32(have) != f32(expected[symbol]):
                wrong.append(f"{name} {have} (presets.ttl {expected[symbol]:.9g})")
        vst2 = ""
        if label in infos:
            n, normalised = infos[label]
            diffs = []
            for (symbol, name, plain), x in zip(PARAMS, normalised):
                # ksphaser-host lists six decimals of the normalised value: a tolerance of half
                # the last digit, carried through the conversion, and the 32-bit rounding.
                tolerance = abs(plain(min(x + 5e-7, 1.0)) - plain(max(x - 5e-7, 0.0))) + 1e-6 * (1 + abs(plain(x)))
                d = abs(ports.get(name, math.nan) - plain(x))
                worst_vst2 = max(worst_vst2, d / tolerance if tolerance else 0.0)
                if not d <= tolerance:
                    diffs.append(f"{name} {ports.get(name)} (VST 2.4 {plain(x):.6g})")
            vst2 = f"; VST 2.4 program {n}: " + ("the same values" if not diffs else "differs: " + ", ".join(diffs))
            if diffs:
                bad += 1
        else:
            vst2 = "; no VST 2.4 program of that name"
            bad += 1
        state = "ports hold the presets.ttl values" if not wrong else "ports differ: " + ", ".join(wrong)
        if wrong:
            bad += 1
        if last != label:
            bad += 1
        print(f"  {label:<12} {state}{vst2}; last preset: {last}")
    missing = sorted(set(bundle) - set(label for label, _, _ in loads))
    if missing:
        print("  not loaded: " + ", ".join(missing))
        bad += 1
    print(f"presets loaded: {len(loads)}; mismatches: {bad}")
    sys.exit(1 if bad or not loads else 0)


def chunk_against_ports(ttl, ports, where):
    """Prints the state properties in the Turtle file ttl and compares the program chunk's values
    with ports ({symbol: value}). Answers True when they agree."""
    text = open(ttl).read()
    props = re.findall(r"<([^>]+)>\s+\"\"\"([^\"]*)\"\"\"\^\^xsd:base64Binary", text)
    print(f"{where}: " + (", ".join(f"<{key}> ({len(base64.b64decode(value))} bytes)" for key, value in props)
                          or "no state property"))
    chunk = next((base64.b64decode(v) for k, v in props if k.endswith("#chunk")), None)
    if chunk is None:
        return False
    # The program chunk: "tffp", a version, the header text, the ten values as doubles, then the
    # program's name (its length, then its bytes).
    header = chunk[8:8 + 24].decode("latin-1")
    start = 8 + 24
    values = struct.unpack_from("<10d", chunk, start)
    length = struct.unpack_from("<i", chunk, start + 80)[0]
    name = chunk[start + 84:start + 84 + length].decode("latin-1")
    wrong = []
    for (symbol, _, _), value, scale in zip(PARAMS, values, STATE_SCALE):
        if f32(value * scale) != f32(ports.get(symbol, math.nan)):
            wrong.append(f"{symbol}: state {value * scale:.9g}, port {ports.get(symbol)}")
    print(f"chunk: {header!r}, program name {name!r}, values " +
          " ".join(f"{s}={v * k:.9g}" for (s, _, _), v, k in zip(PARAMS, values, STATE_SCALE)))
    print("chunk against the port values: " +
          ("the same (as 32-bit numbers)" if not wrong else "differs: " + "; ".join(wrong)))
    return not wrong


def state(session_dir, path):
    proc, node = lv2_node(path)
    folder = os.path.join(session_dir, "plugins", proc.get("id"), node.get("state-dir", ""))
    ttl = os.path.join(folder, "state.ttl")
    if not node.get("state-dir") or not os.path.exists(ttl):
        print(f"no state file for the insert (state-dir {node.get('state-dir')!r})")
        sys.exit(1)
    ports = dict((p.get("symbol"), float(p.get("value"))) for p in node.iter("Port"))
    sys.exit(0 if chunk_against_ports(ttl, ports, os.path.relpath(ttl, session_dir)) else 1)


def preset_file(ttl):
    text = open(ttl).read()
    ports = dict((s, float(v)) for s, v in
                 re.findall(r'lv2:symbol "([^"]+)" ;\s*pset:value ([-+0-9.eE]+)', text))
    print("port values: " + " ".join(f"{s}={ports[s]:g}" for s, _, _ in PARAMS if s in ports))
    ok = chunk_against_ports(ttl, ports, os.path.basename(ttl))
    sys.exit(0 if ok and len(ports) == len(PARAMS) else 1)


def expected(ttl, label, changes):
    values = read_presets(ttl)[label]
    values.update((s, float(v)) for s, v in (c.split("=", 1) for c in changes))
    print(" ".join(f"{name.split()[0]}={f32(values[symbol]):.9g}" for symbol, name, _ in PARAMS))


if __name__ == "__main__":
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "symbols" and len(sys.argv) == 3:
        symbols(sys.argv[2])
    elif command == "presets" and len(sys.argv) == 5:
        presets(*sys.argv[2:5])
    elif command == "state" and len(sys.argv) == 4:
        state(*sys.argv[2:4])
    elif command == "preset-file" and len(sys.argv) == 3:
        preset_file(sys.argv[2])
    elif command == "expected" and len(sys.argv) >= 4:
        expected(sys.argv[2], sys.argv[3], sys.argv[4:])
    else:
        sys.exit(__doc__)
