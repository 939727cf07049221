#!/usr/bin/env python3
"""Every Japanese string literal of the program's sources goes through the translation:
tr(, QCoreApplication::translate(, QT_TRANSLATE_NOOP(context, or uiText(context, before it
(adjacent literals continue the one before them). A literal that is no text for a person
(a CSV header, a width sample, a language's own name) says so on its line with
"// untranslated:" and why. Usage: texts_wrapped.py SOURCE_DIR"""
import pathlib
import re
import sys

JAPANESE = re.compile(r'[\u3000-\u30ff\u4e00-\u9fff\uff00-\uffef]')
TOKEN = re.compile(r'//[^\n]*|/\*.*?\*/|"(?:[^"\\\n]|\\.)*"|\'(?:[^\'\\\n]|\\.)*\'', re.S)
OPENERS = re.compile(r'(\btr\(|\b(?:translate|QT_TRANSLATE_NOOP|uiText)\(\s*"[^"]*"\s*,)\s*$')

problems = []
for path in sorted(pathlib.Path(sys.argv[1]).rglob('*')):
    if path.suffix not in ('.cpp', '.h'):
        continue
    text = path.read_text(encoding='utf-8')
    code = []  # the source with comments blanked and literals kept, to read what precedes one
    last_end = 0
    previous_literal_ok = False
    for m in TOKEN.finditer(text):
        token = m.group(0)
        between = text[last_end:m.start()]
        code.append(between)
        last_end = m.end()
        if token.startswith('//') or token.startswith('/*'):
            code.append(' ')
            continue
        if not token.startswith('"'):
            code.append(token)
            previous_literal_ok = False
            continue
        before = ''.join(code).rstrip()
        continues = before.endswith('"') and between.strip() == ''
        ok = (continues and previous_literal_ok) or bool(OPENERS.search(before))
        line_no = text.count('\n', 0, m.start()) + 1
        line = text.splitlines()[line_no - 1]
        if JAPANESE.search(token) and not ok and '// untranslated:' not in line:
            problems.append(f'{path}:{line_no}: {line.strip()}')
        previous_literal_ok = ok
        code.append(token)
for p in problems:
    print(p)
if problems:
    print('Japanese texts above do not go through the translation (tr(), QT_TRANSLATE_NOOP, '
          'uiText); see src/gui/README.md')
sys.exit(1 if problems else 0)
