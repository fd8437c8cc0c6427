#!/usr/bin/python3
"""Build QanorEditSymbol, the music symbol font the score view draws with.

    /usr/bin/python3 tools/make_symbol_font.py OUTPUT.ttf [--digit-font PATH]

The note digits are copied from DejaVu Sans Bold (fonts-dejavu-core); every
other glyph is drawn here.  Run it with Debian's Python, which carries
python3-fonttools.

The layout never looks at ink: it measures each glyph as a box of
(advance width) x (ascent + descent) with the top of the box at the ascent,
centres digits in their boxes, sets accidentals flush against the digit they
precede, stacks octave dots on the box top, puts duration underlines at the
box bottom and uses a bar line's advance as the bar's width.  So every glyph
below is drawn to fill its box the way that placement expects, and no ink may
leave its box.
"""

import argparse
import math
import os
import sys
import tempfile

try:
    from fontTools.fontBuilder import FontBuilder
    from fontTools.pens.boundsPen import BoundsPen
    from fontTools.pens.cu2quPen import Cu2QuPen
    from fontTools.pens.transformPen import TransformPen
    from fontTools.pens.ttGlyphPen import TTGlyphPen
    from fontTools.ttLib import TTFont, TTLibError, newTable
    from fontTools.ttLib.tables._g_l_y_f import flagOverlapSimple
except ImportError as error:
    sys.exit(
        f"make_symbol_font.py: cannot import fontTools ({error}); install the "
        "Debian package python3-fonttools and run this script with /usr/bin/python3"
    )

FAMILY = "QanorEditSymbol"
VERSION = "1.000"
DEFAULT_DIGIT_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

# Fixed so that every rebuild writes the same bytes (seconds since 1904-01-01,
# the epoch of the 'head' table): 2025-01-01 00:00:00 UTC.
TIMESTAMP = 3818534400

UPM = 1000
# The box of every glyph is 1000 units tall.  The split puts the box centre
# where the centre of a digit falls when the digit stands on the baseline,
# so the digits keep their natural baseline and are still centred.
ASCENT = 880
DESCENT = 120
BOX_TOP = ASCENT
BOX_BOTTOM = -DESCENT
MID = (BOX_TOP + BOX_BOTTOM) / 2  # 380

# Digits, in font units.  DejaVu Sans Bold is
# narrowed a little so that its vertical stems come close to its horizontal
# bars in weight, which keeps dense rows of numbers even in colour.
DIGIT_INK_HEIGHT = 780
DIGIT_CONDENSE = 0.88
DIGIT_ADVANCE = 620

# Strokes shared between glyphs so that the symbols read as one family.
DASH_LENGTH = 500
DASH_THICKNESS = 125  # about the horizontal bar of a scaled digit
AUG_DOT_DIAMETER = 135
AUG_DOT_ADVANCE = 300

ACCIDENTAL_ADVANCE = 400
ACCIDENTAL_RIGHT = ACCIDENTAL_ADVANCE - 12  # ink stops just short of the digit

OCTAVE_DOT_ADVANCE = 700
OCTAVE_DOT_DIAMETER = 600

PAREN_ADVANCE = 350

BAR_THIN = 40
BAR_THICK = 120
BAR_GAP = 80          # between the two lines of a double, final or repeat bar
BAR_DOT = 110         # diameter of a repeat dot
BAR_DOT_GAP = 60      # between a repeat dot and the thin line next to it
# Every bar kind stands in the middle of its box, so that with the same space on both sides of
# the box a bar line stands as far from the note after it as from the note before it.
BAR_LEFT = 105        # room before the first line of every bar kind
BAR_RIGHT = 105       # and after the last
BAR_DOT_LOW = BOX_BOTTOM + 0.35 * UPM
BAR_DOT_HIGH = BOX_BOTTOM + 0.65 * UPM

KAPPA = 0.5522847498  # cubic Bezier handle length for a quarter circle


# --- outline construction -------------------------------------------------
#
# A contour is a start point and a list of segments, each ('L', p) or
# ('C', c1, c2, p); it is closed implicitly.  Contours are oriented here
# rather than by hand: TrueType fills by the non-zero rule with outer
# contours clockwise, so a hole must run the other way round.

def polygon(points):
    return (tuple(points[0]), [("L", tuple(p)) for p in points[1:]])


def rect(x0, y0, x1, y1):
    return polygon([(x0, y0), (x0, y1), (x1, y1), (x1, y0)])


def ellipse(cx, cy, rx, ry):
    kx, ky = rx * KAPPA, ry * KAPPA
    return (
        (cx - rx, cy),
        [
            ("C", (cx - rx, cy + ky), (cx - kx, cy + ry), (cx, cy + ry)),
            ("C", (cx + kx, cy + ry), (cx + rx, cy + ky), (cx + rx, cy)),
            ("C", (cx + rx, cy - ky), (cx + kx, cy - ry), (cx, cy - ry)),
            ("C", (cx - kx, cy - ry), (cx - rx, cy - ky), (cx - rx, cy)),
        ],
    )


def circle(cx, cy, diameter):
    return ellipse(cx, cy, diameter / 2, diameter / 2)


def stroke(p, q, width):
    """A straight stroke of the given width with square ends at p and q."""
    dx, dy = q[0] - p[0], q[1] - p[1]
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * width / 2, dx / length * width / 2
    return polygon([(p[0] + nx, p[1] + ny), (q[0] + nx, q[1] + ny),
                    (q[0] - nx, q[1] - ny), (p[0] - nx, p[1] - ny)])


def mirror_x(contour, axis):
    start, segments = contour
    flip = lambda p: (2 * axis - p[0], p[1])
    return (flip(start), [(s[0],) + tuple(flip(p) for p in s[1:]) for s in segments])


def _flatten(contour):
    start, segments = contour
    points, current = [start], start
    for segment in segments:
        if segment[0] == "L":
            current = segment[1]
            points.append(current)
        else:
            _, c1, c2, end = segment
            for i in range(1, 9):
                t = i / 8
                u = 1 - t
                points.append(tuple(
                    u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                    for a, b, c, d in zip(current, c1, c2, end)))
            current = end
    return points


def _signed_area(contour):
    pts = _flatten(contour)
    return sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(pts, pts[1:] + pts[:1])) / 2


def _reversed(contour):
    start, segments = contour
    # Walk the segments backwards; each segment's start is the previous end.
    ends = [start] + [s[-1] for s in segments]
    out = []
    for i in range(len(segments) - 1, -1, -1):
        s, target = segments[i], ends[i]
        out.append(("L", target) if s[0] == "L" else ("C", s[2], s[1], target))
    return (ends[-1], out)


def oriented(contour, hole=False):
    clockwise = _signed_area(contour) < 0
    return contour if clockwise != hole else _reversed(contour)


class Glyph:
    """Outlines of one drawn glyph: filled contours and holes cut from them."""

    def __init__(self, overlapping=False):
        self.contours = []
        # Set when filled contours overlap one another.  That is legal in
        # TrueType and fills correctly by the non-zero rule; the flag is for
        # rasterisers that only handle overlaps when a glyph declares them.
        self.overlapping = overlapping

    def fill(self, *contours):
        self.contours.extend(oriented(c) for c in contours)
        return self

    def cut(self, *contours):
        self.contours.extend(oriented(c, hole=True) for c in contours)
        return self

    def build(self):
        pen = TTGlyphPen(None)
        quad = Cu2QuPen(pen, max_err=0.5)
        for start, segments in self.contours:
            quad.moveTo(start)
            for segment in segments:
                if segment[0] == "L":
                    quad.lineTo(segment[1])
                else:
                    quad.curveTo(*segment[1:])
            quad.closePath()
        glyph = pen.glyph()
        if self.overlapping and glyph.numberOfContours > 0:
            glyph.flags[0] |= flagOverlapSimple
        return glyph


# --- the glyphs -----------------------------------------------------------

def digit_glyphs(path):
    """Note digits 0..7, copied from the source font, scaled into the box."""
    try:
        source = TTFont(path)
        cmap = source.getBestCmap() or {}
        glyph_set = source.getGlyphSet()
        names = [cmap[ord(str(d))] for d in range(8)]
    except (KeyError, TTLibError, OSError) as error:
        raise SystemExit(
            f"make_symbol_font.py: cannot take the digits 0-7 from {path}: {error!r}")

    # Scale and place all digits alike (from their common ink bounds) so
    # that they share one baseline, one height and the source font's own
    # optical centring within a common advance.
    bounds = BoundsPen(glyph_set)
    for name in names:
        glyph_set[name].draw(bounds)
    x_min, y_min, x_max, y_max = bounds.bounds
    sy = DIGIT_INK_HEIGHT / (y_max - y_min)
    sx = sy * DIGIT_CONDENSE
    if (x_max - x_min) * sx > DIGIT_ADVANCE:
        raise SystemExit(f"make_symbol_font.py: the digits of {path} are too wide for "
                         f"the digit advance of {DIGIT_ADVANCE}")
    dx = (DIGIT_ADVANCE - (x_max - x_min) * sx) / 2 - x_min * sx
    dy = MID - (y_min + y_max) / 2 * sy

    out = {}
    for d, name in enumerate(names):
        pen = TTGlyphPen(None)
        glyph_set[name].draw(Cu2QuPen(TransformPen(pen, (sx, 0, 0, sy, dx, dy)), max_err=0.5))
        out[f"digit{d}"] = (pen.glyph(), DIGIT_ADVANCE)
    return out


def dash_glyph():
    x0 = (DIGIT_ADVANCE - DASH_LENGTH) / 2
    g = Glyph().fill(rect(x0, MID - DASH_THICKNESS / 2,
                          x0 + DASH_LENGTH, MID + DASH_THICKNESS / 2))
    return g.build(), DIGIT_ADVANCE


def aug_dot_glyph():
    g = Glyph().fill(circle(AUG_DOT_ADVANCE / 2, MID, AUG_DOT_DIAMETER))
    return g.build(), AUG_DOT_ADVANCE


def octave_dot_glyph():
    # Drawn at a sixth of the note size, where its box is all there is of it:
    # the dot fills the box so that stacking boxes stacks dots closely.
    g = Glyph().fill(circle(OCTAVE_DOT_ADVANCE / 2, MID, OCTAVE_DOT_DIAMETER))
    return g.build(), OCTAVE_DOT_ADVANCE


def breath_glyph():
    # A small "V" high in the box, where it sits above the note row's digits.
    advance = 300
    top, bottom = 840, 600
    half = 95             # half the width at the top
    arm = 44              # horizontal thickness of the left arm at the top
    arm_right = 56        # the right arm is a little heavier, as when written
    foot = 26             # half the width of the blunt point at the bottom
    cx = advance / 2
    g = Glyph().fill(polygon([
        (cx - half, top), (cx - half + arm, top),
        (cx, bottom + (top - bottom) * 0.30),
        (cx + half - arm_right, top), (cx + half, top),
        (cx + foot, bottom), (cx - foot, bottom),
    ]))
    return g.build(), advance


def paren_glyphs():
    top, bottom = 840, -80
    mid = (top + bottom) / 2
    outer, inner = 100, 190  # x of the outer and inner curve at the middle
    tip_out, tip_in = 285, 330  # x of the two corners of each tip
    span = (top - bottom) / 2
    left = Glyph().fill((
        (tip_out, top),
        [
            ("C", (tip_out - 110, top - span * 0.28), (outer, mid + span * 0.55), (outer, mid)),
            ("C", (outer, mid - span * 0.55), (tip_out - 110, bottom + span * 0.28), (tip_out, bottom)),
            ("L", (tip_in, bottom)),
            ("C", (tip_in - 95, bottom + span * 0.32), (inner, mid - span * 0.5), (inner, mid)),
            ("C", (inner, mid + span * 0.5), (tip_in - 95, top - span * 0.32), (tip_in, top)),
        ],
    ))
    right = Glyph()
    right.fill(*(mirror_x(c, PAREN_ADVANCE / 2) for c in left.contours))
    return {"parenleft": (left.build(), PAREN_ADVANCE),
            "parenright": (right.build(), PAREN_ADVANCE)}


# Accidentals sit in the upper part of the box, smaller than the digit, with
# their ink ending just short of their right edge: the layout sets them flush
# against the digit that follows.
ACC_TOP = 850
ACC_BOTTOM = 310


def sharp_contours(right):
    width = 225
    left = right - width
    stem = 44
    beam = 82
    rise = 60                       # beams climb to the right
    stem_l = left + 52
    stem_r = right - 52 - stem
    beam_low, beam_high = 490, 670  # centre heights of the beams, at mid-width
    out = [
        rect(stem_l, ACC_BOTTOM, stem_l + stem, ACC_TOP - 30),
        rect(stem_r, ACC_BOTTOM + 30, stem_r + stem, ACC_TOP),
    ]
    for y in (beam_low, beam_high):
        out.append(polygon([
            (left, y - rise / 2 - beam / 2), (left, y - rise / 2 + beam / 2),
            (right, y + rise / 2 + beam / 2), (right, y + rise / 2 - beam / 2),
        ]))
    return out


def sharp_glyph():
    g = Glyph(overlapping=True).fill(*sharp_contours(ACCIDENTAL_RIGHT))
    return g.build(), ACCIDENTAL_ADVANCE


def double_sharp_glyph():
    size = 250
    right = ACCIDENTAL_RIGHT
    left = right - size
    bottom = 455
    top = bottom + size
    head = 92     # the square blobs at the four ends
    bar = 56      # the strokes of the cross
    g = Glyph(overlapping=True)
    inset = head * 0.5
    g.fill(stroke((left + inset, bottom + inset), (right - inset, top - inset), bar),
           stroke((left + inset, top - inset), (right - inset, bottom + inset), bar))
    for x, y in ((left, bottom), (right - head, bottom), (left, top - head), (right - head, top - head)):
        g.fill(rect(x, y, x + head, y + head))
    return g.build(), ACCIDENTAL_ADVANCE


def flat_contours(right, width=170):
    """A flat whose bowl ends at x = right: the outline and its counter."""
    stem = 44
    left = right - width
    s1 = left + stem
    b = ACC_BOTTOM
    h = ACC_TOP - ACC_BOTTOM
    x = lambda f: left + f * width
    y = lambda f: b + f * h
    fill = (
        (left, b),
        [
            ("L", (left, ACC_TOP)),
            ("L", (s1, ACC_TOP)),
            ("L", (s1, y(0.42))),
            ("C", (s1 + 0.12 * width, y(0.50)), (x(0.55), y(0.56)), (x(0.74), y(0.55))),
            ("C", (x(0.92), y(0.54)), (right, y(0.46)), (right, y(0.38))),
            ("C", (right, y(0.25)), (x(0.62), y(0.12)), (s1, b)),
        ],
    )
    hole = (
        (s1, y(0.10)),
        [
            ("C", (x(0.45), y(0.17)), (x(0.70), y(0.28)), (x(0.70), y(0.37))),
            ("C", (x(0.70), y(0.43)), (x(0.60), y(0.46)), (x(0.48), y(0.45))),
            ("C", (x(0.40), y(0.44)), (s1 + 10, y(0.40)), (s1, y(0.35))),
        ],
    )
    return fill, hole


def flat_glyph():
    fill, hole = flat_contours(ACCIDENTAL_RIGHT)
    return Glyph().fill(fill).cut(hole).build(), ACCIDENTAL_ADVANCE


def double_flat_glyph():
    width = 160
    # The right flat's stem stands where the left flat's bowl ends.
    fill_r, hole_r = flat_contours(ACCIDENTAL_RIGHT, width)
    fill_l, hole_l = flat_contours(ACCIDENTAL_RIGHT - width + 24, width)
    g = Glyph(overlapping=True).fill(fill_l, fill_r).cut(hole_l, hole_r)
    return g.build(), ACCIDENTAL_ADVANCE


def natural_glyph():
    right = ACCIDENTAL_RIGHT
    width = 190
    left = right - width
    stem = 44
    beam = 72
    rise = 44
    low, high = 475, 660  # centre heights of the beams
    g = Glyph(overlapping=True)
    g.fill(rect(left, low - beam / 2 - rise / 2, left + stem, ACC_TOP),
           rect(right - stem, ACC_BOTTOM, right, high + beam / 2 + rise / 2))
    for y in (low, high):
        g.fill(polygon([
            (left, y - rise / 2 - beam / 2), (left, y - rise / 2 + beam / 2),
            (right, y + rise / 2 + beam / 2), (right, y + rise / 2 - beam / 2),
        ]))
    return g.build(), ACCIDENTAL_ADVANCE


def bar_glyph(parts):
    """A bar line from left to right: 'thin', 'thick', 'dashed' or 'dots'.

    Lines run the full height of the box: the bar is drawn larger than the
    notes with its box centred on the note row, so its box is the row."""
    g = Glyph()
    x = BAR_LEFT
    previous = None
    for part in parts:
        if previous is not None:
            x += BAR_DOT_GAP if "dots" in (part, previous) else BAR_GAP
        if part == "thin":
            g.fill(rect(x, BOX_BOTTOM, x + BAR_THIN, BOX_TOP))
            x += BAR_THIN
        elif part == "thick":
            g.fill(rect(x, BOX_BOTTOM, x + BAR_THICK, BOX_TOP))
            x += BAR_THICK
        elif part == "dashed":
            count, length = 8, 80
            gap = (BOX_TOP - BOX_BOTTOM - count * length) / (count - 1)
            for i in range(count):
                y = BOX_TOP - i * (length + gap)
                g.fill(rect(x, y - length, x + BAR_THIN, y))
            x += BAR_THIN
        elif part == "dots":
            for y in (BAR_DOT_LOW, BAR_DOT_HIGH):
                g.fill(circle(x + BAR_DOT / 2, y, BAR_DOT))
            x += BAR_DOT
        previous = part
    return g.build(), round(x + BAR_RIGHT)


BAR_KINDS = [
    ("barSingle", ["thin"]),
    ("barHeavy", ["thick"]),
    ("barDouble", ["thin", "thin"]),
    ("barRepeatBegin", ["thick", "thin", "dots"]),
    ("barRepeatEnd", ["dots", "thin", "thick"]),
    ("barDashed", ["dashed"]),
    ("barFinal", ["thin", "thick"]),
]


# The notes of a metronome mark's beat ("♩=96"), drawn for the title block's text: a head
# tilted up to the right on the baseline and a stem to the height of the text's capitals, so
# that the note stands as tall as the number beside it.
NOTE_HEAD_RX, NOTE_HEAD_RY = 150, 105
NOTE_HEAD_TILT = math.radians(20)
NOTE_STEM = 42
NOTE_TOP = 760


def tilted_ellipse(cx, cy, rx, ry, angle):
    """An ellipse turned by `angle` about its centre (Bezier control points turn exactly)."""
    start, segments = ellipse(0, 0, rx, ry)
    c, s = math.cos(angle), math.sin(angle)

    def turn(p):
        return (cx + p[0] * c - p[1] * s, cy + p[0] * s + p[1] * c)

    return (turn(start), [(seg[0],) + tuple(turn(q) for q in seg[1:]) for seg in segments])


def note_glyph(kind):
    """`kind` is "quarter", "half" or "eighth"."""
    cx, cy = NOTE_HEAD_RX + 20, NOTE_HEAD_RY + 5
    head = tilted_ellipse(cx, cy, NOTE_HEAD_RX, NOTE_HEAD_RY, NOTE_HEAD_TILT)
    # The stem rises from the right of the head, where the tilted head is widest.
    right = cx + NOTE_HEAD_RX * math.cos(NOTE_HEAD_TILT) - 4
    stem = rect(right - NOTE_STEM, cy + 20, right, NOTE_TOP)
    g = Glyph(overlapping=True).fill(head, stem)
    if kind == "half":
        g.cut(tilted_ellipse(cx, cy, NOTE_HEAD_RX * 0.62, NOTE_HEAD_RY * 0.48,
                             NOTE_HEAD_TILT + math.radians(12)))
    advance = int(right + 60)
    if kind == "eighth":
        x0 = right - NOTE_STEM / 2
        g.fill((
            (x0, NOTE_TOP),
            [
                ("C", (x0 + 20, NOTE_TOP - 120), (x0 + 200, NOTE_TOP - 180), (x0 + 150, NOTE_TOP - 420)),
                ("C", (x0 + 175, NOTE_TOP - 250), (x0 + 60, NOTE_TOP - 200), (x0, NOTE_TOP - 170)),
            ],
        ))
        advance = int(x0 + 240)
    return g.build(), advance


def notdef_glyph():
    g = Glyph().fill(rect(60, 0, 440, 700)).cut(rect(110, 50, 390, 650))
    return g.build(), 500


def empty_glyph():
    return TTGlyphPen(None).glyph()


def build_font(digit_font):
    glyphs = {".notdef": notdef_glyph(), "space": (empty_glyph(), 250)}
    cmap = {0x20: "space"}

    for kind, (name, parts) in enumerate(BAR_KINDS):
        glyphs[name] = bar_glyph(parts)
        cmap[0xF029 + kind] = name

    for d, entry in digit_glyphs(digit_font).items():
        glyphs[d] = entry
        cmap[0xF030 + int(d[-1])] = d

    accidentals = [
        ("sharp", sharp_glyph()), ("doublesharp", double_sharp_glyph()),
        ("flat", flat_glyph()), ("doubleflat", double_flat_glyph()),
        ("natural", natural_glyph()),
    ]
    for i, (name, entry) in enumerate(accidentals):
        glyphs[name] = entry
        cmap[0xF03A + i] = name

    glyphs["augmentationDot"] = aug_dot_glyph()
    glyphs["dash"] = dash_glyph()
    glyphs["breath"] = breath_glyph()
    glyphs["octaveDot"] = octave_dot_glyph()
    glyphs.update(paren_glyphs())
    for offset, name in enumerate(["augmentationDot", "dash", "breath", "octaveDot",
                                   "parenleft", "parenright"]):
        cmap[0xF03F + offset] = name

    for offset, kind in enumerate(["quarter", "half", "eighth"]):
        name = kind + "Note"
        glyphs[name] = note_glyph(kind)
        cmap[0xF045 + offset] = name

    order = list(glyphs)
    fb = FontBuilder(UPM, isTTF=True)
    fb.font.recalcTimestamp = False
    fb.setupGlyphOrder(order)
    fb.setupCharacterMap(cmap)
    fb.setupGlyf({name: glyphs[name][0] for name in order})
    glyf = fb.font["glyf"]
    metrics = {}
    for name in order:
        g = glyf[name]
        g.recalcBounds(glyf)
        metrics[name] = (glyphs[name][1], g.xMin if g.numberOfContours else 0)
    fb.setupHorizontalMetrics(metrics)
    fb.setupHorizontalHeader(ascent=ASCENT, descent=-DESCENT, lineGap=0)

    digit_top = glyf["digit1"].yMax
    fb.setupOS2(
        version=4,
        achVendID="QNED",
        usWeightClass=400,
        fsType=0,
        # bit 6 REGULAR, bit 7 USE_TYPO_METRICS: take the box from the typo
        # metrics below, which equal hhea and the win metrics.
        fsSelection=(1 << 6) | (1 << 7),
        sTypoAscender=ASCENT,
        sTypoDescender=-DESCENT,
        sTypoLineGap=0,
        usWinAscent=ASCENT,
        usWinDescent=DESCENT,
        sxHeight=digit_top,
        sCapHeight=digit_top,
        usDefaultChar=0,
        usBreakChar=0x20,
        usMaxContext=0,
        ulUnicodeRange1=1,            # Basic Latin (the space)
        ulUnicodeRange2=1 << (60 - 32),  # Private Use Area
        ulCodePageRange1=1,           # Latin 1
    )
    fb.setupPost(keepGlyphNames=True)
    fb.setupHead(unitsPerEm=UPM, fontRevision=float(VERSION),
                 created=TIMESTAMP, modified=TIMESTAMP)
    fb.setupNameTable({
        "copyright": (
            "Digits derived from DejaVu Sans Bold: Copyright (c) 2003 by Bitstream, "
            "Inc. All Rights Reserved. Bitstream Vera is a trademark of Bitstream, "
            "Inc. DejaVu changes are in public domain. Other glyphs drawn for "
            "QanorEdit."
        ),
        "familyName": FAMILY,
        "styleName": "Regular",
        "uniqueFontIdentifier": f"{FAMILY} {VERSION}",
        "fullName": FAMILY,
        "version": f"Version {VERSION}",
        "psName": FAMILY,
        "licenseDescription": (
            "Distributed under the Bitstream Vera font licence; see "
            "LICENSE-QanorEditSymbol.txt installed next to this font."
        ),
    })
    gasp = newTable("gasp")
    gasp.version = 1
    gasp.gaspRange = {0xFFFF: 0x000F}
    fb.font["gasp"] = gasp
    return fb.font


def main():
    parser = argparse.ArgumentParser(description="Build the QanorEditSymbol font.")
    parser.add_argument("output", help="TrueType file to write")
    parser.add_argument("--digit-font", default=DEFAULT_DIGIT_FONT,
                        help="font the note digits are copied from (default: %(default)s)")
    args = parser.parse_args()

    if not os.path.isfile(args.digit_font):
        sys.exit(
            f"make_symbol_font.py: the font the note digits are copied from is missing: "
            f"{args.digit_font}\n"
            "Install the Debian package fonts-dejavu-core, or pass --digit-font."
        )

    font = build_font(args.digit_font)

    # Write beside the target and rename, so that a failed build never leaves
    # a truncated font that looks up to date.
    directory = os.path.dirname(os.path.abspath(args.output))
    os.makedirs(directory, exist_ok=True)
    fd, temporary = tempfile.mkstemp(prefix=".symbol-font-", suffix=".ttf", dir=directory)
    try:
        with os.fdopen(fd, "wb") as stream:
            font.save(stream)
        os.chmod(temporary, 0o644)
        os.replace(temporary, args.output)
    except BaseException:
        os.unlink(temporary)
        raise


if __name__ == "__main__":
    main()
