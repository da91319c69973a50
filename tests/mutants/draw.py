#!/usr/bin/env python3
"""Draws a random sample of simple faults from the product code, as a check on
the hand-written lists: every comparison, logical operator, true/false, +1/-1
and one word of a quoted phrase in the .cpp files of cart/ check/ document/
cli/ gui/ app/ (the name tables left out: names.txt holds every name), each
line unique in its file.

    python3 tests/mutants/draw.py SEED COUNT > tests/mutants/randomN.py

Read the sample before running it: drop the faults that cannot build or
change nothing, and say so in the list's docstring.
"""
import glob
import random
import re
import sys
import zlib
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SWAPS = [(' == ', ' != '), (' != ', ' == '), (' < ', ' <= '), (' <= ', ' < '), (' > ', ' >= '),
         (' >= ', ' > '), (' && ', ' || '), (' || ', ' && '), ('true', 'false'),
         ('false', 'true'), (' + 1', ' - 1'), (' - 1', ' + 1')]


def candidates():
    files = sorted(f for d in ('cart', 'check', 'document', 'cli', 'gui', 'app')
                   for f in glob.glob(str(ROOT / d / '*.cpp'))
                   if not f.endswith(('nesNames.cpp', 'mapperCatalogue.cpp')))
    for f in files:
        text = Path(f).read_text()
        for line in text.split('\n'):
            s = line.strip()
            if len(s) < 12 or s.startswith(('//', '#')) or text.count(s) != 1:
                continue
            name = str(Path(f).relative_to(ROOT))
            for a, b in SWAPS:
                if a in s:
                    yield name, s, s.replace(a, b, 1), a.strip() + '->' + b.strip()
            for quoted in re.finditer(r'"([^"\\]{4,})"', s):
                words = quoted.group(1).split(' ')
                if len(words) > 1:
                    j = random.Random(zlib.crc32(quoted.group(1).encode())).randrange(len(words))
                    shorter = ' '.join(w for k, w in enumerate(words) if k != j)
                    yield name, s, s.replace('"%s"' % quoted.group(1), '"%s"' % shorter, 1), 'drop word'
                    break


def main():
    seed, count = int(sys.argv[1]), int(sys.argv[2])
    pick = random.Random(seed).sample(list(candidates()), count)
    print('"""Random faults drawn by draw.py with seed %d."""\nBLIND = [' % seed)
    for n, (f, old, new, what) in enumerate(pick):
        print('    dict(id=%r, fault=%r, file=%r, old=%r, new=%r),' % ('rn-%02d' % n, what, f, old, new))
    print(']')


if __name__ == '__main__':
    main()
