#!/usr/bin/env python3
"""Writes the bundled sample scores (resources/samples/*.qe) from a compact jianpu text.

The format settings (page, margins, fonts) are taken from a new document written by the
editor itself (`qanoredit --new`), so the samples always carry the editor's own defaults.

Notation, one token per item: digits 0-7 with an optional accidental in front (# sharp,
x double sharp, b flat, B double flat, n natural) and after it ' per octave up, , per octave
down, _ per underline, ~ to tie it to the next note; - dash, . augmentation dot, v breath
mark, ( ) parentheses; bar lines | || |: :| |. |] and / (hidden). A { before a measure starts
a volta bracket there; a } after a bar line ends it at the measure that bar line closes.

usage: make_samples.py QANOREDIT OUTPUT_DIR
"""

import struct
import subprocess
import sys
import tempfile
from pathlib import Path

BARS = {"|": 0, "|1": 1, "||": 2, "|:": 3, ":|": 4, "|.": 5, "|]": 6, "/": 7}
MARKS = {"-": 0, ".": 1, "v": 2, "(": 3, ")": 4}
ACCIDENTALS = {"#": 1, "x": 2, "b": 3, "B": 4, "n": 5}


def note_code(accidental, degree, octave):
    return ((accidental & 7) << 7) | (((octave + 7) & 0xF) << 3) | (degree & 7)


def parse_track(text, track_index):
    """Returns the (code, value) records and the format records (type, from, to) of a track."""
    notes, formats = [], []
    tie_from = None
    bracket_start = None  # item index where the bracket's first measure begins
    for token in text.split():
        item = len(notes)
        if token == "{":
            bracket_start = item
        elif token == "}":
            # Measures are named by the item index of their closing bar line.
            first = next(i for i in range(bracket_start, len(notes)) if notes[i][0] >> 10 == 3)
            formats.append((4, first, item - 1))
        elif token in BARS:
            notes.append((0x0C00 | BARS[token], 0))
        elif token in MARKS:
            notes.append((note_code(0, 0, 1), MARKS[token]))
        else:
            i, accidental = 0, 0
            if token[0] in ACCIDENTALS:
                accidental, i = ACCIDENTALS[token[0]], 1
            degree = int(token[i])
            octave = token.count("'") - token.count(",")
            duration = token.count("_")
            notes.append((note_code(accidental if degree else 0, degree, octave if degree else 0), duration))
            if tie_from is not None:
                formats.append((1, tie_from, item))
                tie_from = None
            if token.endswith("~"):
                tie_from = item
    return notes, [(kind, (track_index, a), (track_index, b)) for kind, a, b in formats]


def wide(text):
    return text.encode("utf-16-le") + b"\0\0"


def template_format_header(qanoredit):
    with tempfile.TemporaryDirectory() as folder:
        path = Path(folder) / "new.qe"
        subprocess.run([qanoredit, "--new", str(path)], check=True)
        data = path.read_bytes()
    header_size = struct.unpack_from("<I", data, 4)[0]
    at = 16 + header_size + 20  # past the root tag, the header and the empty tempo track
    assert data[at:at + 4] == b"FMT\0"
    return data[at + 16:at + 16 + 504]


def location(track_item):
    track, item = track_item
    return struct.pack("<iihih", 0, 0, 1, track, item)


def chunk(ident, header, content):
    return ident + struct.pack("<III", len(header), len(content), 0) + header + content


def document(fields, tracks, format_header):
    header = struct.pack("<I", 0x01000001)
    for key in ("title", "subtitle", "author1", "author2", "author3", "comment1", "comment2"):
        header += wide(fields.get(key, ""))
    header += bytes([fields.get("keyAccidental", 0), fields.get("keyLetter", 6),
                     fields.get("timeNumerator", 4), fields.get("timeDenominator", 4)])
    all_formats, note_chunks = [], b""
    for index, text in enumerate(tracks):
        notes, formats = parse_track(text, index)
        all_formats += formats
        records = b"".join(struct.pack("<HH", code, value) for code, value in notes)
        note_chunks += chunk(b"NOTE", b"", struct.pack("<I", len(notes)) + records)
    # Arcs first, then jump lines, as the editor writes them.
    all_formats.sort(key=lambda f: f[0])
    format_records = b"".join(struct.pack("<B", kind) + location(a) + location(b) for kind, a, b in all_formats)
    content = chunk(b"TMP\0", b"", struct.pack("<I", 0))
    content += chunk(b"FMT\0", format_header, struct.pack("<I", len(all_formats)) + format_records)
    content += note_chunks
    return chunk(b"QNR\0", header, content)


JASMINE = {
    "title": "茉莉花",
    "subtitle": "江苏民歌",
    "author1": "民歌",
    "author2": "Qanor简谱编辑器制谱",
    "comment1": "中速 优美地",
    "keyAccidental": 1,
    "keyLetter": 5,
    "timeNumerator": 4,
    "timeDenominator": 4,
}

JASMINE_MELODY = """
3_ 3_ 5_ 6_ 1'_ 1'_ 6_ 5_ | 5 5_ 6_ 5 - | 3_ 3_ 5_ 6_ 1'_ 1'_ 6_ 5_ | 5 5_ 6_ 5 - |
5 5 5 3_ 5_ | 6 6 5 - | 3 2_ 3_ 5 3_ 2_ | 1 1_ 2_ 1 - |
3_ 2_ 1_ 3_ 2 - | 3_ 5_ 6_ 1'_ 5 - | 2 3_ 5_ 2_ 3_ 1_ 6,_ | 5, - 6,_ 1_ 2 |
3_ 1_ 2_ 3_ 1_ 6,_ 5, | 6,_ 1_ 2_ 3_ 1_ 6,_ 5,_ ( 5,_ ) | 6, . 1_ 2 3_ 5_ | 6_ 1'_ 5_ 6_ 5 v 3_ 2_ |
1_ 2_ 3_ 5_ 2 - | 3_ 5_ 6_ 1'_ 5~ 5 | 3_ 3_ 5_ 6_ 1'_ 1'_ 6_ 5_ | 5 5_ 6_ 5 - |
#4_ 5_ 6_ 5_ 3 2 | 1 - 2 3 | 5 5 5 3_ 5_ | 6 6 5 - |
3 2_ 3_ 5 3_ 2_ | 1 1_ 2_ 1 - | 3_ 2_ 1_ 3_ 2 - | 3_ 5_ 6_ 1'_ 5 - |
2 3_ 5_ 2_ 3_ 1_ 6,_ | 5, - 6,_ 1_ 2 | { 3_ 1_ 2_ 3_ 1_ 6,_ 5, | 6,_ 1_ 2_ 3_ 1_ 6,_ 5, |
6, . 1_ 2 3_ 5_ | 6_ 1'_ 5_ 6_ 5 3_ 2_ | } 1_ 2_ 3_ 5_ 2~ 2__ 1__ 6,_ | 5, - - - |]
"""

JASMINE_LOWER = """
1 - 3 - | 1 5, 1 - | 1 - 3 - | 1 5, 1 - |
3 3 3 1 | 4 4 3 - | 1 6, 1 6, | 5, 5, 5, - |
1 6, 7, - | 1 4 3 - | 7, 1 7, 6, | 5, - 4, 7, |
1 7, 6, 5, | 4, 7, 6, 5, | 4, . 6,_ 7, 1 | 4 3 3 1 |
6, 1 7, - | 1 4 3~ 3 | 1 - 3 - | 1 5, 1 - |
2 3 1 7, | 6, - 7, 1 | 3 3 3 1 | 4 4 3 - |
1 6, 1 6, | 5, 5, 5, - | 1 6, 7, - | 1 4 3 - |
7, 1 7, 6, | 5, - 4, 7, | 1 7, 6, 5, | 4, 7, 6, 5, |
4, . 6,_ 7, 1 | 4 3 3 1 | 6, 1 7, 6, | 5, - - - |]
"""


def main():
    qanoredit, output = sys.argv[1], Path(sys.argv[2])
    output.mkdir(parents=True, exist_ok=True)
    fmt = template_format_header(qanoredit)
    (output / "jasmine.qe").write_bytes(document(JASMINE, [JASMINE_MELODY, JASMINE_LOWER], fmt))


if __name__ == "__main__":
    main()
