#!/usr/bin/env python3
"""Draws the editor's four images and writes them to resources/img/.

    python3 tools/artwork/make_artwork.py [--out DIR] [--svg DIR] [--preview FILE]

Every picture is described here as SVG, rendered with rsvg-convert (Debian
librsvg2-bin) using the fonts of fonts-liberation and fonts-dejavu-extra, and
written back by pngfile.py as 8-bit RGBA without metadata, so that two runs
give identical files. --svg keeps the SVG sources for inspection; --preview
also renders the assembled editor (knobs, display, switches and sample value
texts over the background) for checking the alignment.
"""

import argparse
import base64
import math
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pngfile  # noqa: E402

PANEL_W, PANEL_H = 720, 174
KNOB_SIZE, KNOB_FRAMES = 40, 65
KNOB_SWEEP = 135.0
STAGES_SIZE = 48
SWITCH_W, SWITCH_H = 20, 57

KNOB_X = (96, 170, 244, 334, 488, 562, 652)
KNOB_Y = 100
STAGES_POS = (21, 96)
SYNC_POS = (401, 94)
WAVE_POS = (441, 94)

CAPTION_FONT = "Liberation Sans"
TITLE_FONT = "DejaVu Sans"

INK = "#c4c8cf"
INK_DIM = "#7d828b"
AMBER = "#f2a93b"
LEFT_CHANNEL = "#3fb7ff"
RIGHT_CHANNEL = "#ff7a3d"

GROUP_TOP, GROUP_BOTTOM, BAR_HEIGHT = 56, 170, 16
GROUPS = (("PHASER", 6, 300), ("LFO", 310, 622), ("OUTPUT", 632, 714))
CAPTION_BASELINE = 90


def svg(width, height, body, defs=""):
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" '
        'width="%d" height="%d" viewBox="0 0 %d %d">\n<defs>%s</defs>\n%s\n</svg>\n'
        % (width, height, width, height, defs, body)
    )


def text(x, y, content, size, fill, weight="bold", anchor="middle", spacing=0.0, family=CAPTION_FONT, shadow=True):
    """A caption with a soft dark shadow below it, as printed on a lit panel."""
    attrs = 'font-family="%s" font-weight="%s" font-size="%s" text-anchor="%s" letter-spacing="%s"' % (
        family,
        weight,
        size,
        anchor,
        spacing,
    )
    out = ""
    if shadow:
        out += '<text x="%s" y="%s" %s fill="#000" fill-opacity="0.65">%s</text>' % (x, y + 1, attrs, content)
    out += '<text x="%s" y="%s" %s fill="%s">%s</text>' % (x, y, attrs, fill, content)
    return out


# --- background --------------------------------------------------------------


def background_defs():
    return """
<linearGradient id="panel" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#2c2f34"/><stop offset="1" stop-color="#1c1e22"/>
</linearGradient>
<linearGradient id="titlebar" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#1d1f23"/><stop offset="0.5" stop-color="#15171a"/>
  <stop offset="1" stop-color="#101113"/>
</linearGradient>
<linearGradient id="group" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#2b2e33"/><stop offset="1" stop-color="#222429"/>
</linearGradient>
<linearGradient id="bar" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#41454d"/><stop offset="1" stop-color="#30333a"/>
</linearGradient>
<linearGradient id="button" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#34373d"/><stop offset="1" stop-color="#222428"/>
</linearGradient>
<linearGradient id="rimlight" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#000" stop-opacity="0.85"/>
  <stop offset="0.5" stop-color="#000" stop-opacity="0.3"/>
  <stop offset="1" stop-color="#fff" stop-opacity="0.16"/>
</linearGradient>
<linearGradient id="raised" x1="0" y1="0" x2="0.35" y2="1">
  <stop offset="0" stop-color="#fff" stop-opacity="0.13"/>
  <stop offset="0.6" stop-color="#fff" stop-opacity="0.03"/>
  <stop offset="1" stop-color="#000" stop-opacity="0.35"/>
</linearGradient>
<radialGradient id="well" cx="0.5" cy="0.5" r="0.5">
  <stop offset="0" stop-color="#121316"/><stop offset="0.8" stop-color="#17191c"/>
  <stop offset="1" stop-color="#1e2024"/>
</radialGradient>
<filter id="grain" x="0" y="0" width="1" height="1">
  <feTurbulence type="fractalNoise" baseFrequency="0.006 0.85" numOctaves="2" seed="7"/>
  <feColorMatrix type="matrix" values="0 0 0 0 1  0 0 0 0 1  0 0 0 0 1  0.9 0 0 0 -0.35"/>
  <feComposite in2="SourceGraphic" operator="in"/>
</filter>
<filter id="glow" x="-1" y="-1" width="3" height="3">
  <feGaussianBlur stdDeviation="1.2"/>
</filter>
"""


def title_bar():
    out = '<rect x="0" y="0" width="%d" height="48" fill="url(#titlebar)"/>' % PANEL_W
    out += '<rect x="0" y="48" width="%d" height="1" fill="#050506"/>' % PANEL_W
    out += '<rect x="0" y="49" width="%d" height="1" fill="#fff" fill-opacity="0.07"/>' % PANEL_W
    # Preset menu button with its downward triangle.
    out += '<rect x="11.5" y="13.5" width="28" height="28" rx="4" fill="url(#button)" stroke="#060607"/>'
    out += '<rect x="12.5" y="14.5" width="26" height="26" rx="3" fill="none" stroke="url(#raised)"/>'
    out += '<path d="M18.5,24 L31.5,24 L25,31.5 Z" fill="#000" fill-opacity="0.6" transform="translate(0,1)"/>'
    out += '<path d="M18.5,24 L31.5,24 L25,31.5 Z" fill="#e9e5d3"/>'
    # Product title.
    out += (
        '<text x="52" y="34" font-family="%s" font-size="23" fill="#000" fill-opacity="0.7">'
        '<tspan font-weight="200">Kestrunelle</tspan> <tspan font-weight="bold">Phaser</tspan></text>'
    ) % TITLE_FONT
    out += (
        '<text x="52" y="33" font-family="%s" font-size="23">'
        '<tspan font-weight="200" fill="#eef0f3">Kestrunelle</tspan> '
        '<tspan font-weight="bold" fill="%s">Phaser</tspan></text>'
    ) % (TITLE_FONT, AMBER)
    # Version and web address over the online menu.
    out += '<rect x="556.5" y="12.5" width="151" height="27" rx="4" fill="#0c0d0f" fill-opacity="0.6" stroke="#2b2e33"/>'
    out += text(632, 23, "VERSION 2.0.2", 8.5, INK_DIM, spacing=1.2)
    out += text(632, 35, "www.kestrunelle.com", 11, "#dfe2e7", weight="normal")
    return out


def group_frame(name, left, right):
    width = right - left
    height = GROUP_BOTTOM - GROUP_TOP
    out = '<rect x="%s" y="%s" width="%s" height="%s" rx="5" fill="url(#group)" stroke="#0b0c0e"/>' % (
        left + 0.5,
        GROUP_TOP + 0.5,
        width - 1,
        height - 1,
    )
    out += '<rect x="%s" y="%s" width="%s" height="%s" rx="4" fill="none" stroke="url(#raised)"/>' % (
        left + 1.5,
        GROUP_TOP + 1.5,
        width - 3,
        height - 3,
    )
    out += (
        '<path d="M%s,%s h%s a4,4 0 0 1 4,4 v%s h%s v%s a4,4 0 0 1 4,-4 z" fill="url(#bar)"/>'
        % (left + 5, GROUP_TOP + 1, width - 10, BAR_HEIGHT - 4, -(width - 2), -(BAR_HEIGHT - 4))
    )
    out += '<rect x="%s" y="%s" width="%s" height="1" fill="#fff" fill-opacity="0.10"/>' % (
        left + 4,
        GROUP_TOP + 1,
        width - 8,
    )
    out += '<rect x="%s" y="%s" width="%s" height="1" fill="#0b0c0e"/>' % (left + 1, GROUP_TOP + BAR_HEIGHT, width - 2)
    out += text((left + right) / 2.0, GROUP_TOP + 12, name, 10, AMBER, spacing=2.5)
    return out


def knob_well(cx, cy):
    out = '<circle cx="%s" cy="%s" r="17.5" fill="url(#well)"/>' % (cx, cy)
    out += '<circle cx="%s" cy="%s" r="17" fill="none" stroke="url(#rimlight)"/>' % (cx, cy)
    for step in range(11):
        angle = math.radians(-KNOB_SWEEP + step * 27.0)
        major = step in (0, 5, 10)
        x = cx + 21.0 * math.sin(angle)
        y = cy - 21.0 * math.cos(angle)
        out += '<circle cx="%.3f" cy="%.3f" r="%s" fill="%s"/>' % (x, y, 1.1 if major else 0.75, "#a3a8b0" if major else "#60656d")
    return out


def readout(cx):
    """The dark plate under a knob on which the editor prints the value text."""
    out = '<rect x="%s" y="146.5" width="56" height="17" rx="3" fill="#111214" stroke="#0a0a0b"/>' % (cx - 28)
    out += '<rect x="%s" y="163.5" width="52" height="1" fill="#fff" fill-opacity="0.06"/>' % (cx - 26)
    return out


def channel_mark(cx, cy, colour, letter):
    out = '<circle cx="%s" cy="%s" r="3" fill="%s" fill-opacity="0.55" filter="url(#glow)"/>' % (cx, cy, colour)
    out += '<circle cx="%s" cy="%s" r="2.2" fill="%s"/>' % (cx, cy, colour)
    out += '<circle cx="%s" cy="%s" r="0.8" fill="#fff" fill-opacity="0.7"/>' % (cx - 0.6, cy - 0.7)
    out += text(cx, cy + 12, letter, 8, colour)
    return out


def wave_symbols(cx):
    triangle = "M%s,87 L%s,82 L%s,91 L%s,86.5" % (cx - 8, cx - 4, cx + 4, cx + 8)
    top, bottom, mid = 155.0, 163.0, 159.0
    sine = "M%s,%s C%s,%s %s,%s %s,%s S%s,%s %s,%s" % (
        cx - 8,
        mid,
        cx - 6,
        top - 1.5,
        cx - 2,
        top - 1.5,
        cx,
        mid,
        cx + 6,
        bottom + 1.5,
        cx + 8,
        mid,
    )
    out = ""
    for path in (triangle, sine):
        out += '<path d="%s" fill="none" stroke="#000" stroke-opacity="0.6" stroke-width="1.5" stroke-linejoin="round" stroke-linecap="round" transform="translate(0,1)"/>' % path
        out += '<path d="%s" fill="none" stroke="%s" stroke-width="1.5" stroke-linejoin="round" stroke-linecap="round"/>' % (path, INK)
    return out


def background_svg():
    body = '<rect width="%d" height="%d" fill="url(#panel)"/>' % (PANEL_W, PANEL_H)
    body += '<rect width="%d" height="%d" fill="#808080" fill-opacity="0.05" filter="url(#grain)"/>' % (PANEL_W, PANEL_H)
    body += title_bar()
    for name, left, right in GROUPS:
        body += group_frame(name, left, right)

    sx, sy = STAGES_POS
    body += '<rect x="%s" y="%s" width="52" height="52" rx="5" fill="#0d0e10" stroke="url(#rimlight)"/>' % (
        sx - 2.5,
        sy - 2.5,
    )
    body += text(sx + STAGES_SIZE / 2.0, CAPTION_BASELINE, "STAGES", 9.5, INK, spacing=1)

    captions = ("MANUAL", "SPREAD", "FEEDBACK", "SPEED", "DEPTH", "STEREO", "MIX")
    for x, caption in zip(KNOB_X, captions):
        cx = x + KNOB_SIZE / 2.0
        body += knob_well(cx, KNOB_Y + KNOB_SIZE / 2.0)
        body += readout(cx)
        body += text(cx, CAPTION_BASELINE, caption, 9.5, INK, spacing=1)

    sync_cx = SYNC_POS[0] + SWITCH_W / 2.0
    body += text(sync_cx, CAPTION_BASELINE, "SYNC", 9.5, INK, spacing=1)
    body += '<rect x="%s" y="148.5" width="34" height="17" rx="3" fill="#111214" stroke="#0a0a0b"/>' % (sync_cx - 17)
    body += wave_symbols(WAVE_POS[0] + SWITCH_W / 2.0)

    stereo_cx = KNOB_X[5] + KNOB_SIZE / 2.0
    body += channel_mark(stereo_cx - 31, 112, LEFT_CHANNEL, "L")
    body += channel_mark(stereo_cx + 31, 112, RIGHT_CHANNEL, "R")
    return svg(PANEL_W, PANEL_H, body, background_defs())


# --- knob ---------------------------------------------------------------------

KNOB_DEFS = """
<radialGradient id="cap" cx="0.38" cy="0.32" r="0.75">
  <stop offset="0" stop-color="#4b4f56"/><stop offset="0.55" stop-color="#26282c"/>
  <stop offset="1" stop-color="#121315"/>
</radialGradient>
<linearGradient id="skirt" x1="0.15" y1="0.1" x2="0.85" y2="0.9">
  <stop offset="0" stop-color="#d3d7dd"/><stop offset="0.25" stop-color="#8b9097"/>
  <stop offset="0.6" stop-color="#3a3d42"/><stop offset="1" stop-color="#18191b"/>
</linearGradient>
<linearGradient id="bevel" x1="0.2" y1="0.1" x2="0.8" y2="0.9">
  <stop offset="0" stop-color="#fff" stop-opacity="0.35"/><stop offset="0.5" stop-color="#fff" stop-opacity="0.04"/>
  <stop offset="1" stop-color="#000" stop-opacity="0.5"/>
</linearGradient>
<radialGradient id="gloss" cx="0.35" cy="0.25" r="0.5">
  <stop offset="0" stop-color="#fff" stop-opacity="0.16"/><stop offset="1" stop-color="#fff" stop-opacity="0"/>
</radialGradient>
<filter id="shadow" x="-0.3" y="-0.3" width="1.6" height="1.6">
  <feGaussianBlur stdDeviation="1.1"/>
</filter>
<filter id="soft" x="-0.5" y="-0.5" width="2" height="2">
  <feGaussianBlur stdDeviation="0.45"/>
</filter>
"""


def knob_svg(angle):
    c = KNOB_SIZE / 2.0
    body = '<circle cx="%s" cy="%s" r="15" fill="#000" fill-opacity="0.8" filter="url(#shadow)"/>' % (c + 0.7, c + 1.4)
    body += '<circle cx="%s" cy="%s" r="15" fill="url(#skirt)"/>' % (c, c)
    body += '<circle cx="%s" cy="%s" r="14.7" fill="none" stroke="#050506" stroke-width="0.6"/>' % (c, c)
    body += '<circle cx="%s" cy="%s" r="14.1" fill="none" stroke="url(#bevel)" stroke-width="0.8"/>' % (c, c)
    body += '<circle cx="%s" cy="%s" r="12.4" fill="#0a0b0c"/>' % (c, c)
    body += '<circle cx="%s" cy="%s" r="11.8" fill="url(#cap)"/>' % (c, c)
    body += '<circle cx="%s" cy="%s" r="11.3" fill="none" stroke="url(#bevel)" stroke-width="0.9"/>' % (c, c)
    body += '<circle cx="%s" cy="%s" r="7.5" fill="none" stroke="#000" stroke-opacity="0.25" stroke-width="0.8"/>' % (c, c)
    body += '<circle cx="%s" cy="%s" r="11.8" fill="url(#gloss)"/>' % (c, c)
    pointer = '<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="{colour}" stroke-width="{width}" stroke-linecap="round"/>' % (
        c,
        c - 4.5,
        c,
        c - 13.6,
    )
    turn = 'transform="rotate(%.6f %s %s)"' % (angle, c, c)
    body += '<g transform="translate(0.5,0.9)"><g %s filter="url(#soft)">%s</g></g>' % (
        turn,
        pointer.format(colour="#000", width="2.6"),
    )
    body += '<g %s>%s</g>' % (turn, pointer.format(colour="#f6f2e2", width="2.1"))
    return svg(KNOB_SIZE, KNOB_SIZE, body, KNOB_DEFS)


def knob_angle(frame):
    """Pointer angle of a 0-based frame, from -135 degrees (seven o'clock) to +135."""
    return -KNOB_SWEEP + 2.0 * KNOB_SWEEP * frame / (KNOB_FRAMES - 1)


# --- stages display -------------------------------------------------------------

SEGMENTS_LIT = {4: "bcfg", 8: "abcdefg"}


def segment_polygons():
    """Seven hexagonal segments of a digit box 22 x 33 with bars 4.4 thick."""
    x0, x1, y0, y1, t, gap = 13.0, 35.0, 7.5, 40.5, 4.4, 0.7
    h = t / 2.0
    ym = (y0 + y1) / 2.0

    def horizontal(yc):
        a, b = x0 + h + gap, x1 - h - gap
        return [(a, yc), (a + h, yc - h), (b - h, yc - h), (b, yc), (b - h, yc + h), (a + h, yc + h)]

    def vertical(xc, ya, yb):
        a, b = ya + gap, yb - gap
        return [(xc, a), (xc + h, a + h), (xc + h, b - h), (xc, b), (xc - h, b - h), (xc - h, a + h)]

    return {
        "a": horizontal(y0 + h),
        "b": vertical(x1 - h, y0 + h, ym),
        "c": vertical(x1 - h, ym, y1 - h),
        "d": horizontal(y1 - h),
        "e": vertical(x0 + h, ym, y1 - h),
        "f": vertical(x0 + h, y0 + h, ym),
        "g": horizontal(ym),
    }


STAGES_DEFS = """
<linearGradient id="bezel" x1="0" y1="0" x2="1" y2="1">
  <stop offset="0" stop-color="#5d6168"/><stop offset="0.45" stop-color="#2b2d31"/>
  <stop offset="1" stop-color="#111214"/>
</linearGradient>
<radialGradient id="glass" cx="0.5" cy="0.45" r="0.7">
  <stop offset="0" stop-color="#140404"/><stop offset="1" stop-color="#030303"/>
</radialGradient>
<linearGradient id="reflection" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#fff" stop-opacity="0.10"/><stop offset="1" stop-color="#fff" stop-opacity="0"/>
</linearGradient>
<linearGradient id="lit" x1="0" y1="0" x2="0" y2="1">
  <stop offset="0" stop-color="#ff5a3c"/><stop offset="1" stop-color="#ff1e12"/>
</linearGradient>
<filter id="bloom" x="-0.5" y="-0.5" width="2" height="2">
  <feGaussianBlur stdDeviation="1.6"/>
</filter>
"""


def stages_svg(digit):
    size = STAGES_SIZE
    body = '<rect x="0.5" y="0.5" width="%s" height="%s" rx="4" fill="url(#bezel)" stroke="#060607"/>' % (size - 1, size - 1)
    body += '<rect x="3.5" y="3.5" width="%s" height="%s" rx="2" fill="url(#glass)" stroke="#000"/>' % (size - 7, size - 7)
    polygons = segment_polygons()
    lit = SEGMENTS_LIT[digit]

    def shape(name, attrs):
        points = " ".join("%.3f,%.3f" % p for p in polygons[name])
        return '<polygon points="%s" %s/>' % (points, attrs)

    slant = 'transform="translate(24 24) skewX(-7) translate(-24 -24)"'
    unlit = 'fill="#3a0906" fill-opacity="0.45"'
    dark = "".join(shape(n, unlit) for n in "abcdefg" if n not in lit)
    dark += '<circle cx="38.6" cy="38.3" r="2" %s/>' % unlit
    glow = "".join(shape(n, 'fill="#ff2010"') for n in lit)
    bright = "".join(shape(n, 'fill="url(#lit)"') for n in lit)
    body += "<g %s>%s<g filter=\"url(#bloom)\" opacity=\"0.7\">%s</g>%s</g>" % (slant, dark, glow, bright)
    body += '<rect x="4" y="4" width="%s" height="%s" rx="1.5" fill="url(#reflection)"/>' % (size - 8, (size - 8) / 2.0)
    return svg(size, size, body, STAGES_DEFS)


# --- toggle switch --------------------------------------------------------------

SWITCH_DEFS = """
<linearGradient id="chrome" x1="0" y1="0" x2="1" y2="0">
  <stop offset="0" stop-color="#5b5f66"/><stop offset="0.22" stop-color="#eef1f5"/>
  <stop offset="0.45" stop-color="#b4b8bf"/><stop offset="0.8" stop-color="#55585e"/>
  <stop offset="1" stop-color="#2a2c30"/>
</linearGradient>
<radialGradient id="tipUp" cx="0.38" cy="0.35" r="0.7">
  <stop offset="0" stop-color="#ffffff"/><stop offset="0.5" stop-color="#b8bcc3"/>
  <stop offset="1" stop-color="#4a4d53"/>
</radialGradient>
<radialGradient id="tipDown" cx="0.38" cy="0.3" r="0.75">
  <stop offset="0" stop-color="#c9ccd2"/><stop offset="0.45" stop-color="#7a7e85"/>
  <stop offset="1" stop-color="#2c2e32"/>
</radialGradient>
<radialGradient id="bushing" cx="0.4" cy="0.35" r="0.65">
  <stop offset="0" stop-color="#9da1a8"/><stop offset="0.6" stop-color="#55585e"/>
  <stop offset="1" stop-color="#1f2023"/>
</radialGradient>
<filter id="blur" x="-0.5" y="-0.5" width="2" height="2">
  <feGaussianBlur stdDeviation="1.1"/>
</filter>
"""


def lever_path(cx, cy, up):
    """A bat-shaped lever from the pivot to its end; answers (outline, end cap centre)."""
    sign = -1.0 if up else 1.0
    end_y = cy + sign * 19.0
    base_half, end_half = 2.1, 3.5
    path = "M%s,%s L%s,%s L%s,%s L%s,%s Z" % (
        cx - base_half,
        cy,
        cx - end_half,
        end_y,
        cx + end_half,
        end_y,
        cx + base_half,
        cy,
    )
    return path, end_y


def switch_svg(up):
    cx, cy = SWITCH_W / 2.0, SWITCH_H / 2.0
    lever, end_y = lever_path(cx, cy, up)
    # Shadows on the panel: nut and lever, cast towards the bottom right.
    body = '<g filter="url(#blur)" fill="#000" fill-opacity="0.6">'
    body += '<circle cx="%s" cy="%s" r="9.4"/>' % (cx + 0.9, cy + 1.5)
    body += '<path d="%s" transform="translate(1.5,2.2)"/>' % lever
    body += '<ellipse cx="%s" cy="%s" rx="3.8" ry="2.5"/>' % (cx + 1.5, end_y + 2.2)
    body += "</g>"
    # Hexagonal nut with a corner at the top, each facet shaded for a light from the top left.
    radius = 9.6
    corners = [
        (cx + radius * math.cos(math.radians(-90 + 60 * k)), cy + radius * math.sin(math.radians(-90 + 60 * k)))
        for k in range(6)
    ]
    facet_shades = ("#9a9fa6", "#5c6066", "#26282b", "#34373b", "#82878e", "#c9cdd3")
    for k in range(6):
        a, b = corners[k], corners[(k + 1) % 6]
        body += '<polygon points="%.3f,%.3f %.3f,%.3f %.3f,%.3f" fill="%s"/>' % (
            cx,
            cy,
            a[0],
            a[1],
            b[0],
            b[1],
            facet_shades[k],
        )
    hexagon = " ".join("%.3f,%.3f" % p for p in corners)
    body += '<polygon points="%s" fill="none" stroke="#0c0d0e" stroke-width="0.7" stroke-linejoin="round"/>' % hexagon
    body += '<circle cx="%s" cy="%s" r="5.8" fill="url(#bushing)" stroke="#151618" stroke-width="0.6"/>' % (cx, cy)
    body += '<circle cx="%s" cy="%s" r="3.5" fill="#0e0f10"/>' % (cx, cy)
    body += '<circle cx="%s" cy="%s" r="3.5" fill="none" stroke="#fff" stroke-opacity="0.2" stroke-width="0.5" transform="translate(0.3,0.4)"/>' % (cx, cy)
    # Lever and its end cap, chrome lit from the left.
    body += '<path d="%s" fill="url(#chrome)" stroke="#1a1b1d" stroke-width="0.5" stroke-linejoin="round"/>' % lever
    body += '<ellipse cx="%s" cy="%s" rx="3.8" ry="2.5" fill="url(#%s)" stroke="#1a1b1d" stroke-width="0.5"/>' % (
        cx,
        end_y,
        "tipUp" if up else "tipDown",
    )
    return svg(SWITCH_W, SWITCH_H, body, SWITCH_DEFS)


# --- rendering ------------------------------------------------------------------


def check_fonts():
    """Fails rather than let fontconfig substitute another face for a missing one."""
    for family, style in ((CAPTION_FONT, "Bold"), (CAPTION_FONT, "Regular"), (TITLE_FONT, "Bold"), (TITLE_FONT, "ExtraLight")):
        found = subprocess.run(
            ["fc-match", "--format=%{family}|%{style}", "%s:style=%s" % (family, style)],
            check=True,
            capture_output=True,
            text=True,
        ).stdout
        families, styles = found.split("|", 1)
        if family not in families.split(",") or style not in styles.split(","):
            sys.exit("font %s %s is not installed (found %s); see README.md" % (family, style, found))


class Renderer:
    def __init__(self, workdir, keep_svg):
        self.workdir = workdir
        self.keep_svg = keep_svg

    def render(self, name, source, width, height):
        svg_path = os.path.join(self.keep_svg or self.workdir, name + ".svg")
        png_path = os.path.join(self.workdir, name + ".png")
        with open(svg_path, "w", encoding="utf-8") as f:
            f.write(source)
        subprocess.run(["rsvg-convert", "--format=png", "-o", png_path, svg_path], check=True)
        w, h, pixels = pngfile.read_rgba(png_path)
        if (w, h) != (width, height):
            raise RuntimeError("%s rendered as %dx%d" % (name, w, h))
        return pixels


def stack(frames):
    return bytearray().join(frames)


def clean_transparent(pixels):
    """Zeroes the colour of fully transparent pixels so that they compress alike."""
    for i in range(0, len(pixels), 4):
        if pixels[i + 3] == 0:
            pixels[i : i + 3] = b"\x00\x00\x00"
    return pixels


def preview_svg(out_dir):
    def data_uri(name):
        with open(os.path.join(out_dir, name), "rb") as f:
            return "data:image/png;base64," + base64.b64encode(f.read()).decode("ascii")

    def strip_frame(name, x, y, w, h, frame, frames):
        return (
            '<svg x="%d" y="%d" width="%d" height="%d" viewBox="0 %d %d %d">'
            '<image width="%d" height="%d" xlink:href="%s"/></svg>'
        ) % (x, y, w, h, frame * h, w, h, w, h * frames, data_uri(name))

    body = '<image width="%d" height="%d" xlink:href="%s"/>' % (PANEL_W, PANEL_H, data_uri("back.png"))
    knob_frames = (16, 0, 32, 3, 40, 48, 64)
    values = ("1000Hz", "0%", "-100%", "0.15Hz", "50%", "\\100%/", "50:50")
    for x, frame, value in zip(KNOB_X, knob_frames, values):
        body += strip_frame("knob.png", x, KNOB_Y, KNOB_SIZE, KNOB_SIZE, frame, KNOB_FRAMES)
        body += '<text x="%s" y="159" font-family="Liberation Sans" font-size="13" text-anchor="middle" fill="#ffffc0">%s</text>' % (
            x + 20,
            value,
        )
    body += strip_frame("stages.png", STAGES_POS[0], STAGES_POS[1], STAGES_SIZE, STAGES_SIZE, 0, 2)
    body += strip_frame("switch.png", SYNC_POS[0], SYNC_POS[1], SWITCH_W, SWITCH_H, 0, 2)
    body += '<text x="411" y="160" font-family="Liberation Sans" font-size="13" text-anchor="middle" fill="#ffffc0">OFF</text>'
    body += strip_frame("switch.png", WAVE_POS[0], WAVE_POS[1], SWITCH_W, SWITCH_H, 1, 2)
    return svg(PANEL_W, PANEL_H, body)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.normpath(os.path.join(here, "..", "..", "resources", "img"))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=default_out, help="output folder (default: resources/img)")
    parser.add_argument("--svg", help="also keep the SVG sources in this folder")
    parser.add_argument("--preview", help="render the assembled editor to this PNG file")
    args = parser.parse_args()
    check_fonts()
    os.makedirs(args.out, exist_ok=True)
    if args.svg:
        os.makedirs(args.svg, exist_ok=True)

    with tempfile.TemporaryDirectory() as workdir:
        r = Renderer(workdir, args.svg)
        back = r.render("back", background_svg(), PANEL_W, PANEL_H)
        pngfile.write_rgba(os.path.join(args.out, "back.png"), PANEL_W, PANEL_H, back)

        knobs = [
            r.render("knob%02d" % (i + 1), knob_svg(knob_angle(i)), KNOB_SIZE, KNOB_SIZE) for i in range(KNOB_FRAMES)
        ]
        pngfile.write_rgba(
            os.path.join(args.out, "knob.png"), KNOB_SIZE, KNOB_SIZE * KNOB_FRAMES, clean_transparent(stack(knobs))
        )

        stages = [r.render("stages%d" % d, stages_svg(d), STAGES_SIZE, STAGES_SIZE) for d in (4, 8)]
        pngfile.write_rgba(
            os.path.join(args.out, "stages.png"), STAGES_SIZE, 2 * STAGES_SIZE, clean_transparent(stack(stages))
        )

        levers = [r.render("switch_%s" % n, switch_svg(up), SWITCH_W, SWITCH_H) for n, up in (("down", False), ("up", True))]
        pngfile.write_rgba(os.path.join(args.out, "switch.png"), SWITCH_W, 2 * SWITCH_H, clean_transparent(stack(levers)))

        if args.preview:
            preview = r.render("preview", preview_svg(args.out), PANEL_W, PANEL_H)
            pngfile.write_rgba(args.preview, PANEL_W, PANEL_H, preview)


if __name__ == "__main__":
    main()
