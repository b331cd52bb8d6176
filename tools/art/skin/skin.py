#!/usr/bin/env python3
"""The default skin: 45 pictures for the 480 x 640, 192 dpi screen and the
skin's description file, drawn as SVG from one palette.

    skin.py svg WORK          writes WORK/<stem>.svg for every picture to render
    skin.py finish WORK OUT   turns WORK/<stem>.png (rendered by rsvg-convert)
                              into OUT/<stem>.png and writes OUT/Skin.txt

tools/make-skin.sh runs both steps around rsvg-convert. Python's standard
library only, integer arithmetic, fixed compression: the same sources, fonts
and rsvg-convert give the same bytes.

The look is the one of the pictures built into the executable: amber on
black. Controls at rest are dark faces with amber marks, so the white
captions the program draws over them stay readable; pressed and checked
controls light up amber, and the program draws their captions black.
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from png_to_resource import read_png  # noqa: E402  (the same reader as the resources)

# ------------------------------------------------------------- palette ----

BLACK = "#000000"
AMBER = "#fed411"        # the accent of the splash, title and icon
AMBER_LIGHT = "#fee55e"
AMBER_PALE = "#fff1a0"
AMBER_DEEP = "#c9a20c"
AMBER_DARK = "#a88808"
BRONZE = "#705c00"       # amber edges on dark faces
BRONZE_DIM = "#4a3d00"
SMOKE = "#2a2200"        # marks on lit (amber) faces
FACE_TOP = "#221f17"     # dark faces, lit from above
FACE_BOTTOM = "#0f0e0a"
WELL = "#070605"
MUTED = "#8c8672"        # marks of controls that are not selected
FONT = "DejaVu Sans"     # what the device's font mapper draws the skin's typeface with

# The typeface the program asks for and what it maps to on this device.
SKIN_FACE = "HelveticaNeue LT 35 Thin"

# The bottom bar, top to bottom; its buttons are cut out against these rows.
BAR_TOP_LINE = AMBER_DEEP
BAR_FROM = "#1b1811"
BAR_TO = "#050504"
TOP_BAR_FROM = "#211e15"
TOP_BAR_TO = "#0a0907"

# -------------------------------------------------------------- svg -----


class Svg:
    def __init__(self, width, height, note):
        self.width = width
        self.height = height
        self.note = note
        self.defs = []
        self.body = []

    def define(self, text):
        self.defs.append(text)

    def add(self, text):
        self.body.append(text)

    def text(self):
        out = ['<?xml version="1.0" encoding="UTF-8"?>',
               "<!-- %s -->" % self.note,
               '<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">'
               % (self.width, self.height, self.width, self.height)]
        if self.defs:
            out.append("  <defs>")
            out += ["    " + d for d in self.defs]
            out.append("  </defs>")
        out += ["  " + b for b in self.body]
        out.append("</svg>")
        return "\n".join(out) + "\n"


def vertical(id_, stops, y1=None, y2=None):
    """A top-to-bottom gradient; stops are (offset, colour[, opacity])."""
    place = ' gradientUnits="userSpaceOnUse" x1="0" y1="%g" x2="0" y2="%g"' % (y1, y2) if y1 is not None \
        else ' x1="0" y1="0" x2="0" y2="1"'
    parts = ['<linearGradient id="%s"%s>' % (id_, place)]
    for stop in stops:
        opacity = ' stop-opacity="%g"' % stop[2] if len(stop) > 2 else ""
        parts.append('<stop offset="%g" stop-color="%s"%s/>' % (stop[0], stop[1], opacity))
    parts.append("</linearGradient>")
    return "".join(parts)


def radial(id_, cx, cy, r, stops):
    parts = ['<radialGradient id="%s" gradientUnits="userSpaceOnUse" cx="%g" cy="%g" r="%g">' % (id_, cx, cy, r)]
    for stop in stops:
        opacity = ' stop-opacity="%g"' % stop[2] if len(stop) > 2 else ""
        parts.append('<stop offset="%g" stop-color="%s"%s/>' % (stop[0], stop[1], opacity))
    parts.append("</radialGradient>")
    return "".join(parts)


def label(x, y, size, colour, text, anchor="middle", weight="bold", spacing=0):
    extra = ' letter-spacing="%g"' % spacing if spacing else ""
    return ('<text x="%g" y="%g" text-anchor="%s" font-family="%s" font-weight="%s" font-size="%g" fill="%s"%s>%s</text>'
            % (x, y, anchor, FONT, weight, size, colour, extra, text))


# Dark and lit faces of every push button, shared so that all controls agree.
def face_gradients(svg, height):
    svg.define(vertical("dark", [(0, FACE_TOP), (1, FACE_BOTTOM)]))
    svg.define(vertical("lit", [(0, AMBER_LIGHT), (0.45, AMBER), (1, AMBER_DEEP)]))
    svg.define(vertical("shine", [(0, "#ffffff", 0.10), (1, "#ffffff", 0)]))
    svg.define(vertical("litShine", [(0, "#ffffff", 0.45), (1, "#ffffff", 0)]))
    svg.define(vertical("sunk", [(0, "#000000", 0.35), (1, "#000000", 0)]))


def face(svg, x, y, w, h, r, down, edge=None):
    """A rounded key: dark with a bronze edge at rest, amber when held."""
    if down:
        svg.add('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="url(#lit)" stroke="%s" stroke-width="2"/>'
                % (x, y, w, h, r, AMBER_PALE))
        svg.add('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="url(#sunk)"/>'
                % (x + 1, y + 1, w - 2, min(h - 2, 14), max(r - 1, 0)))
    else:
        svg.add('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="url(#dark)" stroke="%s" stroke-width="2"/>'
                % (x, y, w, h, r, edge or BRONZE))
        svg.add('<rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="url(#shine)"/>'
                % (x + 3, y + 3, w - 6, min(h - 6, h * 0.45), max(r - 3, 0)))


def mark(down):
    """The colour of a symbol on a key."""
    return SMOKE if down else AMBER


# ---------------------------------------------------------- pictures ----

def top_bar_background(svg, w, h):
    svg.define(vertical("bar", [(0, TOP_BAR_FROM), (1, TOP_BAR_TO)]))
    svg.add('<rect width="%d" height="%d" fill="url(#bar)"/>' % (w, h))
    svg.add('<rect y="%d" width="%d" height="2" fill="%s"/>' % (h - 2, w, BRONZE))


def top_bar(w, h):
    svg = Svg(w, h, "Top bar: the name beside a small pad of the five slots, on a dark strip "
                    "the close and about keys continue.")
    top_bar_background(svg, w, h)
    svg.define(vertical("name", [(0, AMBER_PALE), (0.4, AMBER), (1, AMBER_DARK)], 12, 38))
    # The five slots as a cross of small tiles, as on the splash's phone.
    tiles = [(21, 9), (9, 21), (33, 21), (21, 33), (21, 21)]
    for x, y in tiles:
        svg.add('<rect x="%d" y="%d" width="10" height="10" rx="2.5" fill="%s"/>' % (x, y, AMBER if (x, y) != (21, 21) else AMBER_PALE))
    svg.add(label(54, 35, 26, "url(#name)", "Jostlepad", anchor="start", spacing=-0.5))
    return svg


def top_key(w, h, down, symbol):
    svg = Svg(w, h, "Top bar key, %s: %s." % ("held" if down else "at rest", symbol))
    top_bar_background(svg, w, h)
    face_gradients(svg, h)
    if down:
        face(svg, 5, 5, w - 10, h - 12, 10, True)
    colour = mark(down)
    cx, cy = w / 2, (h - 2) / 2
    if symbol == "close":
        svg.add('<path d="M%g %g L%g %g M%g %g L%g %g" stroke="%s" stroke-width="4" stroke-linecap="round"/>'
                % (cx - 9, cy - 9, cx + 9, cy + 9, cx + 9, cy - 9, cx - 9, cy + 9, colour))
    else:
        svg.add('<circle cx="%g" cy="%g" r="14" fill="none" stroke="%s" stroke-width="3"/>' % (cx, cy, colour))
        svg.add('<circle cx="%g" cy="%g" r="2.6" fill="%s"/>' % (cx, cy - 6.5, colour))
        svg.add('<rect x="%g" y="%g" width="4.4" height="11" rx="1.5" fill="%s"/>' % (cx - 2.2, cy - 2, colour))
    return svg


def bottom_bar_background(svg, w, h):
    svg.define(vertical("bottomBar", [(0, BAR_FROM), (1, BAR_TO)]))
    svg.add('<rect width="%d" height="%d" fill="url(#bottomBar)"/>' % (w, h))
    svg.add('<rect width="%d" height="2" fill="%s"/>' % (w, BAR_TOP_LINE))


def bottom_bar(w, h):
    svg = Svg(w, h, "Bottom bar: behind the tabs, and behind the wide keys of the About page "
                    "and the sound browser. It changes only from top to bottom, so those keys can "
                    "be cut out against it.")
    bottom_bar_background(svg, w, h)
    return svg


def tab_icon(svg, kind, cx, cy, colour):
    if kind == "Home":
        # A house.
        svg.add('<path d="M%g %g L%g %g L%g %g" fill="none" stroke="%s" stroke-width="4" '
                'stroke-linecap="round" stroke-linejoin="round"/>'
                % (cx - 22, cy - 1, cx, cy - 20, cx + 22, cy - 1, colour))
        svg.add('<path d="M%g %g V%g H%g V%g" fill="none" stroke="%s" stroke-width="4" stroke-linejoin="round"/>'
                % (cx - 15, cy - 6, cy + 18, cx + 15, cy - 6, colour))
        svg.add('<rect x="%g" y="%g" width="9" height="13" rx="1.5" fill="%s"/>' % (cx - 4.5, cy + 5, colour))
    elif kind == "Sounds":
        # A speaker and its sound.
        svg.add('<path d="M%g %g H%g L%g %g V%g L%g %g H%g Z" fill="%s"/>'
                % (cx - 20, cy - 7, cx - 12, cx - 1, cy - 17, cy + 17, cx - 12, cy + 7, cx - 20, colour))
        svg.add('<path d="M%g %g A10 10 0 0 1 %g %g" fill="none" stroke="%s" stroke-width="3.5" stroke-linecap="round"/>'
                % (cx + 6, cy - 8, cx + 6, cy + 8, colour))
        svg.add('<path d="M%g %g A18 18 0 0 1 %g %g" fill="none" stroke="%s" stroke-width="3.5" stroke-linecap="round"/>'
                % (cx + 12, cy - 15, cx + 12, cy + 15, colour))
    else:
        # Three sliders.
        for i, knob in enumerate((-8, 9, -2)):
            y = cy - 14 + 14 * i
            svg.add('<rect x="%g" y="%g" width="44" height="4" rx="2" fill="%s"/>' % (cx - 22, y - 2, colour))
            svg.add('<circle cx="%g" cy="%g" r="6" fill="%s" stroke="%s" stroke-width="2"/>'
                    % (cx + knob, y, BAR_FROM, colour))


def tab(w, h, kind, down):
    state = "selected (checked and locked)" if down else "not selected"
    svg = Svg(w, h, "Bottom bar tab %s, %s." % (kind, state))
    bottom_bar_background(svg, w, h)
    if down:
        svg.define(radial("glow", w / 2, 0, w * 0.62, [(0, AMBER, 0.30), (0.6, AMBER, 0.08), (1, AMBER, 0)]))
        svg.add('<rect y="2" width="%d" height="%d" fill="url(#glow)"/>' % (w, h - 2))
        svg.add('<rect x="22" y="0" width="%d" height="6" rx="3" fill="%s"/>' % (w - 44, AMBER))
    colour = AMBER if down else MUTED
    tab_icon(svg, kind, w / 2, 44, colour)
    svg.add(label(w / 2, 92, 21, AMBER_PALE if down else MUTED, kind))
    # Hairlines between the tabs.
    svg.add('<rect x="%d" y="20" width="1" height="%d" fill="#2a261a"/>' % (w - 1, h - 40))
    svg.add('<rect x="0" y="20" width="1" height="%d" fill="#000000"/>' % (h - 40))
    return svg


# The Home grid: slot n's key points the way its jerk goes.
GRID_KEYS = {
    "L1C2": "up", "L2C3": "right", "L3C2": "down", "L2C1": "left", "L2C2": "centre",
}


def chevron(cx, cy, way, size, colour, width=5):
    d = {
        "up": (cx - size, cy + size / 2, cx, cy - size / 2, cx + size, cy + size / 2),
        "down": (cx - size, cy - size / 2, cx, cy + size / 2, cx + size, cy - size / 2),
        "left": (cx + size / 2, cy - size, cx - size / 2, cy, cx + size / 2, cy + size),
        "right": (cx - size / 2, cy - size, cx + size / 2, cy, cx - size / 2, cy + size),
    }[way]
    return ('<path d="M%g %g L%g %g L%g %g" fill="none" stroke="%s" stroke-width="%g" '
            'stroke-linecap="round" stroke-linejoin="round"/>' % (d + (colour, width)))


def grid_key(w, h, cell, down):
    way = GRID_KEYS[cell]
    svg = Svg(w, h, "Home grid key %s (%s), %s. The middle 96 x 96 stays calm: the pack's "
                    "picture is drawn there." % (cell, way, "held" if down else "at rest"))
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    face_gradients(svg, h)
    colour = mark(down)
    if way == "centre":
        if down:
            svg.add('<circle cx="80" cy="80" r="72" fill="url(#lit)" stroke="%s" stroke-width="2"/>' % AMBER_PALE)
        else:
            svg.add('<circle cx="80" cy="80" r="72" fill="url(#dark)" stroke="%s" stroke-width="2"/>' % BRONZE)
            svg.add('<ellipse cx="80" cy="40" rx="52" ry="28" fill="url(#shine)"/>')
        # The Z jerk: rings around the picture, towards and away from the face.
        svg.add('<circle cx="80" cy="80" r="63" fill="none" stroke="%s" stroke-width="3" stroke-dasharray="10 8.5" '
                'opacity="%g"/>' % (colour, 0.9 if down else 0.75))
        return svg
    face(svg, 6, 6, 148, 148, 22, down)
    # Where the jerk goes, at the outer edge; a faint trail behind it.
    ends = {"up": (80, 19), "down": (80, 141), "left": (19, 80), "right": (141, 80)}
    cx, cy = ends[way]
    svg.add(chevron(cx, cy, way, 14, colour, 6))
    return svg


def grid_corner(w, h, cell):
    svg = Svg(w, h, "Home grid corner %s." % cell)
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    svg.define(vertical("streak", [(0, AMBER, 0.0), (1, AMBER, 0.55)]))
    if cell == "L1C1":
        # The phone being jerked, in outline, with its motion lines.
        svg.add('<g transform="rotate(-14 80 80)" fill="none" stroke="%s" stroke-width="3">'
                '<rect x="62" y="44" width="40" height="72" rx="8"/>'
                '<rect x="70" y="56" width="24" height="44" rx="2" stroke-width="2" opacity="0.6"/></g>' % BRONZE)
        for y, x0, length in ((58, 22, 28), (76, 16, 34), (94, 24, 26)):
            svg.add('<rect x="%d" y="%d" width="%d" height="4" rx="2" fill="%s" opacity="0.8"/>' % (x0, y, length, BRONZE))
    elif cell == "L1C3":
        # The sound it makes.
        for r, opacity in ((18, 1.0), (34, 0.7), (50, 0.45)):
            svg.add('<path d="M%g %g A%d %d 0 0 1 %g %g" fill="none" stroke="%s" stroke-width="4" '
                    'stroke-linecap="round" opacity="%g"/>'
                    % (58 + r * 0.5, 80 - r * 0.866, r, r, 58 + r * 0.5, 80 + r * 0.866, BRONZE, opacity))
        svg.add('<circle cx="52" cy="80" r="7" fill="%s"/>' % BRONZE)
    else:
        # Under the round switch: its name above and a ring around it.
        name = "PULSE" if cell == "L3C1" else "MOTION"
        svg.add(label(80, 30, 17, AMBER_DEEP, name, spacing=2))
        # Ticks: a vibration for the pulse, motion lines for the motion switch.
        if cell == "L3C1":
            svg.add('<path d="M58 138 l4 -8 l4 8 l4 -8 l4 8 l4 -8 l4 8 l4 -8 l4 8 l4 -8 l4 8" fill="none" '
                    'stroke="%s" stroke-width="2.5" stroke-linecap="round" stroke-linejoin="round"/>' % BRONZE)
        else:
            for y, x0, length in ((130, 62, 36), (138, 70, 20)):
                svg.add('<rect x="%d" y="%d" width="%d" height="3" rx="1.5" fill="%s"/>' % (x0, y, length, BRONZE))
    return svg


def round_switch(w, h, down):
    state = "on (checked)" if down else "off"
    svg = Svg(w, h, "Round switch of the Home grid, %s. The program writes On or Off in white "
                    "across the bottom half, so that half stays dark in both states." % state)
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    svg.define(vertical("disc", [(0, "#24201a"), (1, "#0b0a08")]))
    if down:
        svg.define(radial("halo", 36, 20, 20, [(0, AMBER, 0.8), (0.5, AMBER, 0.25), (1, AMBER, 0)]))
        svg.add('<circle cx="36" cy="36" r="33" fill="url(#disc)" stroke="%s" stroke-width="4"/>' % AMBER)
        svg.add('<circle cx="36" cy="20" r="18" fill="url(#halo)"/>')
        svg.add('<circle cx="36" cy="20" r="7" fill="%s" stroke="%s" stroke-width="1.5"/>' % (AMBER_PALE, AMBER))
    else:
        svg.add('<circle cx="36" cy="36" r="33" fill="url(#disc)" stroke="%s" stroke-width="4"/>' % BRONZE_DIM)
        svg.add('<circle cx="36" cy="20" r="7" fill="#1a1608" stroke="%s" stroke-width="1.5"/>' % BRONZE)
    return svg


SLOT_WAYS = ["up", "right", "down", "left", "centre"]


def sounds_column(w, h):
    svg = Svg(w, h, "Sounds page, left of the five rows: the way of each slot's jerk, "
                    "as on the Home grid, row by row.")
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    svg.add('<rect x="%g" y="40" width="2" height="%d" fill="%s"/>' % (w / 2 - 1, h - 80, "#1a1608"))
    for i, way in enumerate(SLOT_WAYS):
        cy = 48 + 96 * i
        cx = w / 2
        svg.add('<circle cx="%g" cy="%g" r="22" fill="%s" stroke="%s" stroke-width="2"/>' % (cx, cy, WELL, BRONZE))
        if way == "centre":
            svg.add('<circle cx="%g" cy="%g" r="12" fill="none" stroke="%s" stroke-width="3" stroke-dasharray="6 4.5"/>'
                    % (cx, cy, AMBER))
            svg.add('<circle cx="%g" cy="%g" r="4" fill="%s"/>' % (cx, cy, AMBER))
        else:
            svg.add(chevron(cx, cy, way, 8, AMBER, 4))
    return svg


def open_sound(w, h, down):
    svg = Svg(w, h, "Sounds page row, %s: the pack's picture in the well at the left, the "
                    "program's two lines of text to its right (white and grey at rest, black "
                    "when held)." % ("held" if down else "at rest"))
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    face_gradients(svg, h)
    face(svg, 3, 5, w - 6, h - 10, 14, down)
    # The well the 48 x 48 picture sits in (12, 24)-(60, 72).
    well = "#00000030" if down else WELL
    if down:
        svg.add('<rect x="8" y="20" width="56" height="56" rx="9" fill="#000000" fill-opacity="0.16"/>')
    else:
        svg.add('<rect x="8" y="20" width="56" height="56" rx="9" fill="%s" stroke="#2a261a" stroke-width="1"/>' % well)
    return svg


def play_key(w, h, down):
    svg = Svg(w, h, "Sounds page play key, %s." % ("held" if down else "at rest"))
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    face_gradients(svg, h)
    face(svg, 4, 5, w - 8, h - 10, 14, down)
    cx, cy = w / 2 + 3, h / 2
    svg.add('<path d="M%g %g L%g %g L%g %g Z" fill="%s" stroke="%s" stroke-width="3" stroke-linejoin="round"/>'
            % (cx - 10, cy - 15, cx + 15, cy, cx - 10, cy + 15, mark(down), mark(down)))
    return svg


def selector(w, h, held):
    state = {"": "at rest", "L": "left arrow held", "R": "right arrow held"}[held]
    svg = Svg(w, h, "Value selector, %s: arrow squares at both ends, the value between them "
                    "in the program's white." % state)
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    face_gradients(svg, h)
    face(svg, 2, 3, w - 4, h - 6, 14, False)
    svg.define('<clipPath id="inside"><rect x="3" y="4" width="%d" height="%d" rx="13"/></clipPath>' % (w - 6, h - 8))
    # The zones the pen steps with are h x h squares at the ends.
    for side, x in (("L", 0), ("R", w - h)):
        if held == side:
            svg.add('<rect x="%d" y="0" width="%d" height="%d" fill="url(#lit)" clip-path="url(#inside)"/>' % (x, h, h))
        colour = SMOKE if held == side else AMBER
        cx, cy = x + h / 2 + (2 if side == "L" else -2), h / 2
        if side == "L":
            svg.add('<path d="M%g %g L%g %g L%g %g Z" fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round"/>'
                    % (cx + 6, cy - 11, cx - 9, cy, cx + 6, cy + 11, colour, colour))
        else:
            svg.add('<path d="M%g %g L%g %g L%g %g Z" fill="%s" stroke="%s" stroke-width="2" stroke-linejoin="round"/>'
                    % (cx - 6, cy - 11, cx + 9, cy, cx - 6, cy + 11, colour, colour))
    for x in (h, w - h):
        svg.add('<rect x="%d" y="12" width="1" height="%d" fill="%s"/>' % (x, h - 24, BRONZE_DIM))
    return svg


def switch(w, h, down):
    svg = Svg(w, h, "On/off switch of the Settings page, %s." % ("on (checked)" if down else "off"))
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    face_gradients(svg, h)
    r = (h - 8) / 2
    if down:
        svg.add('<rect x="2" y="4" width="%d" height="%d" rx="%g" fill="url(#lit)" stroke="%s" stroke-width="2"/>'
                % (w - 4, h - 8, r, AMBER_PALE))
        svg.add('<circle cx="%g" cy="%g" r="%g" fill="%s" stroke="%s" stroke-width="2"/>'
                % (w - 2 - r, h / 2, r - 5, "#1c1a14", SMOKE))
        svg.add(label((w - 2 * r) / 2 + 2, h / 2 + 8, 22, SMOKE, "ON", spacing=1))
    else:
        svg.add('<rect x="2" y="4" width="%d" height="%d" rx="%g" fill="%s" stroke="%s" stroke-width="2"/>'
                % (w - 4, h - 8, r, WELL, BRONZE_DIM))
        svg.add('<circle cx="%g" cy="%g" r="%g" fill="url(#dark)" stroke="%s" stroke-width="2"/>'
                % (2 + r, h / 2, r - 5, MUTED))
        svg.add(label(2 * r + (w - 2 * r) / 2 - 2, h / 2 + 8, 22, MUTED, "OFF", spacing=1))
    return svg


def wide_key(w, h, down, background):
    svg = Svg(w, h, "Wide key, %s, for the program's caption (white at rest, black held)." % (
        "held" if down else "at rest"))
    face_gradients(svg, h)
    if background == "bar":
        # Where the key sits on the bottom bar: rows 24 to 83 of it.
        svg.define(vertical("barRows", [(0, BAR_FROM), (1, BAR_TO)], -24, 108 - 24))
        svg.add('<rect width="%d" height="%d" fill="url(#barRows)"/>' % (w, h))
    else:
        svg.add('<rect width="%d" height="%d" fill="%s"/>' % (w, h, BLACK))
    face(svg, 1, 1, w - 2, h - 2, 16, down, edge=AMBER_DEEP)
    return svg


def wide_key_shape(w, h):
    svg = Svg(w, h, "The outline of the wide key, for its mask.")
    svg.add('<rect x="0" y="0" width="%d" height="%d" rx="17" fill="#ffffff"/>' % (w, h))
    return svg


def separator(w, h):
    svg = Svg(w, h, "Line under each row of the sound browser.")
    svg.define('<linearGradient id="line" x1="0" y1="0" x2="1" y2="0">'
               '<stop offset="0" stop-color="%s"/><stop offset="0.12" stop-color="%s"/>'
               '<stop offset="0.88" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
               % (BLACK, BRONZE_DIM, BRONZE_DIM, BLACK))
    svg.add('<rect width="%d" height="%d" fill="url(#line)"/>' % (w, h))
    return svg


def selected_row(w, h):
    svg = Svg(w, h, "The selected row of the sound browser, tiled from its corner: amber, "
                    "for the program's black text.")
    svg.define(vertical("row", [(0, AMBER_LIGHT), (0.5, AMBER), (1, AMBER_DEEP)]))
    svg.add('<rect width="%d" height="%d" fill="url(#row)"/>' % (w, h))
    svg.add('<rect width="%d" height="1" fill="%s"/>' % (w, AMBER_PALE))
    svg.add('<rect y="%d" width="%d" height="1" fill="%s"/>' % (h - 1, w, AMBER_DARK))
    return svg


# ------------------------------------------------------------ the list ----
#
# (stem, width, height, what draws it, how it is used): the size is the one
# its control shows it at on 480 x 640 at 192 dpi, stretched or centred.

PICTURES = [
    ("Pic_TopBar_App", 480, 52, lambda w, h: top_bar(w, h), "top bar, stretched"),
    ("Btn_TopBar_Close_Up", 52, 52, lambda w, h: top_key(w, h, False, "close"), "close key, stretched"),
    ("Btn_TopBar_Close_Dn", 52, 52, lambda w, h: top_key(w, h, True, "close"), "close key held"),
    ("Btn_TopBar_About_Up", 52, 52, lambda w, h: top_key(w, h, False, "about"), "about key, stretched"),
    ("Btn_TopBar_About_Dn", 52, 52, lambda w, h: top_key(w, h, True, "about"), "about key held"),
    ("Chk_BottomBar_Home_Up", 160, 108, lambda w, h: tab(w, h, "Home", False), "Home tab, stretched"),
    ("Chk_BottomBar_Home_Dn", 160, 108, lambda w, h: tab(w, h, "Home", True), "Home tab selected"),
    ("Chk_BottomBar_Sounds_Up", 160, 108, lambda w, h: tab(w, h, "Sounds", False), "Sounds tab, stretched"),
    ("Chk_BottomBar_Sounds_Dn", 160, 108, lambda w, h: tab(w, h, "Sounds", True), "Sounds tab selected"),
    ("Chk_BottomBar_Settings_Up", 160, 108, lambda w, h: tab(w, h, "Settings", False), "Settings tab, stretched"),
    ("Chk_BottomBar_Settings_Dn", 160, 108, lambda w, h: tab(w, h, "Settings", True), "Settings tab selected"),
    ("Pic_SlotGrid_L1C1", 160, 160, lambda w, h: grid_corner(w, h, "L1C1"), "grid corner, stretched"),
    ("Pic_SlotGrid_L1C3", 160, 160, lambda w, h: grid_corner(w, h, "L1C3"), "grid corner, stretched"),
    ("Pic_SlotGrid_L3C1", 160, 160, lambda w, h: grid_corner(w, h, "L3C1"), "grid corner under the pulse switch"),
    ("Pic_SlotGrid_L3C3", 160, 160, lambda w, h: grid_corner(w, h, "L3C3"), "grid corner under the motion switch"),
    ("Btn_SlotGrid_L1C2_Up", 160, 160, lambda w, h: grid_key(w, h, "L1C2", False), "slot 1 key, centred"),
    ("Btn_SlotGrid_L1C2_Dn", 160, 160, lambda w, h: grid_key(w, h, "L1C2", True), "slot 1 key held"),
    ("Btn_SlotGrid_L2C3_Up", 160, 160, lambda w, h: grid_key(w, h, "L2C3", False), "slot 2 key, centred"),
    ("Btn_SlotGrid_L2C3_Dn", 160, 160, lambda w, h: grid_key(w, h, "L2C3", True), "slot 2 key held"),
    ("Btn_SlotGrid_L3C2_Up", 160, 160, lambda w, h: grid_key(w, h, "L3C2", False), "slot 3 key, centred"),
    ("Btn_SlotGrid_L3C2_Dn", 160, 160, lambda w, h: grid_key(w, h, "L3C2", True), "slot 3 key held"),
    ("Btn_SlotGrid_L2C1_Up", 160, 160, lambda w, h: grid_key(w, h, "L2C1", False), "slot 4 key, centred"),
    ("Btn_SlotGrid_L2C1_Dn", 160, 160, lambda w, h: grid_key(w, h, "L2C1", True), "slot 4 key held"),
    ("Btn_SlotGrid_L2C2_Up", 160, 160, lambda w, h: grid_key(w, h, "L2C2", False), "slot 5 key, centred"),
    ("Btn_SlotGrid_L2C2_Dn", 160, 160, lambda w, h: grid_key(w, h, "L2C2", True), "slot 5 key held"),
    ("Pic_OpenSoundsType", 70, 480, lambda w, h: sounds_column(w, h), "Sounds page column, centred"),
    ("BtnEx_OpenSound_Up", 325, 96, lambda w, h: open_sound(w, h, False), "Sounds page row, stretched"),
    ("BtnEx_OpenSound_Dn", 325, 96, lambda w, h: open_sound(w, h, True), "Sounds page row held"),
    ("Btn_PlaySound_Up", 85, 96, lambda w, h: play_key(w, h, False), "play key, stretched"),
    ("Btn_PlaySound_Dn", 85, 96, lambda w, h: play_key(w, h, True), "play key held"),
    ("Cmb_General_Up", 200, 60, lambda w, h: selector(w, h, ""), "value selector, stretched"),
    ("Cmb_General_Dn_L", 200, 60, lambda w, h: selector(w, h, "L"), "value selector, left arrow held"),
    ("Cmb_General_Dn_R", 200, 60, lambda w, h: selector(w, h, "R"), "value selector, right arrow held"),
    ("Chk_General_Up", 200, 60, lambda w, h: switch(w, h, False), "Settings switch off, stretched"),
    ("Chk_General_Dn", 200, 60, lambda w, h: switch(w, h, True), "Settings switch on"),
    ("Chk_General_2_Up", 72, 72, lambda w, h: round_switch(w, h, False), "Home round switch off, stretched"),
    ("Chk_General_2_Dn", 72, 72, lambda w, h: round_switch(w, h, True), "Home round switch on"),
    ("Btn_General_Up", 200, 60, lambda w, h: wide_key(w, h, False, "black"), "push key on the page's black"),
    ("Btn_General_Dn", 200, 60, lambda w, h: wide_key(w, h, True, "black"), "push key held"),
    ("Btn_BottomBar_Up", 200, 60, lambda w, h: wide_key(w, h, False, "bar"), "bar key, with its mask, centred"),
    ("Btn_BottomBar_Dn", 200, 60, lambda w, h: wide_key(w, h, True, "bar"), "bar key held"),
    ("Btn_BottomBar_Mask", 200, 60, lambda w, h: wide_key_shape(w, h), "bar key mask: black lets the key through"),
    ("Pic_BottomBar", 480, 108, lambda w, h: bottom_bar(w, h), "bottom bar, stretched"),
    ("Slt_Separator", 480, 1, lambda w, h: separator(w, h), "browser row line, stretched"),
    ("Slt_ItemSelected", 480, 80, lambda w, h: selected_row(w, h), "browser selected row, tiled"),
]

# Masked pictures: image stem -> the shape they are cut out with; the mask is
# black inside the shape, white outside, and the image black outside, as the
# program draws them (mask with AND, then image with OR).
MASKED = {"Btn_BottomBar_Up": "Btn_BottomBar_Mask", "Btn_BottomBar_Dn": "Btn_BottomBar_Mask"}
SHAPES = {"Btn_BottomBar_Mask"}

# ---------------------------------------------------------------- PNG ----


def png_chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)


def filtered(rows, bpp):
    """Each row with the PNG filter whose bytes sum smallest (as signed), the
    usual choice; ties go to the lower filter number."""
    out = bytearray()
    previous = bytes(len(rows[0]))
    for row in rows:
        candidates = []
        for kind in range(5):
            line = bytearray(len(row))
            for i, value in enumerate(row):
                left = row[i - bpp] if i >= bpp else 0
                up = previous[i]
                upper_left = previous[i - bpp] if i >= bpp else 0
                if kind == 0:
                    predictor = 0
                elif kind == 1:
                    predictor = left
                elif kind == 2:
                    predictor = up
                elif kind == 3:
                    predictor = (left + up) >> 1
                else:
                    p = left + up - upper_left
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                    predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else upper_left)
                line[i] = (value - predictor) & 0xFF
            cost = sum(v if v < 128 else 256 - v for v in line)
            candidates.append((cost, kind, line))
        cost, kind, line = min(candidates, key=lambda c: (c[0], c[1]))
        out.append(kind)
        out += line
        previous = row
    return bytes(out)


def write_png(path, width, height, rgb):
    """Opaque pixels (r, g, b): a palette PNG when 256 colours are enough,
    else 8-bit RGB. The loader drops alpha, so none is written."""
    colours = sorted(set(rgb))
    if len(colours) <= 256:
        index = {c: i for i, c in enumerate(colours)}
        rows = [bytes(index[c] for c in rgb[y * width:(y + 1) * width]) for y in range(height)]
        header = struct.pack(">IIBBBBB", width, height, 8, 3, 0, 0, 0)
        extra = png_chunk(b"PLTE", b"".join(bytes(c) for c in colours))
        data = filtered(rows, 1) if len(colours) > 16 else b"".join(b"\0" + r for r in rows)
    else:
        rows = [b"".join(bytes(c) for c in rgb[y * width:(y + 1) * width]) for y in range(height)]
        header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
        extra = b""
        data = filtered(rows, 3)
    body = b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + extra
    body += png_chunk(b"IDAT", zlib.compress(data, 9)) + png_chunk(b"IEND", b"")
    with open(path, "wb") as f:
        f.write(body)


def over_black(pixel):
    r, g, b, a = pixel
    return ((r * a + 127) // 255, (g * a + 127) // 255, (b * a + 127) // 255)


# ------------------------------------------------------------ Skin.txt ----

FONTS = [("Font14", 14, 500), ("Font16", 16, 500), ("Font18", 18, 500),
         ("Font14Semibold", 14, 600), ("Font16Semibold", 16, 600), ("Font18Semibold", 18, 600)]

COLOURS = [
    ("Background", BLACK, "pages, the sound browser's list"),
    ("Accent", AMBER, "marks on keys at rest, selected tabs, held and checked keys"),
    ("AccentEdge", BRONZE, "edges of keys at rest"),
    ("Face", FACE_TOP, "keys at rest, top (to %s at the bottom)" % FACE_BOTTOM),
    ("Muted", MUTED, "tabs that are not selected, switches that are off"),
    ("CaptionAtRest", "#ffffff", "the program's captions on keys at rest (file names #cccccc)"),
    ("CaptionHeld", "#000000", "the program's captions on held or checked keys"),
]


def description():
    lines = [
        "; Jostlepad default skin: amber on black, the look of the splash screen.",
        "; Made by tools/make-skin.sh from tools/art/skin/skin.py; edit those, not this.",
        "; The program reads the pictures by their fixed names; this file only describes them.",
        "",
        "[Skin]",
        "Name=Amber",
        "Screen=480x640",
        "Dpi=192",
        "",
        "[Fonts]",
        "; Asked for by name from the device's font mapper, which draws it with %s" % FONT,
        "Face=%s" % SKIN_FACE,
        "; size at 96 dpi, weight: 28, 32 and 36 pixels high at 192 dpi",
    ]
    for name, size, weight in FONTS:
        lines.append("%s=%d,%d" % (name, size, weight))
    lines += ["", "[Colours]"]
    for name, colour, use in COLOURS:
        lines.append("; %s" % use)
        lines.append("%s=%s" % (name, colour.lstrip("#").upper()))
    lines += ["", "[Pictures]", "; stem=width x height at which the control shows it; what it is"]
    for stem, w, h, _, use in PICTURES:
        lines.append("%s=%dx%d ; %s" % (stem, w, h, use))
    return "\r\n".join(lines) + "\r\n"


# ---------------------------------------------------------------- main ----


def make_svgs(work):
    for stem, w, h, draw, _ in PICTURES:
        with open(os.path.join(work, stem + ".svg"), "w", encoding="utf-8") as f:
            f.write(draw(w, h).text())


def finish(work, out):
    rendered = {}
    for stem, w, h, _, _ in PICTURES:
        image = read_png(os.path.join(work, stem + ".png"))
        if (image.width, image.height) != (w, h):
            sys.stderr.write("skin: %s rendered %dx%d, not %dx%d\n" % (stem, image.width, image.height, w, h))
            sys.exit(1)
        rendered[stem] = image
    for stem, w, h, _, _ in PICTURES:
        pixels = rendered[stem].pixels
        if stem in SHAPES:
            rgb = [(0, 0, 0) if p[3] else (255, 255, 255) for p in pixels]
        elif stem in MASKED:
            shape = rendered[MASKED[stem]].pixels
            rgb = [over_black(p) if s[3] else (0, 0, 0) for p, s in zip(pixels, shape)]
        else:
            rgb = [over_black(p) for p in pixels]
        write_png(os.path.join(out, stem + ".png"), w, h, rgb)
    with open(os.path.join(out, "Skin.txt"), "w", encoding="ascii", newline="") as f:
        f.write(description())


def main(argv):
    if len(argv) == 3 and argv[1] == "svg":
        make_svgs(argv[2])
    elif len(argv) == 4 and argv[1] == "finish":
        finish(argv[2], argv[3])
    else:
        sys.stderr.write(__doc__)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
