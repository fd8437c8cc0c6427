#!/usr/bin/python3
"""Checks that the QanorEditSymbol font keeps the promises the layout relies on.

    /usr/bin/python3 tools/check_symbol_font.py [--font BUILT.ttf] [unittest options]

Without --font the font is built afresh from tools/make_symbol_font.py into a
temporary folder.  The layout measures glyph boxes, never ink, so the checks
look at where the ink actually falls against those boxes, and at the shapes
the score reader has to tell apart (which bar line is which, which way a
parenthesis opens), by sampling the filled outline the way a rasteriser
fills it.
"""

import argparse
import os
import subprocess
import sys
import tempfile
import unittest

from fontTools.misc.timeTools import timestampNow
from fontTools.pens.basePen import BasePen
from fontTools.ttLib import TTFont

HERE = os.path.dirname(os.path.abspath(__file__))
BUILDER = os.path.join(HERE, "make_symbol_font.py")

FAMILY = "QanorEditSymbol"
BARS = range(0xF029, 0xF030)          # kinds 0..6
DIGITS = range(0xF030, 0xF038)        # 0..7
SHARP, DOUBLE_SHARP, FLAT, DOUBLE_FLAT, NATURAL = range(0xF03A, 0xF03F)
AUG_DOT, DASH, BREATH, OCTAVE_DOT, PAREN_OPEN, PAREN_CLOSE = range(0xF03F, 0xF045)
QUARTER_NOTE, HALF_NOTE, EIGHTH_NOTE = range(0xF045, 0xF048)
REQUIRED = list(BARS) + list(DIGITS) + list(range(0xF03A, 0xF048))

_font_path = None
_temp = None


def build(output, *extra):
    return subprocess.run([sys.executable, BUILDER, output, *extra],
                          capture_output=True, text=True)


def font_path():
    global _font_path, _temp
    if _font_path is None:
        _temp = tempfile.TemporaryDirectory()
        _font_path = os.path.join(_temp.name, "QanorEditSymbol.ttf")
        result = build(_font_path)
        if result.returncode != 0:
            raise RuntimeError(f"building the font failed:\n{result.stderr}")
    return _font_path


class _Flattener(BasePen):
    """Collects a glyph's contours as polygons, curves cut into short lines."""

    def __init__(self, glyph_set):
        super().__init__(glyph_set)
        self.polygons = []

    def _moveTo(self, p):
        self.polygons.append([p])

    def _lineTo(self, p):
        self.polygons[-1].append(p)

    def _curveToOne(self, c1, c2, p):
        p0 = self._getCurrentPoint()
        for i in range(1, 17):
            t = i / 16
            u = 1 - t
            self.polygons[-1].append(tuple(
                u * u * u * a + 3 * u * u * t * b + 3 * u * t * t * c + t * t * t * d
                for a, b, c, d in zip(p0, c1, c2, p)))

    def _qCurveToOne(self, c, p):
        p0 = self._getCurrentPoint()
        for i in range(1, 17):
            t = i / 16
            u = 1 - t
            self.polygons[-1].append(tuple(
                u * u * a + 2 * u * t * b + t * t * d for a, b, d in zip(p0, c, p)))


class Shape:
    """One glyph: its advance, ink bounds and a non-zero-winding ink test."""

    def __init__(self, font, code_point):
        name = font.getBestCmap()[code_point]
        self.advance = font["hmtx"][name][0]
        self.lsb = font["hmtx"][name][1]
        pen = _Flattener(font.getGlyphSet())
        font.getGlyphSet()[name].draw(pen)
        self.polygons = pen.polygons
        points = [p for poly in self.polygons for p in poly]
        self.x_min = min(p[0] for p in points)
        self.x_max = max(p[0] for p in points)
        self.y_min = min(p[1] for p in points)
        self.y_max = max(p[1] for p in points)

    def inked(self, x, y):
        winding = 0
        for poly in self.polygons:
            for (x0, y0), (x1, y1) in zip(poly, poly[1:] + poly[:1]):
                if (y0 <= y) != (y1 <= y):
                    cross = x0 + (y - y0) * (x1 - x0) / (y1 - y0)
                    if cross > x:
                        winding += 1 if y1 > y0 else -1
        return winding != 0

    def runs_across(self, y, step=2):
        """Inked stretches along the horizontal line at height y."""
        return _runs([(x, self.inked(x, y)) for x in _steps(0, self.advance, step)])

    def runs_down(self, x, top, bottom, step=2):
        """Inked stretches along the vertical line at x."""
        return _runs([(y, self.inked(x, y)) for y in _steps(bottom, top, step)])

    def has_enclosed_counter(self, step=4):
        """Whether some unfilled point has ink on all four sides of it."""
        y = self.y_min + step / 2
        while y < self.y_max:
            across = self.runs_across(y, step)
            for (_, left_end), (right_begin, _) in zip(across, across[1:]):
                x = (left_end + right_begin) / 2
                down = self.runs_down(x, self.y_max, self.y_min, step)
                if any(below[1] < y < above[0] for below, above in zip(down, down[1:])):
                    return True
            y += step
        return False

    @property
    def centre(self):
        return (self.x_min + self.x_max) / 2, (self.y_min + self.y_max) / 2


def _steps(start, stop, step):
    n = int((stop - start) / step)
    return [start + step / 2 + i * step for i in range(n)]


def _runs(samples):
    runs, begin, last = [], None, None
    for position, ink in samples:
        if ink and begin is None:
            begin = position
        if not ink and begin is not None:
            runs.append((begin, last))
            begin = None
        last = position
    if begin is not None:
        runs.append((begin, last))
    return runs


class FontTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.font = TTFont(font_path())
        hhea = cls.font["hhea"]
        cls.ascent, cls.descent = hhea.ascent, -hhea.descent
        cls.mid = (cls.ascent - cls.descent) / 2
        cls.shapes = {cp: Shape(cls.font, cp) for cp in REQUIRED}
        digits = [cls.shapes[cp] for cp in DIGITS]
        cls.digit_bottom = min(d.y_min for d in digits)
        cls.digit_top = max(d.y_max for d in digits)
        cls.digit_mid = (cls.digit_bottom + cls.digit_top) / 2


class BuildTest(unittest.TestCase):
    def test_rebuilding_writes_identical_bytes(self):
        with tempfile.TemporaryDirectory() as folder:
            first, second = (os.path.join(folder, n) for n in ("a.ttf", "b.ttf"))
            self.assertEqual(build(first).returncode, 0)
            self.assertEqual(build(second).returncode, 0)
            with open(first, "rb") as a, open(second, "rb") as b:
                self.assertEqual(a.read(), b.read())

    def test_missing_digit_font_fails_without_leaving_a_font(self):
        with tempfile.TemporaryDirectory() as folder:
            output = os.path.join(folder, "out.ttf")
            missing = os.path.join(folder, "no-such-font.ttf")
            result = build(output, "--digit-font", missing)
            self.assertNotEqual(result.returncode, 0)
            self.assertIn(missing, result.stderr)
            self.assertNotIn("Traceback", result.stderr)
            self.assertEqual(os.listdir(folder), [])


class TablesTest(FontTest):
    def test_unicode_cmaps_map_every_symbol(self):
        tables = {(t.platformID, t.platEncID): t.cmap for t in self.font["cmap"].tables}
        self.assertNotIn((3, 0), tables, "a symbol cmap makes Linux font lookup skip the font")
        for key in ((3, 1), (0, 3)):
            self.assertIn(key, tables)
            missing = [hex(cp) for cp in REQUIRED if cp not in tables[key]]
            self.assertEqual(missing, [], f"cmap {key}")
        self.assertEqual(tables[(3, 1)], tables[(0, 3)])

    def test_every_source_of_vertical_metrics_gives_the_same_box(self):
        head, hhea, os2 = self.font["head"], self.font["hhea"], self.font["OS/2"]
        self.assertEqual(head.unitsPerEm, 1000)
        self.assertEqual(hhea.ascent - hhea.descent, 1000)
        self.assertEqual(hhea.lineGap, 0)
        self.assertEqual((os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap),
                         (hhea.ascent, hhea.descent, 0))
        self.assertEqual((os2.usWinAscent, os2.usWinDescent), (hhea.ascent, -hhea.descent))
        self.assertGreaterEqual(os2.version, 4)
        self.assertTrue(os2.fsSelection & (1 << 7), "USE_TYPO_METRICS")

    def test_names(self):
        names = self.font["name"]
        for name_id in (1, 4, 6):
            self.assertEqual(names.getDebugName(name_id), FAMILY)
            for platform in (1, 3):
                record = [n for n in names.names
                          if n.nameID == name_id and n.platformID == platform]
                self.assertEqual([n.toUnicode() for n in record], [FAMILY])

    def test_timestamps_do_not_record_the_build(self):
        head = self.font["head"]
        self.assertEqual(head.created, head.modified)
        now = timestampNow()
        self.assertGreater(abs(now - head.modified), 86400)


class BoxTest(FontTest):
    def test_ink_stays_inside_every_glyph_box(self):
        glyf, hmtx = self.font["glyf"], self.font["hmtx"]
        for name in self.font.getGlyphOrder():
            g = glyf[name]
            if g.numberOfContours == 0:
                continue
            g.recalcBounds(glyf)
            advance, lsb = hmtx[name]
            with self.subTest(glyph=name):
                self.assertEqual(lsb, g.xMin, "left side bearing must match the ink")
                self.assertGreaterEqual(g.xMin, 0)
                self.assertLessEqual(g.xMax, advance)
                self.assertGreaterEqual(g.yMin, -self.descent)
                self.assertLessEqual(g.yMax, self.ascent)

    def test_digits_share_an_advance_and_sit_centred_in_the_box(self):
        digits = [self.shapes[cp] for cp in DIGITS]
        self.assertEqual(len({d.advance for d in digits}), 1)
        advance = digits[0].advance
        self.assertTrue(580 <= advance <= 680, advance)
        height = self.digit_top - self.digit_bottom
        self.assertTrue(720 <= height <= 820, height)
        self.assertAlmostEqual(self.digit_mid, self.mid, delta=15)
        # Room left above and below for octave dots and underlines.
        self.assertGreater(self.ascent - self.digit_top, 50)
        self.assertGreater(self.digit_bottom + self.descent, 50)
        left = min(d.x_min for d in digits)
        right = max(d.x_max for d in digits)
        self.assertAlmostEqual((left + right) / 2, advance / 2, delta=15)

    def test_dash_and_augmentation_dot_sit_at_the_digit_middle(self):
        dash, dot = self.shapes[DASH], self.shapes[AUG_DOT]
        self.assertEqual(dash.advance, self.shapes[0xF031].advance)
        self.assertTrue(400 <= dash.x_max - dash.x_min <= 600)
        self.assertTrue(60 <= dash.y_max - dash.y_min <= 170)
        self.assertAlmostEqual(dash.centre[1], self.digit_mid, delta=10)
        self.assertAlmostEqual(dot.centre[1], self.digit_mid, delta=10)
        self.assertTrue(dot.inked(*dot.centre))
        self.assertTrue(250 <= dot.advance <= 350)
        self.assertAlmostEqual(dot.centre[0], dot.advance / 2, delta=20)

    def test_accidentals_are_small_high_and_flush_right(self):
        for cp in (SHARP, DOUBLE_SHARP, FLAT, DOUBLE_FLAT, NATURAL):
            acc = self.shapes[cp]
            with self.subTest(code_point=hex(cp)):
                self.assertTrue(300 <= acc.advance <= 500)
                self.assertLessEqual(acc.advance - acc.x_max, 40)
                self.assertLess(acc.y_max - acc.y_min, self.digit_top - self.digit_bottom)
                self.assertGreater(acc.centre[1], self.digit_mid + 80)

    def test_accidental_shapes_differ(self):
        outlines = [tuple(map(tuple, self.shapes[cp].polygons))
                    for cp in (SHARP, DOUBLE_SHARP, FLAT, DOUBLE_FLAT, NATURAL)]
        self.assertEqual(len(set(outlines)), 5)
        # A double flat is two flats side by side: twice the stems across it.
        y = self.shapes[FLAT].y_max - 20
        self.assertEqual(len(self.shapes[FLAT].runs_across(y)), 1)
        self.assertEqual(len(self.shapes[DOUBLE_FLAT].runs_across(y)), 2)

    def test_counters_are_open(self):
        # Holes must wind against their outline, or the non-zero fill closes them.
        for cp in (0xF030, FLAT, DOUBLE_FLAT):
            with self.subTest(code_point=hex(cp)):
                self.assertTrue(self.shapes[cp].has_enclosed_counter())

    def test_octave_dot_fills_its_box(self):
        dot = self.shapes[OCTAVE_DOT]
        self.assertTrue(dot.inked(*dot.centre))
        self.assertTrue(0.5 * 1000 <= dot.y_max - dot.y_min <= 0.75 * 1000)
        self.assertAlmostEqual(dot.centre[1], self.mid, delta=10)
        self.assertAlmostEqual(dot.centre[0], dot.advance / 2, delta=10)
        self.assertAlmostEqual(dot.x_max - dot.x_min, dot.y_max - dot.y_min, delta=10)

    def test_breath_mark_is_high(self):
        self.assertGreater(self.shapes[BREATH].y_min, self.digit_mid)

    def test_parentheses_are_tall_and_open_towards_the_digit(self):
        for cp, opens_right in ((PAREN_OPEN, True), (PAREN_CLOSE, False)):
            paren = self.shapes[cp]
            with self.subTest(code_point=hex(cp)):
                self.assertGreater(paren.y_max - paren.y_min, 800)
                self.assertTrue(250 <= paren.advance <= 450)
                middle = paren.runs_across(paren.centre[1])
                near_top = paren.runs_across(paren.y_max - 30)
                self.assertEqual(len(middle), 1)
                if opens_right:
                    self.assertLess(middle[0][1], near_top[0][0])
                else:
                    self.assertGreater(middle[0][0], near_top[-1][1])


class BarLineTest(FontTest):
    def widths(self, runs):
        return [end - begin for begin, end in runs]

    def test_every_bar_line_spans_the_whole_box(self):
        for cp in BARS:
            bar = self.shapes[cp]
            with self.subTest(kind=cp - 0xF029):
                self.assertEqual(bar.y_min, -self.descent)
                self.assertEqual(bar.y_max, self.ascent)
                if cp == 0xF02E:
                    continue  # dashed, checked on its own
                for begin, end in bar.runs_across(self.mid):
                    x = (begin + end) / 2
                    self.assertTrue(bar.inked(x, self.ascent - 1) and bar.inked(x, 1 - self.descent))
                    self.assertEqual(len(bar.runs_down(x, self.ascent, -self.descent)), 1)

    def test_single_bar_is_one_thin_line_in_the_middle_of_its_box(self):
        bar = self.shapes[0xF029]
        runs = bar.runs_across(self.mid)
        self.assertEqual(len(runs), 1)
        self.assertTrue(25 <= self.widths(runs)[0] <= 60)
        self.assertTrue(200 <= bar.advance <= 300)
        self.assertLessEqual(abs((bar.advance - bar.x_max) - bar.x_min), 10)
        x = (runs[0][0] + runs[0][1]) / 2
        down = bar.runs_down(x, self.ascent, -self.descent)
        self.assertEqual(len(down), 1, "a single bar is unbroken")

    def test_kinds_read_as_their_names(self):
        thin = self.widths(self.shapes[0xF029].runs_across(self.mid))[0]
        heavy = self.widths(self.shapes[0xF02A].runs_across(self.mid))
        double = self.widths(self.shapes[0xF02B].runs_across(self.mid))
        final = self.widths(self.shapes[0xF02F].runs_across(self.mid))
        self.assertEqual(len(heavy), 1)
        self.assertGreater(heavy[0], 2 * thin)
        self.assertEqual(len(double), 2)
        self.assertAlmostEqual(double[0], double[1], delta=4)
        self.assertEqual(len(final), 2)
        self.assertGreater(final[1], 2 * final[0], "final bar: thin, then thick")

    def test_repeat_dots_face_the_repeated_passage(self):
        low = -self.descent + 0.35 * 1000
        high = -self.descent + 0.65 * 1000
        begin, end = self.shapes[0xF02C], self.shapes[0xF02D]
        for bar, dots_last in ((begin, True), (end, False)):
            lines = self.widths(bar.runs_across(self.mid))
            self.assertEqual(len(lines), 2, "no dot between the two dots")
            for y in (low, high):
                runs = bar.runs_across(y)
                self.assertEqual(len(runs), 3)
                widths = self.widths(runs if dots_last else runs[::-1])
                # thick line, thin line, dot, from the outside in
                self.assertGreater(widths[0], 2 * widths[1])
                dot = runs[-1] if dots_last else runs[0]
                x = (dot[0] + dot[1]) / 2
                self.assertTrue(bar.inked(x, y))
                self.assertFalse(bar.inked(x, self.mid))

    def test_dashed_bar_is_broken_but_reaches_both_ends(self):
        bar = self.shapes[0xF02E]
        runs = bar.runs_across(self.ascent - 5)
        self.assertEqual(len(runs), 1)
        x = (runs[0][0] + runs[0][1]) / 2
        down = bar.runs_down(x, self.ascent, -self.descent)
        self.assertGreaterEqual(len(down), 4)
        inked = sum(end - begin for begin, end in down)
        self.assertTrue(0.4 * 1000 < inked < 0.9 * 1000, inked)
        self.assertTrue(bar.inked(x, -self.descent + 5))

    def test_wider_kinds_have_wider_advances(self):
        single = self.shapes[0xF029].advance
        for cp in (0xF02A, 0xF02B, 0xF02C, 0xF02D, 0xF02F):
            self.assertGreater(self.shapes[cp].advance, single)


def main():
    global _font_path
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--font", help="check this built font instead of building one")
    args, rest = parser.parse_known_args()
    if args.font:
        _font_path = args.font
    unittest.main(argv=[sys.argv[0]] + rest)


if __name__ == "__main__":
    main()
