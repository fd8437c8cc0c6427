#!/usr/bin/env python3
"""Records what the editor makes of a fixed set of scores, to compare two builds.

For the bundled sample, a few generated scores (every duration, dots, dashes, marks,
accidentals, octaves, bar kinds, ties and brackets, several tracks, a long score) and MusicXML
files imported (chords, grace notes, articulations, tuplets, chord symbols, key and time
changes, jumps, lyrics, part names; with --musicxml, every file of a folder too) it stores the
--info and --layout JSON of both modes, --check, every exported page as PNG and SVG, the strip
of scroll mode, the MusicXML, MIDI and WAV exports, and the document a fixed run of --type keys
saves. Two snapshots are compared with `diff -r` (the PNGs with cmp).

usage: snapshot.py QANOREDIT OUTPUT_DIR [--musicxml FOLDER ...]
"""

import random
import subprocess
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import make_samples  # noqa: E402

EVERYTHING = """
1 2_ 3__ 4___ 5____ 6_____ 7______ 0_______ | #1 x2 b3 B4 n5 0 - . | 1' 2'' 3''' 4, 5,, 6,,, v ( 7 ) |1
1. . 2_. 3__. 0_ . - - |: 5~ 5 6_~ 6_ 7 - :| { 1 2 3 4 || 5 6 7 1' |. } 2 - 3 - / 4 5 6 7 |]
"""
SECOND = """
5, 6, 7, 1 | 2 - 3_ 4_ 5 | { 6 6 6 6 | 7 7 7 7 | } 1' - - - | 3~ 3 3 3 |]
"""
THIRD = "0 0 0 0 | 1_ 1_ 1_ 1_ 1__ 1__ 1__ 1__ 1 | 2 2 2 2 |]"
COMPOUND = """
1_ 2_ 3_ 4_ 5_ 6_ | 5 . 3_ 2 . | 1__ 2__ 3_ 4_ 5_ 6_ 7_ | 1' . - |]
"""


def random_track(rng, measures):
    tokens = []
    for _ in range(measures):
        if rng.random() < 0.05:
            tokens.append("{")
        for _ in range(rng.randint(1, 6)):
            degree = rng.randint(0, 7)
            acc = rng.choice(["", "", "", "#", "b", "n"]) if degree else ""
            octave = rng.choice(["", "", "", "'", ","]) if degree else ""
            under = "_" * rng.choice([0, 0, 1, 1, 2, 3])
            tie = "~" if degree and rng.random() < 0.1 else ""
            tokens.append(acc + str(degree) + octave + under + tie)
            if rng.random() < 0.15:
                tokens.append(rng.choice(["-", ".", "v"]))
        tokens.append(rng.choice(["|", "|", "|", "||", "|:", ":|", "/"]))
        if tokens.count("{") > tokens.count("}") and rng.random() < 0.3:
            tokens.append("}")
    if tokens.count("{") > tokens.count("}"):
        tokens.append("1")
        tokens.append("|")
        tokens.append("}")
    # A tie mark on the last note has nothing to land on.
    return " ".join(tokens).replace("~ }", " }")


def scores(fmt):
    rng = random.Random(7)
    yield "everything", make_samples.document(
        {"title": "全部", "keyAccidental": 2, "keyLetter": 1}, [EVERYTHING, SECOND, THIRD], fmt)
    yield "compound", make_samples.document(
        {"title": "六八拍", "timeNumerator": 6, "timeDenominator": 8}, [COMPOUND, COMPOUND], fmt)
    yield "long", make_samples.document(
        {"title": "长曲", "subtitle": "随机"}, [random_track(rng, 160), random_track(rng, 160)], fmt)


OUTPUT = Path()


def run(cli, args, out=None):
    result = subprocess.run([cli] + args, capture_output=True)
    if out is not None:
        # The snapshot's own folder is named alike in every snapshot, so that two compare.
        text = result.stdout + b"\n--- stderr ---\n" + result.stderr + \
            b"\n--- status %d ---\n" % result.returncode
        out.write_bytes(text.replace(str(OUTPUT).encode(), b"OUT"))
    return result


ROOT = Path(__file__).resolve().parent.parent
# Imported files that carry what typing cannot make.
IMPORTED = ["extras", "marks", "repeats", "lyrics", "piano", "arcs", "title_block",
            "songs/hymn_in_g", "songs/satb_chorale", "songs/pickup_hidden_rests"]


def imported(cli, output, folders):
    sources = [ROOT / "tests" / "musicxml" / "data" / (name + ".musicxml") for name in IMPORTED]
    for folder in folders:
        sources += sorted(Path(folder).glob("*.xml")) + sorted(Path(folder).glob("*.musicxml"))
    for source in sources:
        name = "mx-" + source.stem
        path = output / (name + ".qe")
        run(cli, ["--import", str(source), "-o", str(path)], output / (name + ".import.log"))
        if path.exists():
            yield name, path


def exports(cli, output, name, path, full):
    run(cli, ["--check", str(path)], output / (name + ".check.log"))
    run(cli, ["--export", str(output / (name + ".musicxml")), str(path)],
        output / (name + ".musicxml.log"))
    run(cli, ["--export", str(output / (name + ".mid")), str(path)], output / (name + ".mid.log"))
    if not full:
        return
    (output / (name + "-svg")).mkdir(exist_ok=True)
    run(cli, ["--export", str(output / (name + "-svg") / "p.svg"), str(path)])
    run(cli, ["--export", str(output / (name + ".strip.png")), str(path), "--mode", "scroll"])
    run(cli, ["--export", str(output / (name + ".wav")), str(path), "--tempo", "240"],
        output / (name + ".wav.log"))


def main():
    global OUTPUT
    cli, output = sys.argv[1], Path(sys.argv[2]).resolve()
    OUTPUT = output
    folders = sys.argv[4:] if len(sys.argv) > 3 and sys.argv[3] == "--musicxml" else []
    output.mkdir(parents=True, exist_ok=True)
    fmt = make_samples.template_format_header(cli)
    sample = ROOT / "resources" / "samples" / "jasmine.qe"
    docs = [("jasmine", sample.read_bytes())] + list(scores(fmt))
    for name, data in docs:
        (output / (name + ".qe")).write_bytes(data)
    paths = [(name, output / (name + ".qe"), True) for name, _ in docs]
    paths += [(name, path, len(folders) == 0) for name, path in imported(cli, output, folders)]
    for name, path, full in paths:
        exports(cli, output, name, path, full)
        run(cli, ["--info", str(path)], output / (name + ".info.json"))
        run(cli, ["--layout", str(path)], output / (name + ".page.json"))
        run(cli, ["--layout", str(path), "--mode", "scroll"], output / (name + ".scroll.json"))
        (output / (name + "-pages")).mkdir(exist_ok=True)
        run(cli, ["--export", str(output / (name + "-pages") / "p.png"), str(path)])
        typed = output / (name + ".typed.qe")
        run(cli, ["--type", r"sum12\b3\>\>4ku5\n6\b\b\b\b7.\<-" * 3, str(path), "-o", str(typed)],
            output / (name + ".typed.log"))
        run(cli, ["--info", str(typed)], output / (name + ".typed.json"))


if __name__ == "__main__":
    main()
