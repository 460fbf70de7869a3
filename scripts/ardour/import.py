#!/usr/bin/env python3
"""Puts a stereo WAV file on the test track of a saved, closed Ardour session, as Ardour's
import does: one mono file per channel in the session's audio folder, a whole-file region and
a copy of it at the start of the track's playlist, and the session range over it.

ardour7-lua has no import without the editor, so this writes what the import would.
usage: import.py SESSION_DIR SESSION_NAME TRACK_NAME FILE.wav"""
import os
import sys
import xml.etree.ElementTree as ET

import wav as wavfile

SUPERCLOCK = 282240000  # Ardour 7's time unit per second

session_dir, name, track, wav = sys.argv[1:5]
stem = os.path.splitext(os.path.basename(wav))[0]
# Ardour made one folder in interchange/ when it created the session (named after the session's
# folder); a second one would make it refuse the session.
folders = os.listdir(os.path.join(session_dir, "interchange"))
if len(folders) != 1:
    sys.exit(f"{session_dir}/interchange holds {len(folders)} folders, not 1")
audio_dir = os.path.join(session_dir, "interchange", folders[0], "audiofiles")
os.makedirs(audio_dir, exist_ok=True)

channels, rate, samples = wavfile.read(wav)
if channels != 2:
    sys.exit(f"{wav}: {channels} channels, not 2")
frames = len(samples) // 2
sources = []
for channel, side in ((0, "L"), (1, "R")):
    mono = f"{stem}%{side}.wav"
    wavfile.write(os.path.join(audio_dir, mono), 1, rate, samples[channel::2])
    sources.append(mono)

path = os.path.join(session_dir, name + ".ardour")
tree = ET.parse(path)
root = tree.getroot()
assert int(root.get("sample-rate")) == rate, "the file's rate is not the session's"
length = frames * SUPERCLOCK // rate
# Ardour's saved id-counter can lie below ids it already gave (a plug-in's controls): new ids
# start past every id in the file.
next_id = max([int(root.get("id-counter"))] +
              [int(e.get("id")) + 1 for e in root.iter() if (e.get("id") or "").isdigit()])


def new_id():
    global next_id
    next_id += 1
    return str(next_id - 1)


source_ids = []
for mono in sources:
    source_ids.append(new_id())
    ET.SubElement(root.find("Sources"), "Source", {
        "name": mono, "type": "audio", "flags": "", "id": source_ids[-1], "natural-position": "a0",
        "channel": "0", "origin": "", "gain": "1"})  # an origin path makes Ardour read the original file


def region(parent, region_name, whole_file):
    attrs = {
        "name": region_name, "muted": "0", "opaque": "1", "locked": "0", "video-locked": "0",
        "automatic": "0", "whole-file": "1" if whole_file else "0", "import": "1",
        "external": "0", "sync-marked": "0", "left-of-split": "0", "right-of-split": "0",
        "hidden": "0", "position-locked": "0", "valid-transients": "0", "start": "a0",
        "length": f"a{length}@a0", "sync-position": "a0", "ancestral-start": "a0",
        "ancestral-length": "a0@a0", "stretch": "1", "shift": "1", "layering-index": "0",
        "tags": "", "contents": "0", "envelope-active": "0", "default-fade-in": "0",
        "default-fade-out": "0", "fade-in-active": "0", "fade-out-active": "0",
        "scale-amplitude": "1", "id": new_id(), "type": "audio", "first-edit": "nothing",
        "channels": "2"}
    for i, sid in enumerate(source_ids):
        attrs[f"source-{i}"] = sid
        attrs[f"master-source-{i}"] = sid
    ET.SubElement(parent, "Region", attrs)


region(root.find("Regions"), stem, True)
playlist = next(p for p in root.find("Playlists") if p.get("name") == track)
region(playlist, stem + ".1", False)

locations = root.find("Locations")
for location in list(locations):
    if "IsSessionRange" in location.get("flags", ""):
        locations.remove(location)
ET.SubElement(locations, "Location", {
    "id": new_id(), "name": "session", "start": "a0", "end": f"a{length}",
    "flags": "IsSessionRange", "locked": "0", "timestamp": "0", "cue": "0"})

root.set("id-counter", str(next_id))
tree.write(path, encoding="UTF-8", xml_declaration=True)
print(f"import: {wav} ({frames} frames at {rate} Hz) on track {track!r} of {path}")
