#!/usr/bin/env python3
"""Checks that every folder of src/ includes only the folders below it.

The build already refuses an include of a folder a library does not link; this also refuses
what a library only reaches through another: the playback, sound and export parts read the
score (music), never the file's records nor the editing layer. Exits 1, naming each include
against the layers.
"""
import re
import sys
from pathlib import Path

SRC = Path(__file__).resolve().parent.parent / 'src'

# What each folder may include, besides itself.
ALLOWED = {
    'base': set(),
    'records': {'base'},
    'music': {'base', 'records'},
    'engrave': {'base', 'records', 'music'},
    'edit': {'base', 'records', 'music', 'engrave'},
    'perform': {'base', 'music'},
    'files': set(),
    'painter': {'records', 'engrave'},
    'document': {'base', 'records', 'edit', 'files'},
    'musicxml': {'base', 'records', 'music', 'files'},
    'export': {'base', 'music', 'engrave', 'painter', 'files', 'perform', 'musicxml', 'audio'},
    'audio': {'base', 'music', 'perform', 'files'},
}
ALLOWED['cli'] = set(ALLOWED) | {'base'}
ALLOWED['gui'] = set(ALLOWED) - {'cli'}
ALLOWED['app'] = {'cli', 'gui'}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/', re.M)


def main():
    wrong = []
    for folder in sorted(p for p in SRC.iterdir() if p.is_dir()):
        allowed = ALLOWED.get(folder.name)
        if allowed is None:
            wrong.append(f'src/{folder.name}: a folder with no place in the layers')
            continue
        for path in sorted(folder.iterdir()):
            if path.suffix not in ('.h', '.cpp'):
                continue
            for target in INCLUDE.findall(path.read_text(encoding='utf-8')):
                if target != folder.name and target not in allowed:
                    wrong.append(f'{path.relative_to(SRC.parent)} includes {target}/')
    for line in wrong:
        print(line)
    return 1 if wrong else 0


if __name__ == '__main__':
    sys.exit(main())
