#!/usr/bin/env python3
"""Keeps translations/qanoredit_en.ts in step with the window's texts.

The window's texts are its Chinese string literals: every one in src/gui, those of the editing
layer's tables that the window shows (the key guide's keys, the status panes, the warnings),
and the texts the Qt parts translate themselves (QCoreApplication::translate("qanoredit", ...)).

    tools/update_translations.py            adds new texts (unfinished) and marks texts no
                                            longer in the sources obsolete
    tools/update_translations.py --check    exits 1, naming them, when a text has no finished
                                            English translation
"""
import re
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
TS = ROOT / 'translations' / 'qanoredit_en.ts'
CONTEXT = 'qanoredit'

# Files whose every Chinese literal the window shows.
WHOLE = sorted((ROOT / 'src' / 'gui').glob('*.cpp')) + sorted((ROOT / 'src' / 'gui').glob('*.h')) + [
    ROOT / 'src' / 'edit' / 'chord_symbol_entry.cpp',
    ROOT / 'src' / 'edit' / 'input_method.cpp',
    ROOT / 'src' / 'edit' / 'input_status.cpp',
    ROOT / 'src' / 'edit' / 'lyrics_entry.cpp',
    ROOT / 'src' / 'edit' / 'score_editor.cpp',
    ROOT / 'src' / 'music' / 'note_marks.cpp',
]
# Files where only the explicit translate() calls are the window's, and the texts marked for
# it with QT_TRANSLATE_NOOP (the export formats' file types).
TRANSLATED = sorted((ROOT / 'src' / 'document').glob('*.cpp')) + sorted(
    (ROOT / 'src' / 'files').glob('*.cpp')) + sorted((ROOT / 'src' / 'audio').glob('*.cpp')) + sorted(
    (ROOT / 'src' / 'export').glob('*.cpp'))
# Texts the core composes from parts: the duration pane ("4分音").
COMPOSED = [f'{n}分音' for n in (1, 2, 4, 8, 16, 32, 64)]

CJK = re.compile(r'[\u3000-\u9fff\uff00-\uffef]')
# A run of adjacent string literals, as the compiler joins them.
LITERALS = re.compile(r'(?:(?:u8|u|L)?"(?:[^"\\\n]|\\.)*"\s*)+')
ONE = re.compile(r'(?:u8|u|L)?"((?:[^"\\\n]|\\.)*)"')
CALL = re.compile(r'(?:QCoreApplication::translate|QT_TRANSLATE_NOOP)\(\s*"qanoredit",\s*((?:(?:u8|u|L)?"(?:[^"\\\n]|\\.)*"\s*)+)\)')


def strip_comments(code):
    out = []
    i = 0
    while i < len(code):
        if code.startswith('//', i):
            j = code.find('\n', i)
            i = len(code) if j < 0 else j
        elif code.startswith('/*', i):
            j = code.find('*/', i + 2)
            i = len(code) if j < 0 else j + 2
        elif code[i] in '"\'':
            # A string or character literal is kept whole: "//" inside it is no comment.
            j = i + 1
            while j < len(code) and code[j] != code[i]:
                j += 2 if code[j] == '\\' else 1
            out.append(code[i:j + 1])
            i = j + 1
        else:
            out.append(code[i])
            i += 1
    return ''.join(out)


def unescape(text):
    escapes = {'n': '\n', 't': '\t', 'r': '\r', '"': '"', '\\': '\\', "'": "'", '0': '\0'}
    return re.sub(r'\\(.)', lambda m: escapes.get(m.group(1), m.group(1)), text)


def joined(run):
    return ''.join(unescape(m.group(1)) for m in ONE.finditer(run))


def source_texts():
    texts = []
    for path in WHOLE:
        code = strip_comments(path.read_text(encoding='utf-8'))
        for m in LITERALS.finditer(code):
            text = joined(m.group(0))
            if CJK.search(text):
                texts.append(text)
    for path in TRANSLATED:
        code = strip_comments(path.read_text(encoding='utf-8'))
        for m in CALL.finditer(code):
            texts.append(joined(m.group(1)))
    texts += COMPOSED
    seen = set()
    return [t for t in texts if not (t in seen or seen.add(t))]


def read_ts():
    """{source: (translation, finished)} in file order."""
    entries = {}
    if not TS.exists():
        return entries
    for message in ET.parse(TS).getroot().iter('message'):
        source = message.findtext('source') or ''
        translation = message.find('translation')
        text = translation.text or '' if translation is not None else ''
        kind = translation.get('type') if translation is not None else 'unfinished'
        entries[source] = (text, kind not in ('unfinished', 'obsolete', 'vanished'))
    return entries


def write_ts(entries, sources):
    root = ET.Element('TS', version='2.1', language='en_US', sourcelanguage='zh_CN')
    context = ET.SubElement(root, 'context')
    ET.SubElement(context, 'name').text = CONTEXT
    for source in sources + [s for s in entries if s not in sources]:
        text, finished = entries.get(source, ('', False))
        message = ET.SubElement(context, 'message')
        ET.SubElement(message, 'source').text = source
        translation = ET.SubElement(message, 'translation')
        translation.text = text
        if source not in sources:
            translation.set('type', 'vanished')
        elif not finished:
            translation.set('type', 'unfinished')
    ET.indent(root)
    # A carriage return must be a character reference, or XML readers turn it into a newline.
    text = ET.tostring(root, encoding='unicode').replace('\r', '&#13;')
    TS.write_text('<?xml version="1.0" encoding="utf-8"?>\n<!DOCTYPE TS>\n' + text + '\n',
                  encoding='utf-8')


def main():
    sources = source_texts()
    entries = read_ts()
    if '--check' in sys.argv:
        missing = [s for s in sources if not entries.get(s, ('', False))[1] or not entries[s][0]]
        for s in missing:
            print('no English translation:', repr(s))
        print(f'{len(sources)} texts, {len(missing)} without an English translation')
        return 1 if missing else 0
    write_ts(entries, sources)
    print(f'{len(sources)} texts in {TS.relative_to(ROOT)}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
